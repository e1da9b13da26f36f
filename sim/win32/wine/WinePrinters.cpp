#include "sim/win32/wine/WinePrinters.h"

#include "sim/win32/wine/RegistryKey.h"

namespace reflasher::wineprefix {
namespace {

const wchar_t kPrintersKey[] = L"System\\CurrentControlSet\\Control\\Print\\Printers";
const wchar_t kPortMapKey[] = L"Software\\Wine\\Printing\\Spooler";
const wchar_t kStatusValue[] = L"QMSTSSTR";
// A local printer (PRINTER_ATTRIBUTE_LOCAL).
constexpr DWORD kLocalAttribute = 0x40;

std::wstring PrinterKey(const std::wstring& name) {
    return std::wstring(kPrintersKey) + L"\\" + name;
}

RegistryKey DriverDataKey(const std::wstring& printer) {
    return RegistryKey::Create(HKEY_LOCAL_MACHINE, PrinterKey(printer) + L"\\PrinterDriverData");
}

}  // namespace

bool InstallPrinter(const WinePrinter& printer) {
    RegistryKey key = RegistryKey::Create(HKEY_LOCAL_MACHINE, PrinterKey(printer.name));
    // Without a print processor Wine's OpenPrinterW fails with error 1801.
    return key.SetString(L"Name", printer.name) && key.SetString(L"Port", printer.port) &&
           key.SetString(L"Printer Driver", printer.driver) &&
           key.SetString(L"Print Processor", L"winprint") && key.SetString(L"Datatype", L"RAW") &&
           key.SetDword(L"Attributes", kLocalAttribute);
}

bool RemovePrinter(const std::wstring& name) {
    const LONG result = RegDeleteTreeW(HKEY_LOCAL_MACHINE, PrinterKey(name).c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool MapPort(const std::wstring& port, const std::wstring& target) {
    return RegistryKey::Create(HKEY_CURRENT_USER, kPortMapKey).SetString(port.c_str(), target);
}

bool SetStatusBytes(const std::wstring& printer, const std::vector<unsigned char>& bytes) {
    return DriverDataKey(printer).SetBinary(kStatusValue, bytes.data(),
                                            static_cast<DWORD>(bytes.size()));
}

bool SetStatusText(const std::wstring& printer, const std::string& text) {
    std::vector<unsigned char> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return SetStatusBytes(printer, bytes);
}

bool ClearStatus(const std::wstring& printer) {
    return DriverDataKey(printer).DeleteValue(kStatusValue);
}

bool SetQueueAttributes(const std::wstring& printer, unsigned long attributes) {
    return RegistryKey::Create(HKEY_LOCAL_MACHINE, PrinterKey(printer))
        .SetDword(L"Attributes", attributes);
}

bool SetQueueStatus(const std::wstring& printer, unsigned long status) {
    return RegistryKey::Create(HKEY_LOCAL_MACHINE, PrinterKey(printer)).SetDword(L"Status", status);
}

bool ClearQueueStatus(const std::wstring& printer) {
    return RegistryKey::Create(HKEY_LOCAL_MACHINE, PrinterKey(printer)).DeleteValue(L"Status");
}

}  // namespace reflasher::wineprefix
