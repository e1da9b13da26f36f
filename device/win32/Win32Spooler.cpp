#include "device/win32/Win32Spooler.h"

#include <new>

#include "device/GrowingList.h"

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

std::uint32_t Win32Spooler::PrinterListSize() {
    DWORD needed = 0;
    DWORD returned = 0;
    if (Winspool().enumPrinters == nullptr) return 0;
    // With no printers the query works and leaves the thread's error code as it was:
    // clear it, so that only a failed query (a spooler that isn't running) reports one.
    if (Winspool().enumPrinters(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned)) {
        ::SetLastError(ERROR_SUCCESS);
    }
    return needed;
}

std::vector<PrinterInfo> Win32Spooler::ListPrinters(void* buffer, std::uint32_t bufferSize) {
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

bool Win32Spooler::Open(const std::wstring& printerName, PrinterHandle* handle,
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

void Win32Spooler::Close(PrinterHandle handle) {
    if (Winspool().closePrinter != nullptr) Winspool().closePrinter(ToHandle(handle));
}

std::uint32_t Win32Spooler::PrinterRecordSize(PrinterHandle handle) {
    DWORD needed = 0;
    if (Winspool().getPrinter == nullptr) return 0;
    Winspool().getPrinter(ToHandle(handle), 2, nullptr, 0, &needed);
    return needed;
}

bool Win32Spooler::ReadPort(PrinterHandle handle, void* buffer, std::uint32_t bufferSize,
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

std::uint32_t Win32Spooler::ReadDriverData(PrinterHandle handle, const std::wstring& valueName,
                                           unsigned char* buffer, std::uint32_t bufferSize) {
    WideArg name(valueName);
    // Preset to 0 so a call that reports no count reads as "no status".
    DWORD count = 0;
    if (Winspool().getPrinterData == nullptr) return 0;
    Winspool().getPrinterData(ToHandle(handle), name.get(), nullptr, buffer, bufferSize, &count);
    return count;
}

JobId Win32Spooler::BeginDocument(PrinterHandle handle, const DocInfo& docInfo) {
    WideArg documentName(docInfo.documentName);
    WideArg outputFile(docInfo.outputFile);
    WideArg dataType(docInfo.dataType);
    DOC_INFO_1W info{};
    info.pDocName = documentName.get();
    info.pOutputFile = outputFile.getOrNull();
    info.pDatatype = dataType.getOrNull();
    if (Winspool().startDocPrinter == nullptr) return 0;
    return Winspool().startDocPrinter(ToHandle(handle), 1, reinterpret_cast<LPBYTE>(&info));
}

bool Win32Spooler::BeginPage(PrinterHandle handle) {
    return Winspool().startPagePrinter != nullptr &&
           Winspool().startPagePrinter(ToHandle(handle)) != FALSE;
}

std::uint32_t Win32Spooler::Write(PrinterHandle handle, const void* data, std::uint32_t count) {
    DWORD written = 0;
    if (Winspool().writePrinter != nullptr)
        Winspool().writePrinter(ToHandle(handle), const_cast<void*>(data), count, &written);
    return written;
}

void Win32Spooler::EndPage(PrinterHandle handle) {
    if (Winspool().endPagePrinter != nullptr) Winspool().endPagePrinter(ToHandle(handle));
}

void Win32Spooler::EndDocument(PrinterHandle handle) {
    if (Winspool().endDocPrinter != nullptr) Winspool().endDocPrinter(ToHandle(handle));
}

}  // namespace reflasher

namespace reflasher {

std::vector<unsigned char> Win32Spooler::GetPrinterRecord(PrinterHandle handle, DWORD level) {
    std::vector<unsigned char> record;
    if (Winspool().getPrinter == nullptr) return record;
    DWORD needed = 0;
    Winspool().getPrinter(ToHandle(handle), level, nullptr, 0, &needed);
    if (needed == 0) return record;
    try {
        record.resize(needed);
    } catch (const std::bad_alloc&) {
        return record;  // no room: the queue's state stays unknown
    }
    if (!Winspool().getPrinter(ToHandle(handle), level, record.data(), needed, &needed)) {
        record.clear();
    }
    return record;
}

QueueState Win32Spooler::GetQueueState(PrinterHandle handle) {
    QueueState state;
    // Level 6 holds only the status word, the same as level 2's; it is the one
    // level every spooler fills (Wine leaves level 2's Status at 0).
    const std::vector<unsigned char> level6 = GetPrinterRecord(handle, 6);
    if (level6.size() >= sizeof(PRINTER_INFO_6)) {
        state.status = reinterpret_cast<const PRINTER_INFO_6*>(level6.data())->dwStatus;
    }
    const std::vector<unsigned char> level2 = GetPrinterRecord(handle, 2);
    if (level2.size() >= sizeof(PRINTER_INFO_2W)) {
        const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(level2.data());
        state.attributes = info->Attributes;
        state.jobCount = info->cJobs;
    }
    return state;
}

bool Win32Spooler::ListQueuedJobs(PrinterHandle handle, std::vector<QueuedJob>* jobs) {
    if (Winspool().enumJobs == nullptr) return false;
    // Far more than a queue of a USB embosser ever holds; the size query says the rest.
    constexpr DWORD kAllJobs = 0xFFFF;
    DWORD needed = 0;
    DWORD returned = 0;
    if (!Winspool().enumJobs(ToHandle(handle), 0, kAllJobs, 1, nullptr, 0, &needed, &returned)) {
        // Only a size tells that the list is there. A stub (Wine's) fails with no size and
        // no error of its own, leaving whatever code the last call set: often this one.
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) return false;
    }
    jobs->clear();
    if (needed == 0) return true;  // an empty queue
    // The queue may grow between the size and the fetch, usually by another program's
    // document: the fetch then wants more room, and is asked again with the new size.
    std::vector<unsigned char> buffer;
    const bool fetched = FetchGrowingList(
        needed, &buffer, [&](unsigned char* data, std::uint32_t size, std::uint32_t* more) {
            DWORD wanted = 0;
            if (Winspool().enumJobs(ToHandle(handle), 0, kAllJobs, 1, data, size, &wanted,
                                    &returned)) {
                return ListFetch::Fetched;
            }
            *more = wanted;
            return ::GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ListFetch::TooSmall
                                                                 : ListFetch::Failed;
        });
    if (!fetched) return false;  // still growing, or the call failed: nothing known
    const auto* records = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) jobs->push_back(QueuedJob{records[i].JobId, records[i].Status});
    return true;
}

bool Win32Spooler::DeleteJob(PrinterHandle handle, JobId job) {
    return Winspool().setJob != nullptr &&
           Winspool().setJob(ToHandle(handle), job, 0, nullptr, JOB_CONTROL_DELETE) != FALSE;
}

bool Win32Spooler::PauseJob(PrinterHandle handle, JobId job) {
    return Winspool().setJob != nullptr &&
           Winspool().setJob(ToHandle(handle), job, 0, nullptr, JOB_CONTROL_PAUSE) != FALSE;
}

bool Win32Spooler::ResumeJob(PrinterHandle handle, JobId job) {
    return Winspool().setJob != nullptr &&
           Winspool().setJob(ToHandle(handle), job, 0, nullptr, JOB_CONTROL_RESUME) != FALSE;
}

bool Win32Spooler::AbortDocument(PrinterHandle handle) {
    return Winspool().abortPrinter != nullptr &&
           Winspool().abortPrinter(ToHandle(handle)) != FALSE;
}

}  // namespace reflasher
