// Random printer lists through the simulated spooler: the printer list's layout
// must always fit the number of embossers found, letter case of driver and port
// must not change which are found, and opening one never leaves a stray handle.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/PrinterDiscovery.h"
#include "device/UsbPrinter.h"
#include "sim/SimulatedSpooler.h"
#include "ui/PrinterList.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/shared/ExpectedTexts.h"

namespace {

using reflasher::Discovery;
using reflasher::PrinterInfo;
using reflasher::PrinterList;
using reflasher::sim::SimulatedSpooler;
using reflasher::sim::SpoolerOp;

class MaybeFailingAllocator : public reflasher::Allocator {
public:
    explicit MaybeFailingAllocator(bool fail) : fail_(fail) {}
    std::unique_ptr<unsigned char[]> Allocate(std::size_t size) noexcept override {
        return fail_ ? nullptr : Allocator::Allocate(size);
    }

private:
    bool fail_;
};

// Characters that a Unicode-aware upper-casing would turn into ASCII letters.
const wchar_t kLookalikes[] = {L'\u0131', L'\u017F', L'\uFF35', L'\uFF33', L'\uFF22', L'\u00E9'};

wchar_t FlipAsciiCase(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 32);
    if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 32);
    return c;
}

// Mostly a near miss of `base`: letter case flipped here and there, and
// sometimes one character changed, added or removed.
std::wstring Variant(FuzzedDataProvider& input, const std::wstring& base) {
    std::wstring text = base;
    for (wchar_t& c : text) {
        if (input.ConsumeBool()) c = FlipAsciiCase(c);
    }
    switch (input.ConsumeIntegralInRange(0, 7)) {
        case 0:
            if (!text.empty()) text.pop_back();
            break;
        case 1:
            text.push_back(static_cast<wchar_t>(input.ConsumeIntegralInRange(1, 0x7F)));
            break;
        case 2:
            if (!text.empty()) {
                text[input.ConsumeIntegralInRange<std::size_t>(0, text.size() - 1)] =
                    kLookalikes[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kLookalikes) - 1)];
            }
            break;
        case 3:
            if (!text.empty()) {
                text[input.ConsumeIntegralInRange<std::size_t>(0, text.size() - 1)] =
                    static_cast<wchar_t>(input.ConsumeIntegralInRange(1, 0x7F));
            }
            break;
        default:
            break;  // left as the base, up to letter case
    }
    return text;
}

std::wstring PortBase(FuzzedDataProvider& input) {
    static const wchar_t* const ports[] = {L"USB001", L"USB", L"US", L"", L"LPT1:", L"XUSB002",
                                           L"COM1:", L"USB0123456789"};
    return ports[input.ConsumeIntegralInRange<std::size_t>(0, std::size(ports) - 1)];
}

// The qualification rule put the other way round, folding to lower case.
bool QualifiesByLowerCase(const PrinterInfo& printer) {
    auto lower = [](std::wstring text) {
        for (wchar_t& c : text) {
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
        }
        return text;
    };
    return lower(printer.driverName) == L"quillmar dovrex" && lower(printer.portName.substr(0, 3)) == L"usb";
}

bool StartsWithExactUsb(const std::wstring& port) { return port.compare(0, 3, L"USB") == 0; }

std::vector<std::wstring> NamesOf(const Discovery& found) {
    std::vector<std::wstring> names;
    for (const PrinterInfo& printer : found.embossers) names.push_back(printer.printerName);
    return names;
}

