#include "ui/PrinterList.h"

namespace reflasher {
namespace {

// These texts keep their original wording: the README and the tests quote them.
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

}  // namespace

std::wstring PrinterEntryText(const PrinterInfo& printer) {
    return printer.printerName + L" on " + printer.portName;
}

PrinterList LayOutPrinterList(const Discovery& found) {
    PrinterList list;
    switch (found.outcome) {
        case DiscoveryOutcome::NoMemory: list.message = kMallocFailure; return list;
        case DiscoveryOutcome::SpoolerNotRunning: list.message = kSpoolerNotRunning; return list;
        case DiscoveryOutcome::Enumerated: break;
    }
    list.fill = true;
    switch (found.embossers.size()) {
        case 0:
            list.lines.assign(1, kNoPrinters);
            list.message = kNotDetected;
            return list;
        case 1:
            // The only embosser is the obvious choice; the user need not pick it.
            list.chooseOnlyEmbosser = true;
            break;
        default:
            // Several embossers: make the user choose, so no update goes to the wrong one.
            list.lines.push_back(kChoosePrompt);
            list.firstPrinterLine = 1;
            break;
    }
    for (const PrinterInfo& printer : found.embossers) list.lines.push_back(PrinterEntryText(printer));
    return list;
}

std::optional<std::size_t> EmbosserAtLine(const PrinterList& list, int line,
                                          std::size_t embosserCount) {
    if (line < 0 || static_cast<std::size_t>(line) < list.firstPrinterLine) return std::nullopt;
    const std::size_t embosser = static_cast<std::size_t>(line) - list.firstPrinterLine;
    if (embosser >= embosserCount) return std::nullopt;
    return embosser;
}

}  // namespace reflasher
