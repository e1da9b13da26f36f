// Finding the embossers among the local printers, and what the printer list shows.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "device/Allocator.h"
#include "device/Spooler.h"

namespace reflasher {

// What the message box (if any) after filling the printer list must say.
struct DiscoveryMessage {
    std::wstring text;
    std::wstring caption;  // always "Error" with the warning icon
};

// What FillPrinterList applies to the dialog.
struct PrinterListLayout {
    // The printers were enumerated and the lines below are to be shown; false only when
    // the buffer for the enumeration couldn't be had (the list is then left alone).
    bool enumerated = false;
    std::vector<std::wstring> comboLines;  // every line of the combo box, in order
    int selectedIndex = 0;
    std::vector<std::wstring> printerNames;  // spooler names, combo order after any prompt line
    std::vector<std::wstring> printerPorts;  // the port of each of printerNames
    bool printerChosen = false;
    std::wstring selectedPrinter;
    std::wstring selectedPort;
    std::optional<DiscoveryMessage> message;
};

// True when a printer qualifies as the embosser (driver and port, letter case folded).
bool IsQualifyingPrinter(const PrinterInfo& printer);

// "%s on %s" with the printer name and port as the spooler reports them.
std::wstring PrinterEntryText(const PrinterInfo& printer);

// Enumerates the local printers and lays out the printer list.
PrinterListLayout DiscoverPrinters(Spooler& spooler, Allocator& allocator = Allocator::Heap());

}  // namespace reflasher
