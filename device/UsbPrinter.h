// Opening the embosser for an update: only a printer on a "USB" port stays open.
#pragma once

#include <cstddef>
#include <string>

#include "device/Allocator.h"
#include "device/Spooler.h"

namespace reflasher {

// How the port names of USB printers begin. Discovery matches it in any letter case,
// the open for an update only exactly.
inline constexpr wchar_t kUsbPortPrefix[] = L"USB";
inline constexpr std::size_t kUsbPortPrefixLength =
    sizeof kUsbPortPrefix / sizeof kUsbPortPrefix[0] - 1;

// The PRINTER_DEFAULTS both opens of an update run pass: "RAW", no device mode, all access.
PrinterDefaults UpdatePrinterDefaults();

// Opens `printerName` and keeps it open only on a port whose name starts with exactly "USB".
// When the access asked for is denied, opens again with use access only.
bool OpenUsbPrinter(Spooler& spooler, const std::wstring& printerName, PrinterHandle* printer,
                    const PrinterDefaults& defaults, Allocator& allocator = Allocator::Heap());

}  // namespace reflasher
