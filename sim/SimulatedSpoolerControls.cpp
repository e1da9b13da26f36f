// The simulated spooler's side for tests: setting up printers, statuses, failures
// and the state of their queues, putting in other programs' documents, and reading
// what happened. The spooler calls themselves are in SimulatedSpooler.cpp.
#include <algorithm>
#include <chrono>

#include "sim/SimulatedSpooler.h"

namespace reflasher::sim {

void SimulatedSpooler::AddPrinter(const PrinterInfo& info, SimulatedDevice* device) {
    std::lock_guard<std::mutex> lock(mutex_);
    Printer printer;
    printer.info = info;
    printer.device = device;
    printers_.push_back(printer);
}

void SimulatedSpooler::SetStatusBytes(const std::wstring& printerName,
                                      std::vector<unsigned char> bytes,
                                      std::optional<std::uint32_t> reportedCount) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (Printer& printer : printers_) {
        if (printer.info.printerName == printerName) {
            printer.statusBytes = bytes;
            printer.reportedCount = reportedCount;
        }
    }
}

void SimulatedSpooler::SetStatusText(const std::wstring& printerName, const std::string& text) {
    std::vector<unsigned char> bytes(text.begin(), text.end());
    bytes.push_back(0);
    SetStatusBytes(printerName, std::move(bytes));
}

void SimulatedSpooler::FailCall(SpoolerOp op, int nth) {
    std::lock_guard<std::mutex> lock(mutex_);
    failures_[static_cast<int>(op)].push_back(nth);
}

void SimulatedSpooler::LimitAccess(std::uint32_t granted) {
    std::lock_guard<std::mutex> lock(mutex_);
    grantedAccess_ = granted;
}

void SimulatedSpooler::LimitWrites(std::uint32_t maxBytesTaken) {
    std::lock_guard<std::mutex> lock(mutex_);
    writeLimit_ = maxBytesTaken;
}

void SimulatedSpooler::OverrideEnumSize(std::uint32_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    enumSizeOverride_ = size;
}

void SimulatedSpooler::StopService() {
    std::lock_guard<std::mutex> lock(mutex_);
    serviceStopped_ = true;
}

void SimulatedSpooler::ChangeQueue(const std::wstring& printerName,
                                   const std::function<void(Printer&)>& change) {
    std::vector<Delivery> deliveries;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (Printer* printer = FindPrinter(printerName)) change(*printer);
        deliveries = TakeDeliveries();  // what waited may go out now
    }
    Deliver(deliveries);
}

void SimulatedSpooler::SetQueuePaused(const std::wstring& printerName, bool paused) {
    ChangeQueue(printerName, [paused](Printer& printer) { printer.paused = paused; });
}

void SimulatedSpooler::SetWorkOffline(const std::wstring& printerName, bool offline) {
    ChangeQueue(printerName, [offline](Printer& printer) { printer.workOffline = offline; });
}

void SimulatedSpooler::SetDeviceConnected(const std::wstring& printerName, bool connected) {
    // Windows sets the queue to work offline when a USB printer goes, and back when it comes.
    ChangeQueue(printerName, [connected](Printer& printer) {
        printer.connected = connected;
        printer.workOffline = !connected;
    });
}

void SimulatedSpooler::SetQueueStatusBits(const std::wstring& printerName, std::uint32_t bits) {
    ChangeQueue(printerName, [bits](Printer& printer) { printer.statusBits = bits; });
}

void SimulatedSpooler::SetDeliveryMode(const std::wstring& printerName, DeliveryMode mode) {
    ChangeQueue(printerName, [mode](Printer& printer) { printer.mode = mode; });
}

void SimulatedSpooler::AcceptPauseWhenDirect(const std::wstring& printerName, bool accept) {
    ChangeQueue(printerName, [accept](Printer& printer) { printer.directPauseAccepted = accept; });
}

void SimulatedSpooler::SetPortStalled(const std::wstring& printerName, bool stalled) {
    ChangeQueue(printerName, [stalled](Printer& printer) { printer.stalled = stalled; });
}

void SimulatedSpooler::SetKeepPrinted(const std::wstring& printerName, bool keep) {
    ChangeQueue(printerName, [keep](Printer& printer) { printer.keepPrinted = keep; });
}

