#include "update/SendFirmwareFile.h"

#include "update/RawJob.h"
#include "update/ResultMessages.h"

namespace reflasher {

bool SendFirmwareFile(Spooler& spooler, PrinterHandle printer, const FirmwareFileBytes& file,
                      DialogRequests& dialog) {
    // The bytes read and checked at Start: the file is not opened again, so a change
    // to it since then can't reach the embosser.
    if (WriteWhole(spooler, printer, file.data.get(), file.size)) return true;
    Show(dialog, PrinterWriteFailedMessage());
    return false;
}

}  // namespace reflasher
