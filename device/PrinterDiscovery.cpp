#include "device/PrinterDiscovery.h"

#include <cstddef>
#include <cstdint>
#include <memory>

#include "device/AsciiCase.h"
#include "device/UsbPrinter.h"

namespace reflasher {
namespace {

const wchar_t kDriverName[] = L"QUILLMAR DOVREX";

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

Discovery DiscoverEmbossers(Spooler& spooler, Allocator& allocator) {
    Discovery found;
    const std::uint32_t size = spooler.PrinterListSize();
    if (size == 0) {
        // No size, and an error that says why: the spooler isn't there to ask.
        const std::uint32_t error = spooler.LastError();
        if (error == kErrorSpoolerUnavailable || error == kErrorServiceNotActive) {
            found.outcome = DiscoveryOutcome::SpoolerNotRunning;
            return found;
        }
    }
    // Nothing to hold when the spooler needs no room; that is an empty list, not a failure.
    std::unique_ptr<unsigned char[]> buffer;
    if (size != 0) {
        buffer = allocator.Allocate(size);
        if (!buffer) {
            found.outcome = DiscoveryOutcome::NoMemory;
            return found;
        }
    }
    for (const PrinterInfo& printer : spooler.ListPrinters(buffer.get(), size)) {
        if (IsQualifyingPrinter(printer)) found.embossers.push_back(printer);
    }
    return found;
}

}  // namespace reflasher
