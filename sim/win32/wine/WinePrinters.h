// Installing printers in a Wine prefix from registry values alone, the way the
// Windows-tier tests put an embosser behind the real spooler calls. Wine's
// spooler needs no driver files: a key under ...\Print\Printers is a printer.
#pragma once

#include <string>
#include <vector>

namespace reflasher::wineprefix {

struct WinePrinter {
    std::wstring name;
    std::wstring port;
    std::wstring driver;
};

bool InstallPrinter(const WinePrinter& printer);
// Removes the printer's key and everything under it; true also when it wasn't there.
bool RemovePrinter(const std::wstring& name);

// Where Wine sends the jobs printed to `port`: "|command" runs the command once per
// job with the job on its standard input; a plain Unix path is overwritten by each job.
bool MapPort(const std::wstring& port, const std::wstring& target);

// The status string the printer publishes as printer data "QMSTSSTR", stored
// byte for byte (REG_BINARY) as a driver would.
bool SetStatusBytes(const std::wstring& printer, const std::vector<unsigned char>& bytes);
// The text and its zero byte.
bool SetStatusText(const std::wstring& printer, const std::string& text);
bool ClearStatus(const std::wstring& printer);

// The queue's own state as Wine's spooler reads it from the printer's key: the
// value "Attributes" (PRINTER_ATTRIBUTE_*, level 2; InstallPrinter writes a local
// printer's 0x40) and the value "Status" (PRINTER_STATUS_*, the level-6 status word;
// none means 0). Read afresh at every GetPrinterW.
bool SetQueueAttributes(const std::wstring& printer, unsigned long attributes);
bool SetQueueStatus(const std::wstring& printer, unsigned long status);
bool ClearQueueStatus(const std::wstring& printer);

}  // namespace reflasher::wineprefix
