#include "update/SendFirmwareFile.h"

#include "update/RawJob.h"
#include "update/ResultMessages.h"

namespace reflasher {

bool SendFirmwareFile(UpdateContext& context, PrinterHandle printer) {
    // The bytes read and checked at Start: the file is not opened again, so a change
    // to it since then can't reach the embosser.
    const FirmwareFileBytes& file = context.chosenFile;
    if (WriteWhole(*context.services.spooler, printer, file.data.get(), file.size)) return true;
    Show(context.dialog, PrinterWriteFailedMessage());
    return false;
}

}  // namespace reflasher