void CheckLayout(const Discovery& discovered, const std::vector<PrinterInfo>& installed) {
    FUZZ_CHECK(discovered.outcome == reflasher::DiscoveryOutcome::Enumerated);
    const PrinterList layout = reflasher::LayOutPrinterList(discovered);
    FUZZ_CHECK(layout.fill);
    const std::size_t found = discovered.embossers.size();
    FUZZ_CHECK(found <= installed.size());
    FUZZ_CHECK(layout.lines.size() == (found >= 2 ? found + 1 : 1));
    FUZZ_CHECK(layout.chooseOnlyEmbosser == (found == 1));
    FUZZ_CHECK(layout.message.empty() == (found != 0));
    if (found == 0) FUZZ_CHECK(layout.lines[0] == reflasher::expected::kNoPrinters);
    if (found >= 2) FUZZ_CHECK(layout.lines[0] == reflasher::expected::kChoosePrinter);

    // The embossers found are installed printers in enumeration order, each shown by
    // its own entry text on the line that stands for it, and each one qualifies.
    const std::size_t firstEntry = found >= 2 ? 1 : 0;
    std::size_t next = 0;
    for (std::size_t k = 0; k < found; ++k) {
        while (next < installed.size() && installed[next].printerName != discovered.embossers[k].printerName) ++next;
        FUZZ_CHECK(next < installed.size());
        const PrinterInfo& printer = installed[next++];
        FUZZ_CHECK(QualifiesByLowerCase(printer));
        FUZZ_CHECK(printer.driverName.size() == 15 && printer.portName.size() >= 3);
        FUZZ_CHECK(layout.lines[firstEntry + k] == printer.printerName + L" on " + printer.portName);
        const auto line = static_cast<int>(firstEntry + k);
        FUZZ_CHECK(reflasher::EmbosserAtLine(layout, line, found) == k);
    }
    FUZZ_CHECK(!reflasher::EmbosserAtLine(layout, static_cast<int>(layout.lines.size()), found));
    std::size_t qualifying = 0;
    for (const PrinterInfo& printer : installed) qualifying += QualifiesByLowerCase(printer);
    FUZZ_CHECK(qualifying == found);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool allocationFails = input.ConsumeBool();
    const bool enumerationFails = input.ConsumeIntegralInRange(0, 15) == 0;
    const int count = input.ConsumeIntegralInRange(0, 6);

    std::vector<PrinterInfo> installed;
    for (int i = 0; i < count; ++i) {
        // Unique names keep every listed name traceable to its record.
        PrinterInfo printer;
        printer.printerName = L"P" + std::to_wstring(i) + Variant(input, L"Dovrex");
        printer.driverName = Variant(input, L"QUILLMAR DOVREX");
        printer.portName = Variant(input, PortBase(input));
        installed.push_back(printer);
    }

    SimulatedSpooler spooler;
    for (const PrinterInfo& printer : installed) spooler.AddPrinter(printer);
    if (enumerationFails) spooler.FailCall(SpoolerOp::ListPrinters);
    MaybeFailingAllocator allocator(allocationFails);
    const Discovery discovered = reflasher::DiscoverEmbossers(spooler, allocator);
    FUZZ_CHECK(spooler.OpenHandleCount() == 0);

    const bool bufferNeeded = !installed.empty();  // the simulated size is 0 only for no printers
    if (allocationFails && bufferNeeded) {
        FUZZ_CHECK(discovered.outcome == reflasher::DiscoveryOutcome::NoMemory && discovered.embossers.empty());
        const PrinterList layout = reflasher::LayOutPrinterList(discovered);
        FUZZ_CHECK(!layout.fill && layout.lines.empty() && !layout.chooseOnlyEmbosser);
        FUZZ_CHECK(layout.message == reflasher::expected::kEnumerationNoMemory);
    } else {
        CheckLayout(discovered, enumerationFails ? std::vector<PrinterInfo>{} : installed);
    }

    if (!enumerationFails && !allocationFails) {
        // Flipping the letter case of every driver and port finds the same printers.
        std::vector<PrinterInfo> flipped = installed;
        SimulatedSpooler flippedSpooler;
        for (PrinterInfo& printer : flipped) {
            for (wchar_t& c : printer.driverName) c = FlipAsciiCase(c);
            for (wchar_t& c : printer.portName) c = FlipAsciiCase(c);
            flippedSpooler.AddPrinter(printer);
        }
        FUZZ_CHECK(NamesOf(reflasher::DiscoverEmbossers(flippedSpooler)) == NamesOf(discovered));
    }

    // Opening for an update keeps exactly the printers on an exact "USB" port open.
    const bool openFails = input.ConsumeIntegralInRange(0, 7) == 0;
    if (openFails) spooler.FailCall(SpoolerOp::ReadPort);
    for (const PrinterInfo& printer : installed) {
        reflasher::PrinterHandle handle = 0;
        const bool opened = reflasher::OpenUsbPrinter(spooler, printer.printerName, &handle,
                                                      reflasher::UpdatePrinterDefaults());
        FUZZ_CHECK(opened == (!openFails && StartsWithExactUsb(printer.portName)));
        FUZZ_CHECK(spooler.OpenHandleCount() == (opened ? 1 : 0));
        if (opened) spooler.Close(handle);
    }
    FUZZ_CHECK(spooler.OpenHandleCount() == 0);
    return 0;
}
