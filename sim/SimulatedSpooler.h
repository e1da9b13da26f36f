// An in-memory print spooler for tests: any printer list, any status bytes and
// reported count, every job's bytes captured, any operation failing on demand,
// and a ledger of open handles. A simulated device may sit behind a printer.
//
// Each printer has a queue, as Windows keeps one: a document goes out to the
// device once it is complete, in queue order, and only while the queue runs: not
// while it is paused or set to work offline, nor while the device is unplugged.
// Until then it waits, and an earlier document still being written holds back
// those behind it. Other programs' documents can be put in; jobs can be deleted
// and aborted, and then never reach the device.
//
// SimulatedSpoolerControls.cpp holds what tests set up and read; SimulatedSpooler.cpp
// the spooler calls.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/Spooler.h"

namespace reflasher::sim {

// The error codes the simulated spooler reports (the Windows values).
constexpr std::uint32_t kErrorGenFailure = 31;
constexpr std::uint32_t kErrorInvalidPrinterName = 1801;

enum class SpoolerOp {
    PrinterListSize,
    ListPrinters,
    Open,
    Close,
    PrinterRecordSize,
    ReadPort,
    ReadDriverData,
    BeginDocument,
    BeginPage,
    Write,
    EndPage,
    EndDocument,
    GetQueueState,
    ListQueuedJobs,
    DeleteJob,
    AbortDocument,
};
constexpr int kSpoolerOpCount = 16;
const char* SpoolerOpName(SpoolerOp op);

// What the driver and device behind one printer do.
class SimulatedDevice {
public:
    virtual ~SimulatedDevice() = default;
    // A whole raw job, delivered when its document ends.
    virtual void OnJob(const std::vector<unsigned char>& bytes) = 0;
    // The current "QMSTSSTR" value (text and zero byte); empty means none. One call per poll.
    virtual std::vector<unsigned char> OnStatusQuery() = 0;
};

// What became of a job: still in the queue (being written, or waiting), or gone.
enum class JobFate { Queued, Delivered, Deleted, Aborted, Lost };

struct CapturedJob {
    JobId id = 0;
    std::wstring printerName;
    DocInfo docInfo;
    bool pageStarted = false;
    std::vector<std::uint32_t> writeSizes;  // one entry per WritePrinter call
    std::vector<unsigned char> bytes;
    bool ended = false;    // its document was ended: complete, free to go out
    bool foreign = false;  // another program's document
    JobFate fate = JobFate::Queued;
};

class SimulatedSpooler : public Spooler {
public:
    // Adds a local printer; `device` (not owned) answers status queries and takes jobs.
    void AddPrinter(const PrinterInfo& info, SimulatedDevice* device = nullptr);
    // Fixed status bytes for a printer without a device; `reportedCount` overrides the
    // count reported (default: the size of `bytes`).
    void SetStatusBytes(const std::wstring& printerName, std::vector<unsigned char> bytes,
                        std::optional<std::uint32_t> reportedCount = std::nullopt);
    void SetStatusText(const std::wstring& printerName, const std::string& text);

    // Makes the `nth` call (1-based) of `op` fail; nth 0 makes every call fail.
    // A failed open reports kErrorGenFailure.
    void FailCall(SpoolerOp op, int nth = 0);
    // Opens asking for any right beyond `granted` fail with access denied, as for a
    // user who may print but not manage the printer.
    void LimitAccess(std::uint32_t granted);
    // Write reports at most this many bytes written (the rest is dropped).
    void LimitWrites(std::uint32_t maxBytesTaken);
    // PrinterListSize reports this instead of the real size.
    void OverrideEnumSize(std::uint32_t size);
    // The print spooler service stops: every call fails with RPC_S_SERVER_UNAVAILABLE.
    void StopService();

    // The queue's state; documents waiting go out as soon as it can deliver again.
    void SetQueuePaused(const std::wstring& printerName, bool paused);
    void SetWorkOffline(const std::wstring& printerName, bool offline);
    // An unplugged device takes no documents and publishes no status.
    void SetDeviceConnected(const std::wstring& printerName, bool connected);
    // Further PRINTER_STATUS_* bits the queue reports (an error, a paper jam, ...).
    void SetQueueStatusBits(const std::wstring& printerName, std::uint32_t bits);
    // Another program's document: complete (it goes out when it can), or still being
    // written (it holds back the queue behind it until CompleteDocument).
    JobId AddForeignDocument(const std::wstring& printerName, std::vector<unsigned char> bytes,
                             bool complete = true);
    void CompleteDocument(JobId job);
    // The ids of the printer's jobs still in the queue, in queue order.
    std::vector<JobId> QueuedJobIds(const std::wstring& printerName) const;

