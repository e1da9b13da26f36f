// Finding the embossers among the local printers and laying out the printer list.
#include "device/PrinterDiscovery.h"

#include <cstddef>
#include <cstdint>
#include <memory>

#include "device/AsciiCase.h"
#include "device/MessageCaptions.h"
#include "device/UsbPrinter.h"

namespace reflasher {
namespace {

const wchar_t kDriverName[] = L"QUILLMAR DOVREX";

const wchar_t kNoPrinters[] = L"No printers available";
const wchar_t kChoosePrompt[] = L"Choose printer from list";
const wchar_t kMallocFailure[] = L"Printer Enumeration failed (malloc failure)";
const wchar_t kSpoolerNotRunning[] =
    L"The print spooler is not running!\n"
    L"Please start the Print Spooler service,\n"
    L"or restart the computer, and start this\n"
    L"application again.";
const wchar_t kNotDetected[] =
    L"A Quillmar Dovrex Tactigraph was not detected!\n"
    L"Make sure that the printer is turned on\n"
    L"and connected to the computer via the USB port.";

// Driver and port names are compared as ASCII.
bool EqualsFolded(const std::wstring& text, std::size_t length, const wchar_t* upperReference) {
    for (std::size_t i = 0; i < length; ++i) {
        if (AsciiUpper(text[i]) != upperReference[i]) return false;
    }
    return true;
}

}  // namespace

bool IsQualifyingPrinter(const PrinterInfo& printer) {
    constexpr std::size_t driverLength = sizeof kDriverName / sizeof kDriverName[0] - 1;
    // The driver name must match in full: "Quillmar Dovrex II" is another driver.
    if (printer.driverName.size() != driverLength ||
        !EqualsFolded(printer.driverName, driverLength, kDriverName)) {
        return false;
    }
    return printer.portName.size() >= kUsbPortPrefixLength &&
           EqualsFolded(printer.portName, kUsbPortPrefixLength, kUsbPortPrefix);
}

std::wstring PrinterEntryText(const PrinterInfo& printer) {
    return printer.printerName + L" on " + printer.portName;
}

PrinterListLayout DiscoverPrinters(Spooler& spooler, Allocator& allocator) {
    PrinterListLayout layout;

    const std::uint32_t size = spooler.EnumPrintersSizeNeeded();
    // No size, and an error that says so: the list stays alone, and the cable is not to blame.
    if (size == 0) {
        const std::uint32_t error = spooler.LastError();
        if (error == kErrorSpoolerUnavailable || error == kErrorServiceNotActive) {
            layout.message = DiscoveryMessage{kSpoolerNotRunning, kErrorCaption};
            return layout;
        }
    }
    // Nothing to hold when the spooler needs no room; that is an empty list, not a failure.
    std::unique_ptr<unsigned char[]> buffer;
    if (size != 0) {
        buffer = allocator.Allocate(size);
        if (!buffer) {
            layout.message = DiscoveryMessage{kMallocFailure, kErrorCaption};
            return layout;
        }
    }

    layout.enumerated = true;
    for (const PrinterInfo& printer : spooler.EnumPrinters(buffer.get(), size)) {
        if (!IsQualifyingPrinter(printer)) continue;
        layout.comboLines.push_back(PrinterEntryText(printer));
        layout.printerNames.push_back(printer.printerName);
        layout.printerPorts.push_back(printer.portName);
    }
    buffer.reset();

    layout.selectedIndex = 0;
    switch (layout.printerNames.size()) {
        case 0:
            layout.comboLines.assign(1, kNoPrinters);
            layout.message = DiscoveryMessage{kNotDetected, kErrorCaption};
            break;
        case 1:
            // The only embosser is the obvious choice; the user need not pick it.
            layout.printerChosen = true;
            layout.selectedPrinter = layout.printerNames.front();
            layout.selectedPort = layout.printerPorts.front();
            break;
        default:
            // Several embossers: make the user choose, so no update goes to the wrong one.
            layout.comboLines.insert(layout.comboLines.begin(), kChoosePrompt);
            break;
    }
    return layout;
}

}  // namespace reflasher
