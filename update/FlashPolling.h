// Following the device while it erases and writes its flash memory.
#pragma once

#include "device/DeviceStatus.h"
#include "device/Spooler.h"
#include "update/Pauses.h"
#include "update/DialogRequests.h"

namespace reflasher {

struct FlashOutcome {
    bool finished = false;
    DeviceStatus last;  // the last status read (-1 if none was)
};

// Sets the bar to 30, waits for the device to take the image, then polls, moving the
// bar and status line, until the device reports an end: up to 50 queries, not
// counting those that report rising progress, and 400 in all.
FlashOutcome PollFlash(Spooler& spooler, PrinterHandle printer, DialogRequests& dialog, Pauses& pauses);

}  // namespace reflasher
