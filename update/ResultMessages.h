// The texts the update run shows in its message boxes, with caption and icon.
#pragma once

#include <string>

#include "update/PrintQueue.h"
#include "update/DialogRequests.h"
#include "update/StuckCallWatch.h"

namespace reflasher {

struct ResultMessage {
    std::wstring text;
    std::wstring caption;
    MessageIcon icon;
};

// Shows `message` in a box owned by the dialog; returns once it is closed.
void Show(DialogRequests& dialog, const ResultMessage& message);

// The device never reported ready during negotiation.
ResultMessage NeverReadyMessage();
// The re-check after reopening the printer gave `status`, not 1.
ResultMessage RecheckFailedMessage(int status);
// The end of flash polling: by the last status when finished, else the not-finished one.
ResultMessage FlashResultMessage(bool finished, int lastStatus);

// Flash polling reached its limit while the device still reported flash work.
ResultMessage StillWritingMessage();

// The chosen file couldn't be held in memory.
ResultMessage FileAllocationFailedMessage();
// The spooler took less than the whole firmware image.
ResultMessage PrinterWriteFailedMessage();

// Why nothing was sent: the queue or the device can't take an update now.
ResultMessage QueueRefusalMessage(QueueRefusal refusal);
// Another program's document came into the queue while the embosser waited for firmware.
ResultMessage ForeignDocumentMessage();

// The printer couldn't be opened again once the embosser was in service mode.
ResultMessage ReopenFailedMessage();
// The run was stopped by an error of the program's own (an exception on the worker).
ResultMessage RunFailedMessage();
// A spooler call has not returned for a minute; `stage` is where the run was when
// it started. Every variant begins "The printer is not answering!".
ResultMessage StuckCallMessage(RunStage stage);

}  // namespace reflasher
