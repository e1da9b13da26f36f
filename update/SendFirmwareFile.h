// Sending the firmware image as the data of the firmware job.
#pragma once

#include "device/Spooler.h"
#include "update/DialogRequests.h"
#include "update/FirmwareSources.h"

namespace reflasher {

// Inside the open page of the firmware job, one write of all of `image`, as it was
// decided at Start; tells the user through `dialog` when the spooler took less.
// True when it took all.
bool SendFirmwareFile(Spooler& spooler, PrinterHandle printer, const FirmwareImage& image,
                      DialogRequests& dialog);

}  // namespace reflasher
