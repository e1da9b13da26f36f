#include "update/SendFirmwareFile.h"

#include "update/RawJob.h"
#include "update/RunMessages.h"

namespace reflasher {

bool SendFirmwareFile(Spooler& spooler, PrinterHandle printer, const FirmwareImage& image,
                      DialogRequests& dialog) {
    // A chosen file's bytes as read and checked at Start: the file is not opened
    // again, so a change to it since then can't reach the embosser.
    if (WriteWhole(spooler, printer, image.data, image.size)) return true;
    Show(dialog, PrinterWriteFailedMessage());
    return false;
}

}  // namespace reflasher
