// The texts the update run shows in its message boxes, with caption and icon.
#pragma once

#include <string>

#include "update/PrintQueue.h"
#include "update/DialogRequests.h"
#include "update/StuckCallWatch.h"

namespace reflasher {

struct RunMessage {
    std::wstring text;
    std::wstring caption;
    MessageIcon icon;
};

// Shows `message` in a box owned by the dialog; returns once it is closed.
void Show(DialogRequests& dialog, const RunMessage& message);

// The device never reported ready during negotiation.
RunMessage NeverReadyMessage();
// The re-check after reopening the printer gave `status`, not 1.
RunMessage RecheckFailedMessage(int status);
// The end of flash polling: by the last status when finished, else the not-finished one.
RunMessage FlashOutcomeMessage(bool finished, int lastStatus);

// Flash polling reached its limit while the device still reported flash work.
RunMessage StillWritingMessage();

// The chosen file couldn't be held in memory.
RunMessage FileAllocationFailedMessage();
// The spooler took less than the whole firmware image.
RunMessage PrinterWriteFailedMessage();

// Why nothing was sent: the queue or the device can't take an update now.
RunMessage QueueRefusalMessage(QueueRefusal refusal);
// Another program's document came into the queue while the embosser waited for firmware.
RunMessage ForeignDocumentMessage();

// The printer couldn't be opened again once the embosser was in service mode.
RunMessage ReopenFailedMessage();
// The run was stopped by an error of the program's own (an exception on the worker).
RunMessage RunFailedMessage();
// A spooler call has not returned for a minute; `stage` is where the run was when
// it started. Every variant begins "The printer is not answering!".
RunMessage StuckCallMessage(RunStage stage);

}  // namespace reflasher
