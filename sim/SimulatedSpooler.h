// An in-memory print spooler for tests: any printer list, any status bytes and
// reported count, every job's bytes captured, any operation failing on demand,
// and a ledger of open handles. A simulated device may sit behind a printer.
//
// Each printer has a queue, as Windows keeps one. Documents go out in queue order,
// and only while the queue runs: not while it is paused, set to work offline, or
// its status word says paused, offline or error, nor while the device is unplugged
// (which sets work-offline, as Windows does). How a document goes out depends on
// the queue's delivery mode:
// - while spooling (Windows' default): its bytes go to the device as they are
//   written, unless the job is paused;
// - after spooling: once the document has ended;
// - directly: as written, and the job can't be paused.
// A paused job waits until resumed and lets the others by; a job in error or being
// deleted holds the queue; so does one still being written. Deleting or aborting a
// job that is printing stops what hasn't gone out: the device keeps what has (it
// gets those bytes as one cut-off job). A queue that keeps printed documents lists
// them as printed. Queues on one port feed one device, one job at a time. Any call
// can be made to block until the test releases it, or to run the test's code first.
//
// SimulatedSpoolerControls.cpp holds what tests set up and read; SimulatedSpooler.cpp
// the spooler calls; SimulatedQueue.cpp what may go out and what the job list shows.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
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
constexpr std::uint32_t kErrorNotSupported = 50;

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
    PauseJob,
    ResumeJob,
};
constexpr int kSpoolerOpCount = 18;
const char* SpoolerOpName(SpoolerOp op);

// What the driver and device behind one printer do.
class SimulatedDevice {
public:
    virtual ~SimulatedDevice() = default;
    // A whole raw job, delivered when it has printed; or the part of one that had
    // gone out when it was cut off.
    virtual void OnJob(const std::vector<unsigned char>& bytes) = 0;
    // The current "QMSTSSTR" value (text and zero byte); empty means none. One call per poll.
    virtual std::vector<unsigned char> OnStatusQuery() = 0;
};

// What became of a job: still in the queue (being written, waiting or printing),
// printed, or gone.
enum class JobFate { Queued, Delivered, Deleted, Aborted, Lost };

enum class DeliveryMode { WhileSpooling, AfterSpooled, Direct };

// A call made to wait at its start until the test lets it go.
class CallGate {
public:
    // Waits until the call has come and waits here; false after `timeoutMs`.
    bool WaitUntilEntered(int timeoutMs = 10000);
    void Release();
    // Called by the blocked call.
    void Block();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool entered_ = false;
    bool released_ = false;
};

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
    bool paused = false;
    bool printing = false;       // going out to the device
    std::size_t sentBytes = 0;   // of `bytes`, what has gone out
    std::uint32_t heldBits = 0;  // JOB_STATUS_ERROR or _DELETING set by the test
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
    void SetDeliveryMode(const std::wstring& printerName, DeliveryMode mode);
    // A queue that prints directly accepts a pause (SetJobW answers TRUE) and still
    // holds nothing; by default it refuses it.
    void AcceptPauseWhenDirect(const std::wstring& printerName, bool accept);
    // The port stops reading (a hung driver, a device that takes no more): the job at
    // the head starts printing and goes no further until it reads again.
    void SetPortStalled(const std::wstring& printerName, bool stalled);
    // "Keep printed documents": printed jobs stay listed, as printed and complete.
    void SetKeepPrinted(const std::wstring& printerName, bool keep);
    // A job stuck in error or being deleted (JOB_STATUS_* bits; 0 lets it go on).
    void SetJobHeldBits(JobId job, std::uint32_t bits);
    // Another program's document: complete (it goes out when it can), or still being
    // written (it holds back the queue behind it until CompleteDocument). Queued last,
    // or `ahead` of every job still waiting (a document of higher priority).
    JobId AddForeignDocument(const std::wstring& printerName, std::vector<unsigned char> bytes,
                             bool complete = true, bool ahead = false);
    void CompleteDocument(JobId job);
    // A document that printed before, kept in the list (see SetKeepPrinted).
    JobId AddPrintedDocument(const std::wstring& printerName);
    // The ids of the printer's jobs still in the queue, in queue order.
    std::vector<JobId> QueuedJobIds(const std::wstring& printerName) const;

    // The `nth` call (1-based; 0: every call) of `op` waits at its start until the
    // gate is released.
    std::shared_ptr<CallGate> BlockCall(SpoolerOp op, int nth);
    // Runs `action` at the start of the `nth` call of `op` (0: every call), before
    // the call does anything; an exception it throws leaves the call.
    void OnCall(SpoolerOp op, int nth, std::function<void()> action);

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
    bool ListQueuedJobs(PrinterHandle handle, std::vector<QueuedJob>* jobs) override;
    bool DeleteJob(PrinterHandle handle, JobId job) override;
    bool AbortDocument(PrinterHandle handle) override;
    bool PauseJob(PrinterHandle handle, JobId job) override;
    bool ResumeJob(PrinterHandle handle, JobId job) override;

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
        DeliveryMode mode = DeliveryMode::WhileSpooling;
        bool keepPrinted = false;
        bool stalled = false;
        bool directPauseAccepted = false;
    };
    struct CallHook {
        int nth;
        std::function<void()> action;
    };
    struct Delivery {
        SimulatedDevice* device;
        std::vector<unsigned char> bytes;
    };
    struct OpenPrinterState {
        std::size_t printerIndex = 0;
        std::optional<std::size_t> jobIndex;  // the job under way on this handle
    };

    // Runs the test's code for this call, if any; called without the mutex.
    void Intercept(SpoolerOp op);
    // Counts the call and tells whether it must fail. Caller holds the mutex.
    bool CallFails(SpoolerOp op);
    bool CanDeliver(const Printer& printer) const;
    // True when a job of another queue on the same port is going out.
    bool PortBusyElsewhere(const Printer& printer) const;
    // What a queued job shows in JOB_INFO_1's Status.
    std::uint32_t StatusOf(const CapturedJob& job) const;
    // Ends a queued job that is cut off (deleted, aborted): what went out stays out.
    void CutOff(CapturedJob& job, JobFate fate, std::vector<Delivery>* deliveries);
    // Sets a job's pause, then lets out what may go. Caller holds nothing.
    bool SetPaused(PrinterHandle handle, JobId job, bool paused, SpoolerOp op);
    OpenPrinterState* Find(PrinterHandle handle);
    std::uint32_t PrinterInfoSize(const Printer& printer) const;
    Printer* FindPrinter(const std::wstring& printerName);
    // Applies `change` to the printer's queue, then lets out what may go now.
    void ChangeQueue(const std::wstring& printerName, const std::function<void(Printer&)>& change);
    CapturedJob* FindJob(JobId job);
    // Starts what may go out now and takes every job that has printed off the
    // queues. Caller holds the mutex.
    std::vector<Delivery> TakeDeliveries();
    // Hands them to their devices; called without the mutex (a model may be slow).
    static void Deliver(const std::vector<Delivery>& deliveries);

    mutable std::mutex mutex_;
    std::vector<Printer> printers_;
    std::map<PrinterHandle, OpenPrinterState> open_;
    PrinterHandle nextHandle_ = 0x100;
    std::vector<CapturedJob> jobs_;
    int calls_[kSpoolerOpCount] = {};
    int intercepted_[kSpoolerOpCount] = {};
    std::map<int, std::vector<CallHook>> hooks_;
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
