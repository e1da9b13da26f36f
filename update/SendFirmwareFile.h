// Sending the chosen file's bytes as the data of the firmware job.
#pragma once

#include "device/Spooler.h"
#include "update/DialogRequests.h"
#include "update/FirmwareSources.h"

namespace reflasher {

// Inside the open page of the firmware job, one write of all of `file`, the bytes
// read and checked at Start; tells the user through `dialog` when the spooler took
// less. True when it took all.
bool SendFirmwareFile(Spooler& spooler, PrinterHandle printer, const FirmwareFileBytes& file,
                      DialogRequests& dialog);

}  // namespace reflasher
