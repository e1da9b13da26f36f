// Sending the chosen file's bytes as the data of the firmware job.
#pragma once

#include "update/UpdateRun.h"

namespace reflasher {

// Inside the open page of the firmware job, one write of all the bytes read and
// checked at Start; tells the user when the spooler took less. True when it took all.
bool SendFirmwareFile(UpdateContext& context, PrinterHandle printer);

}  // namespace reflasher
