// The print-spooler operations the program uses, and the error code of a
// failed one, behind one interface so that everything above it builds and runs
// without Windows. The Win32 adapter passes each call straight to winspool; tests
// use the simulated spooler. The methods have names of their own, which winspool.h's
// ...A/...W macros can't reach; each says which winspool call it stands for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reflasher {

// Opaque spooler handle; 0 means "no printer".
using PrinterHandle = std::uintptr_t;

// What we read from one PRINTER_INFO_2W record.
struct PrinterInfo {
    std::wstring printerName;
    std::wstring portName;
    std::wstring driverName;
};

// PRINTER_DEFAULTS as the program passes it: data type, no device mode, access.
struct PrinterDefaults {
    std::wstring dataType;
    std::uint32_t desiredAccess = 0;
};

// DOC_INFO_1 as the program passes it. An empty outputFile means "no output file" (null).
struct DocInfo {
    std::wstring documentName;
    std::wstring outputFile;
    std::wstring dataType;
};

// A job's id as StartDocPrinterW gives it; 0: no job was started.
using JobId = std::uint32_t;

// One job of the queue as EnumJobsW level 1 gives it (JOB_INFO_1W).
struct QueuedJob {
    JobId id = 0;
    std::uint32_t status = 0;  // JOB_STATUS_* bits
};

// The JOB_STATUS_* bits the program reads.
namespace job_status {
constexpr std::uint32_t kPaused = 0x1;
constexpr std::uint32_t kError = 0x2;
constexpr std::uint32_t kDeleting = 0x4;
constexpr std::uint32_t kSpooling = 0x8;
constexpr std::uint32_t kPrinting = 0x10;
constexpr std::uint32_t kPrinted = 0x80;
constexpr std::uint32_t kDeleted = 0x100;
constexpr std::uint32_t kComplete = 0x1000;
}  // namespace job_status

// True for a job that may still reach the printer: not printed, complete or deleted
// (a queue set to keep printed documents lists those). One being deleted, or in
// error, still holds the queue, so it counts.
bool JobStillToPrint(const QueuedJob& job);

// What GetPrinterW tells of a print queue. Each part is set only when the call
// that gives it worked: a spooler that can't say tells nothing.
struct QueueState {
    std::optional<std::uint32_t> status;      // level 6: the status word (PRINTER_STATUS_*)
    std::optional<std::uint32_t> attributes;  // level 2: Attributes (PRINTER_ATTRIBUTE_*)
    std::optional<std::uint32_t> jobCount;    // level 2: cJobs, the documents in the queue
};

// The PRINTER_STATUS_* bits that say a queue can't deliver now.
namespace queue_status {
constexpr std::uint32_t kPaused = 0x1;
constexpr std::uint32_t kError = 0x2;
constexpr std::uint32_t kPendingDeletion = 0x4;
constexpr std::uint32_t kPaperJam = 0x8;
constexpr std::uint32_t kPaperOut = 0x10;
constexpr std::uint32_t kPaperProblem = 0x40;
constexpr std::uint32_t kOffline = 0x80;
constexpr std::uint32_t kNotAvailable = 0x1000;
constexpr std::uint32_t kUserIntervention = 0x100000;
constexpr std::uint32_t kDoorOpen = 0x400000;
constexpr std::uint32_t kServerUnknown = 0x800000;
constexpr std::uint32_t kServerOffline = 0x2000000;
}  // namespace queue_status

// PRINTER_ATTRIBUTE_WORK_OFFLINE: the queue is set to use the printer offline
// (Windows sets it by itself when a USB printer goes away).
constexpr std::uint32_t kAttributeWorkOffline = 0x400;
// PRINTER_ATTRIBUTE_DIRECT: nothing is spooled, each write goes to the port, so no job
// can be held; PRINTER_ATTRIBUTE_QUEUED: printing starts once a document is whole.
constexpr std::uint32_t kAttributeDirect = 0x2;
constexpr std::uint32_t kAttributeQueued = 0x1;

