// The texts the update run shows in its message boxes, with caption and icon.
#pragma once

#include <string>

#include "update/UpdateDialog.h"

namespace reflasher {

struct ResultMessage {
    std::wstring text;
    std::wstring caption;
    MessageIcon icon;
};

// The device never reported ready during negotiation.
ResultMessage NeverReadyMessage();
// The re-check after reopening the printer gave `status`, not 1.
ResultMessage RecheckFailedMessage(int status);
// The end of flash polling: by the last status when finished, else the not-finished one.
ResultMessage FlashResultMessage(bool finished, int lastStatus);

// SendFirmwareFile's two failures.
ResultMessage FileAllocationFailedMessage();
ResultMessage PrinterWriteFailedMessage();

}  // namespace reflasher
