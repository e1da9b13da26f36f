#include "ui/PrinterList.h"

#include "texts/ProgramTexts.h"

namespace reflasher {

std::wstring PrinterEntryText(const PrinterInfo& printer) {
    return printer.printerName + texts::kOnPort + printer.portName;
}

PrinterList LayOutPrinterList(const Discovery& found) {
    PrinterList list;
    switch (found.outcome) {
        case DiscoveryOutcome::NoMemory: list.message = texts::kEnumerationNoMemory; return list;
        case DiscoveryOutcome::SpoolerNotRunning: list.message = texts::kSpoolerNotRunning; return list;
        case DiscoveryOutcome::Enumerated: break;
    }
    list.fill = true;
    switch (found.embossers.size()) {
        case 0:
            list.lines.assign(1, texts::kNoPrinters);
            list.message = texts::kNotDetected;
            return list;
        case 1:
            // The only embosser is the obvious choice; the user need not pick it.
            list.chooseOnlyEmbosser = true;
            break;
        default:
            // Several embossers: make the user choose, so no update goes to the wrong one.
            list.lines.push_back(texts::kChoosePrinter);
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
