#include "device/UsbPrinter.h"

namespace reflasher {
namespace {

// The open test is exact, unlike discovery: "usb001" is refused here.
bool PortIsUsb(Spooler& spooler, PrinterHandle printer, Allocator& allocator) {
    const std::uint32_t size = spooler.PrinterRecordSize(printer);
    if (size == 0) return false;
    auto buffer = allocator.Allocate(size);
    if (!buffer) return false;
    std::wstring port;
    if (!spooler.ReadPort(printer, buffer.get(), size, &port)) return false;
    return port.compare(0, kUsbPortPrefixLength, kUsbPortPrefix) == 0;
}

// Full access includes the right to manage the printer, which a program running
// without elevation lacks. Printing and reading the status need only use access,
// so a refusal of the rights (and nothing else) is met with a second, humbler open.
bool OpenForUpdate(Spooler& spooler, const std::wstring& printerName, PrinterHandle* printer,
                   const PrinterDefaults& defaults) {
    if (spooler.Open(printerName, printer, defaults)) return true;
    if (spooler.LastError() != kErrorAccessDenied) return false;
    PrinterDefaults useOnly = defaults;
    useOnly.desiredAccess = kPrinterAccessUse;
    return spooler.Open(printerName, printer, useOnly);
}

}  // namespace

PrinterDefaults UpdatePrinterDefaults() { return PrinterDefaults{L"RAW", kPrinterAllAccess}; }

bool OpenUsbPrinter(Spooler& spooler, const std::wstring& printerName, PrinterHandle* printer,
                    const PrinterDefaults& defaults, Allocator& allocator) {
    PrinterHandle opened = 0;
    if (!OpenForUpdate(spooler, printerName, &opened, defaults)) return false;
    if (!PortIsUsb(spooler, opened, allocator)) {
        spooler.Close(opened);
        return false;
    }
    *printer = opened;
    return true;
}

}  // namespace reflasher