constexpr std::uint32_t kPrinterAllAccess = 0xF000C;
// Printing and reading the printer, without the right to manage it.
constexpr std::uint32_t kPrinterAccessUse = 0x8;

// The error codes the program acts on: ERROR_ACCESS_DENIED, and those of a
// print spooler service that isn't running (RPC_S_SERVER_UNAVAILABLE, ERROR_SERVICE_NOT_ACTIVE).
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorSpoolerUnavailable = 1722;
constexpr std::uint32_t kErrorServiceNotActive = 1062;

class Spooler {
public:
    virtual ~Spooler() = default;

    // EnumPrintersW(PRINTER_ENUM_LOCAL, no server, level 2) with no buffer: the size needed.
    virtual std::uint32_t PrinterListSize() = 0;
    // EnumPrintersW again into the caller's buffer of `bufferSize` bytes; the records found.
    virtual std::vector<PrinterInfo> ListPrinters(void* buffer, std::uint32_t bufferSize) = 0;

    // OpenPrinterW; true with `*handle` set when the printer was opened.
    virtual bool Open(const std::wstring& printerName, PrinterHandle* handle,
                      const PrinterDefaults& defaults) = 0;
    // Why the calling thread's last failed call failed (GetLastError), read right after it.
    virtual std::uint32_t LastError() = 0;
    // ClosePrinter.
    virtual void Close(PrinterHandle handle) = 0;

    // GetPrinterW level 2 with no buffer: the size needed (0 when the call gives none).
    virtual std::uint32_t PrinterRecordSize(PrinterHandle handle) = 0;
    // GetPrinterW level 2 into the caller's buffer; the record's pPortName, or false.
    virtual bool ReadPort(PrinterHandle handle, void* buffer, std::uint32_t bufferSize,
                          std::wstring* portName) = 0;

    // GetPrinterDataW(valueName, no type) into `buffer`; returns the byte count the
    // spooler reported (left at 0 when it reports none). The result code is not given.
    virtual std::uint32_t ReadDriverData(PrinterHandle handle, const std::wstring& valueName,
                                         unsigned char* buffer, std::uint32_t bufferSize) = 0;

    // StartDocPrinterW level 1; the new job's id, 0 when none was started.
    virtual JobId BeginDocument(PrinterHandle handle, const DocInfo& docInfo) = 0;
    // StartPagePrinter; true when a page was started.
    virtual bool BeginPage(PrinterHandle handle) = 0;
    // WritePrinter in one call; returns the count the spooler reports written.
    virtual std::uint32_t Write(PrinterHandle handle, const void* data, std::uint32_t count) = 0;
    // EndPagePrinter, EndDocPrinter.
    virtual void EndPage(PrinterHandle handle) = 0;
    virtual void EndDocument(PrinterHandle handle) = 0;

    // GetPrinterW level 6 (status word) and level 2 (attributes, document count).
    virtual QueueState GetQueueState(PrinterHandle handle) = 0;
    // EnumJobsW level 1: the jobs in the queue with their status, in queue order;
    // false when the list can't be had.
    virtual bool ListQueuedJobs(PrinterHandle handle, std::vector<QueuedJob>* jobs) = 0;
    // SetJobW(JOB_CONTROL_DELETE): removes the job from the queue; true when taken.
    // A user may delete their own documents with the right to print.
    virtual bool DeleteJob(PrinterHandle handle, JobId job) = 0;
    // SetJobW(JOB_CONTROL_PAUSE) and SetJobW(JOB_CONTROL_RESUME): a paused job is not
    // sent to the printer until it is resumed. A document's owner may do both; a
    // queue that prints directly, or a spooler that ignores the call, holds nothing.
    virtual bool PauseJob(PrinterHandle handle, JobId job) = 0;
    virtual bool ResumeJob(PrinterHandle handle, JobId job) = 0;
    // AbortPrinter: ends the document under way on `handle` and drops what was
    // written of it, so none of it reaches the printer; true when taken.
    virtual bool AbortDocument(PrinterHandle handle) = 0;
};

}  // namespace reflasher
