#include "device/win32/Win32Spooler.h"

namespace reflasher {
namespace {

HANDLE ToHandle(PrinterHandle handle) { return reinterpret_cast<HANDLE>(handle); }

std::wstring FromSpooler(const wchar_t* text) {
    return text != nullptr ? std::wstring(text) : std::wstring();
}

// winspool's prototypes take non-const strings although it never writes through
// them; a private copy lets us pass ours without casting constness away.
class WideArg {
public:
    explicit WideArg(const std::wstring& text) : text_(text.begin(), text.end()) {
        text_.push_back(L'\0');
    }
    LPWSTR get() { return text_.data(); }
    // An empty string stands for "none" where winspool wants a null pointer.
    LPWSTR getOrNull() { return text_.size() > 1 ? text_.data() : nullptr; }

private:
    std::vector<wchar_t> text_;
};

}  // namespace

const WinspoolFunctions& Win32Spooler::Winspool() const {
    return functions_ != nullptr ? *functions_ : WinspoolFunctions::System();
}

std::uint32_t Win32Spooler::EnumPrintersSizeNeeded() {
    DWORD needed = 0;
    DWORD returned = 0;
    if (Winspool().enumPrinters == nullptr) return 0;
    Winspool().enumPrinters(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
    return needed;
}

std::vector<PrinterInfo> Win32Spooler::EnumPrinters(void* buffer, std::uint32_t bufferSize) {
    DWORD needed = 0;
    DWORD returned = 0;
    std::vector<PrinterInfo> printers;
    // A failed call promises nothing about `returned` or the buffer: no printers.
    if (buffer == nullptr || Winspool().enumPrinters == nullptr ||
        !Winspool().enumPrinters(PRINTER_ENUM_LOCAL, nullptr, 2, static_cast<LPBYTE>(buffer),
                                 bufferSize, &needed, &returned)) {
        return printers;
    }
    const auto* records = static_cast<const PRINTER_INFO_2W*>(buffer);
    printers.reserve(returned);
    for (DWORD i = 0; i < returned; ++i) {
        printers.push_back(PrinterInfo{FromSpooler(records[i].pPrinterName),
                                       FromSpooler(records[i].pPortName),
                                       FromSpooler(records[i].pDriverName)});
    }
    return printers;
}

bool Win32Spooler::OpenPrinter(const std::wstring& printerName, PrinterHandle* handle,
                               const PrinterDefaults& defaults) {
    HANDLE opened = nullptr;
    DWORD error = ERROR_SUCCESS;
    {
        WideArg name(printerName);
        WideArg dataType(defaults.dataType);
        PRINTER_DEFAULTSW printerDefaults{};
        printerDefaults.pDatatype = dataType.getOrNull();
        printerDefaults.pDevMode = nullptr;
        printerDefaults.DesiredAccess = defaults.desiredAccess;
        if (Winspool().openPrinter == nullptr) {
            error = ERROR_PROC_NOT_FOUND;
        } else if (!Winspool().openPrinter(name.get(), &opened, &printerDefaults)) {
            error = ::GetLastError();
        }
    }
    if (opened == nullptr) {
        // Freeing the argument copies may have touched the thread's error code.
        ::SetLastError(error);
        return false;
    }
    *handle = reinterpret_cast<PrinterHandle>(opened);
    return true;
}

std::uint32_t Win32Spooler::LastError() { return ::GetLastError(); }

void Win32Spooler::ClosePrinter(PrinterHandle handle) {
    if (Winspool().closePrinter != nullptr) Winspool().closePrinter(ToHandle(handle));
}

std::uint32_t Win32Spooler::GetPrinterSizeNeeded(PrinterHandle handle) {
    DWORD needed = 0;
    if (Winspool().getPrinter == nullptr) return 0;
    Winspool().getPrinter(ToHandle(handle), 2, nullptr, 0, &needed);
    return needed;
}

bool Win32Spooler::GetPrinterPort(PrinterHandle handle, void* buffer, std::uint32_t bufferSize,
                                  std::wstring* portName) {
    DWORD needed = 0;
    if (buffer == nullptr || Winspool().getPrinter == nullptr ||
        !Winspool().getPrinter(ToHandle(handle), 2, static_cast<LPBYTE>(buffer), bufferSize,
                               &needed)) {
        return false;
    }
    *portName = FromSpooler(static_cast<const PRINTER_INFO_2W*>(buffer)->pPortName);
    return true;
}

std::uint32_t Win32Spooler::GetPrinterData(PrinterHandle handle, const std::wstring& valueName,
                                           unsigned char* buffer, std::uint32_t bufferSize) {
    WideArg name(valueName);
    // Preset to 0 so a call that reports no count reads as "no status".
    DWORD count = 0;
    if (Winspool().getPrinterData == nullptr) return 0;
    Winspool().getPrinterData(ToHandle(handle), name.get(), nullptr, buffer, bufferSize, &count);
    return count;
}

bool Win32Spooler::StartDocPrinter(PrinterHandle handle, const DocInfo& docInfo) {
    WideArg documentName(docInfo.documentName);
    WideArg outputFile(docInfo.outputFile);
    WideArg dataType(docInfo.dataType);
    DOC_INFO_1W info{};
    info.pDocName = documentName.get();
    info.pOutputFile = outputFile.getOrNull();
    info.pDatatype = dataType.getOrNull();
    return Winspool().startDocPrinter != nullptr &&
           Winspool().startDocPrinter(ToHandle(handle), 1, reinterpret_cast<LPBYTE>(&info)) != 0;
}

bool Win32Spooler::StartPagePrinter(PrinterHandle handle) {
    return Winspool().startPagePrinter != nullptr &&
           Winspool().startPagePrinter(ToHandle(handle)) != FALSE;
}

std::uint32_t Win32Spooler::WritePrinter(PrinterHandle handle, const void* data,
                                         std::uint32_t count) {
    DWORD written = 0;
    if (Winspool().writePrinter != nullptr)
        Winspool().writePrinter(ToHandle(handle), const_cast<void*>(data), count, &written);
    return written;
}

void Win32Spooler::EndPagePrinter(PrinterHandle handle) {
    if (Winspool().endPagePrinter != nullptr) Winspool().endPagePrinter(ToHandle(handle));
}

void Win32Spooler::EndDocPrinter(PrinterHandle handle) {
    if (Winspool().endDocPrinter != nullptr) Winspool().endDocPrinter(ToHandle(handle));
}

}  // namespace reflasher
