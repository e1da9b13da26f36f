// Following the device while it erases and writes its flash memory.
#pragma once

#include "device/DeviceStatus.h"
#include "device/Spooler.h"
#include "update/Pauses.h"
#include "update/DialogRequests.h"

namespace reflasher {

struct FlashOutcome {
    bool finished = false;
    // Not finished, and still reporting flash work when the limit on the whole flash
    // came: the device may be writing yet.
    bool stillWorking = false;
    DeviceStatus last;  // the last status read (-1 if none was)
};

// Sets the bar to 30, waits for the device to take the image, then polls, moving the
// bar and status line, until the device reports an end, or stalls: 50 queries in a
// row that tell nothing new (the same status as the one before, and no progress above
// the highest seen). A slow device that keeps moving is followed to its end, up to
// kFlashQueryLimit queries in all.
FlashOutcome PollFlash(Spooler& spooler, PrinterHandle printer, DialogRequests& dialog, Pauses& pauses);

}  // namespace reflasher