    int OpenHandleCount() const;
    int CallCount(SpoolerOp op) const;
    std::vector<CapturedJob> Jobs() const;
    std::vector<PrinterDefaults> OpenDefaults() const;
    std::vector<std::wstring> OpenedNames() const;
    std::vector<std::wstring> StatusValueNames() const;
    std::vector<std::uint32_t> StatusBufferSizes() const;

    // Spooler
    std::uint32_t PrinterListSize() override;
    std::vector<PrinterInfo> ListPrinters(void* buffer, std::uint32_t bufferSize) override;
    bool Open(const std::wstring& printerName, PrinterHandle* handle,
              const PrinterDefaults& defaults) override;
    // Per thread, like GetLastError: set by every failed open, never cleared.
    std::uint32_t LastError() override;
    void Close(PrinterHandle handle) override;
    std::uint32_t PrinterRecordSize(PrinterHandle handle) override;
    bool ReadPort(PrinterHandle handle, void* buffer, std::uint32_t bufferSize,
                  std::wstring* portName) override;
    std::uint32_t ReadDriverData(PrinterHandle handle, const std::wstring& valueName,
                                 unsigned char* buffer, std::uint32_t bufferSize) override;
    JobId BeginDocument(PrinterHandle handle, const DocInfo& docInfo) override;
    bool BeginPage(PrinterHandle handle) override;
    std::uint32_t Write(PrinterHandle handle, const void* data, std::uint32_t count) override;
    void EndPage(PrinterHandle handle) override;
    void EndDocument(PrinterHandle handle) override;
    QueueState GetQueueState(PrinterHandle handle) override;
    bool ListQueuedJobs(PrinterHandle handle, std::vector<JobId>* jobs) override;
    bool DeleteJob(PrinterHandle handle, JobId job) override;
    bool AbortDocument(PrinterHandle handle) override;

private:
    struct Printer {
        PrinterInfo info;
        SimulatedDevice* device = nullptr;
        std::vector<unsigned char> statusBytes;
        std::optional<std::uint32_t> reportedCount;
        bool paused = false;
        bool workOffline = false;
        bool connected = true;
        std::uint32_t statusBits = 0;
    };
    struct Delivery {
        SimulatedDevice* device;
        std::vector<unsigned char> bytes;
    };
    struct OpenPrinterState {
        std::size_t printerIndex = 0;
        std::optional<std::size_t> jobIndex;  // the job under way on this handle
    };

    // Counts the call and tells whether it must fail. Caller holds the mutex.
    bool CallFails(SpoolerOp op);
    OpenPrinterState* Find(PrinterHandle handle);
    std::uint32_t PrinterInfoSize(const Printer& printer) const;
    Printer* FindPrinter(const std::wstring& printerName);
    // Applies `change` to the printer's queue, then lets out what may go now.
    void ChangeQueue(const std::wstring& printerName, const std::function<void(Printer&)>& change);
    CapturedJob* FindJob(JobId job);
    // Takes every document that may go out now off the queues. Caller holds the mutex.
    std::vector<Delivery> TakeDeliveries();
    // Hands them to their devices; called without the mutex (a model may be slow).
    static void Deliver(const std::vector<Delivery>& deliveries);

    mutable std::mutex mutex_;
    std::vector<Printer> printers_;
    std::map<PrinterHandle, OpenPrinterState> open_;
    PrinterHandle nextHandle_ = 0x100;
    std::vector<CapturedJob> jobs_;
    int calls_[kSpoolerOpCount] = {};
    std::map<int, std::vector<int>> failures_;  // op -> nth calls to fail (0 = all)
    std::optional<std::uint32_t> writeLimit_;
    std::optional<std::uint32_t> enumSizeOverride_;
    std::optional<std::uint32_t> grantedAccess_;
    bool serviceStopped_ = false;
    JobId nextJobId_ = 7;
    std::vector<PrinterDefaults> openDefaults_;
    std::vector<std::wstring> openedNames_;
    std::vector<std::wstring> statusValueNames_;
    std::vector<std::uint32_t> statusBufferSizes_;
};

}  // namespace reflasher::sim
