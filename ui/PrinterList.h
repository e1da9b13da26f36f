// What the main dialog's printer list shows for the embossers found, and the
// message (caption "Error", warning icon) that follows filling it, if any.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "device/PrinterDiscovery.h"

namespace reflasher {

struct PrinterList {
    bool fill = false;               // false: the list is left as it is
    std::vector<std::wstring> lines;  // every line of the combo box, in order
    std::size_t firstPrinterLine = 0;  // the line of the first embosser (after any prompt)
    bool chooseOnlyEmbosser = false;  // exactly one embosser: it is chosen at once
    std::wstring message;             // empty when there is nothing to tell
};

// "%s on %s" with the printer name and port as the spooler reports them.
std::wstring PrinterEntryText(const PrinterInfo& printer);

PrinterList LayOutPrinterList(const Discovery& found);

// Which of `embosserCount` embossers line `line` stands for; none for a prompt line.
std::optional<std::size_t> EmbosserAtLine(const PrinterList& list, int line,
                                          std::size_t embosserCount);

}  // namespace reflasher