void SimulatedSpooler::SetJobHeldBits(JobId id, std::uint32_t bits) {
    std::vector<Delivery> deliveries;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (CapturedJob* job = FindJob(id)) job->heldBits = bits;
        deliveries = TakeDeliveries();
    }
    Deliver(deliveries);
}

std::shared_ptr<CallGate> SimulatedSpooler::BlockCall(SpoolerOp op, int nth) {
    auto gate = std::make_shared<CallGate>();
    OnCall(op, nth, [gate] { gate->Block(); });
    return gate;
}

void SimulatedSpooler::OnCall(SpoolerOp op, int nth, std::function<void()> action) {
    std::lock_guard<std::mutex> lock(mutex_);
    hooks_[static_cast<int>(op)].push_back(CallHook{nth, std::move(action)});
}

bool CallGate::WaitUntilEntered(int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return entered_; });
}

void CallGate::Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
}

void CallGate::Block() {
    std::unique_lock<std::mutex> lock(mutex_);
    entered_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return released_; });
}

JobId SimulatedSpooler::AddForeignDocument(const std::wstring& printerName,
                                           std::vector<unsigned char> bytes, bool complete,
                                           bool ahead) {
    std::vector<Delivery> deliveries;
    JobId id = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        CapturedJob job;
        job.id = id = nextJobId_++;
        job.printerName = printerName;
        job.docInfo = DocInfo{L"Letter to the printer", L"", L"RAW"};
        job.pageStarted = true;
        job.writeSizes.push_back(static_cast<std::uint32_t>(bytes.size()));
        job.bytes = std::move(bytes);
        job.ended = complete;
        job.foreign = true;
        auto at = jobs_.end();
        if (ahead) {
            at = std::find_if(jobs_.begin(), jobs_.end(), [&](const CapturedJob& queued) {
                // Nothing goes before a job that is already going out.
                return queued.printerName == printerName && queued.fate == JobFate::Queued && !queued.printing;
            });
        }
        const std::size_t index = static_cast<std::size_t>(at - jobs_.begin());
        jobs_.insert(at, job);
        // The documents under way on open handles moved one place down.
        for (auto& [handle, state] : open_) {
            if (state.jobIndex && *state.jobIndex >= index) ++*state.jobIndex;
        }
        deliveries = TakeDeliveries();
    }
    Deliver(deliveries);
    return id;
}

JobId SimulatedSpooler::AddPrintedDocument(const std::wstring& printerName) {
    std::lock_guard<std::mutex> lock(mutex_);
    CapturedJob job;
    job.id = nextJobId_++;
    job.printerName = printerName;
    job.docInfo = DocInfo{L"Printed yesterday", L"", L"RAW"};
    job.ended = job.foreign = job.printing = true;
    job.fate = JobFate::Delivered;
    jobs_.push_back(job);
    return job.id;
}

void SimulatedSpooler::CompleteDocument(JobId id) {
    std::vector<Delivery> deliveries;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (CapturedJob* job = FindJob(id)) job->ended = true;
        deliveries = TakeDeliveries();
    }
    Deliver(deliveries);
}

std::vector<JobId> SimulatedSpooler::QueuedJobIds(const std::wstring& printerName) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<JobId> ids;
    for (const CapturedJob& job : jobs_) {
        if (job.printerName == printerName && job.fate == JobFate::Queued) ids.push_back(job.id);
    }
    return ids;
}

int SimulatedSpooler::OpenHandleCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(open_.size());
}

int SimulatedSpooler::CallCount(SpoolerOp op) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_[static_cast<int>(op)];
}

std::vector<CapturedJob> SimulatedSpooler::Jobs() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return jobs_;
}

std::vector<PrinterDefaults> SimulatedSpooler::OpenDefaults() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return openDefaults_;
}

std::vector<std::wstring> SimulatedSpooler::OpenedNames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return openedNames_;
}

std::vector<std::wstring> SimulatedSpooler::StatusValueNames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return statusValueNames_;
}

std::vector<std::uint32_t> SimulatedSpooler::StatusBufferSizes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return statusBufferSizes_;
}

}  // namespace reflasher::sim
