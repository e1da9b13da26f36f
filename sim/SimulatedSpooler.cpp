// The simulated spooler's calls, as the program makes them; what tests set up and
// read is in SimulatedSpoolerControls.cpp.
#include "sim/SimulatedSpooler.h"

#include <algorithm>
#include <cstring>

namespace reflasher::sim {
namespace {

thread_local std::uint32_t lastError = 0;

// Fails the call with `error`, as the spooler does: false, and the thread's error code set.
bool Fail(std::uint32_t error) {
    lastError = error;
    return false;
}

}  // namespace

const char* SpoolerOpName(SpoolerOp op) {
    static const char* const names[kSpoolerOpCount] = {
        "PrinterListSize",   "ListPrinters",   "Open",           "Close",
        "PrinterRecordSize", "ReadPort",       "ReadDriverData", "BeginDocument",
        "BeginPage",         "Write",          "EndPage",        "EndDocument",
        "GetQueueState",     "ListQueuedJobs", "DeleteJob",      "AbortDocument",
        "PauseJob",          "ResumeJob",
    };
    return names[static_cast<int>(op)];
}

void SimulatedSpooler::Intercept(SpoolerOp op) {
    std::vector<std::function<void()>> actions;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const int index = static_cast<int>(op);
        const int callNumber = ++intercepted_[index];
        const auto it = hooks_.find(index);
        if (it == hooks_.end()) return;
        for (const CallHook& hook : it->second) {
            if (hook.nth == 0 || hook.nth == callNumber) actions.push_back(hook.action);
        }
    }
    for (const auto& action : actions) action();
}

bool SimulatedSpooler::CallFails(SpoolerOp op) {
    const int index = static_cast<int>(op);
    const int callNumber = ++calls_[index];
    const auto it = failures_.find(index);
    const bool fails = serviceStopped_ ||
                       (it != failures_.end() &&
                        std::any_of(it->second.begin(), it->second.end(),
                                    [callNumber](int nth) { return nth == 0 || nth == callNumber; }));
    if (fails) lastError = serviceStopped_ ? kErrorSpoolerUnavailable : kErrorGenFailure;
    return fails;
}

SimulatedSpooler::OpenPrinterState* SimulatedSpooler::Find(PrinterHandle handle) {
    const auto it = open_.find(handle);
    return it == open_.end() ? nullptr : &it->second;
}

SimulatedSpooler::Printer* SimulatedSpooler::FindPrinter(const std::wstring& printerName) {
    for (Printer& printer : printers_) {
        if (printer.info.printerName == printerName) return &printer;
    }
    return nullptr;
}

CapturedJob* SimulatedSpooler::FindJob(JobId id) {
    for (CapturedJob& job : jobs_) {
        if (job.id == id) return &job;
    }
    return nullptr;
}

// Roughly what a PRINTER_INFO_2W record with its strings takes, so sizes look real.
std::uint32_t SimulatedSpooler::PrinterInfoSize(const Printer& printer) const {
    const std::size_t strings = printer.info.printerName.size() + printer.info.portName.size() +
                                printer.info.driverName.size() + 3;
    return static_cast<std::uint32_t>(84 + 2 * strings);
}

std::uint32_t SimulatedSpooler::PrinterListSize() {
    Intercept(SpoolerOp::PrinterListSize);
    std::lock_guard<std::mutex> lock(mutex_);
    if (CallFails(SpoolerOp::PrinterListSize)) return 0;
    lastError = 0;  // as the adapter clears it when the size query works
    if (enumSizeOverride_) return *enumSizeOverride_;
    std::uint32_t size = 0;
    for (const Printer& printer : printers_) size += PrinterInfoSize(printer);
    return size;
}

std::vector<PrinterInfo> SimulatedSpooler::ListPrinters(void* buffer, std::uint32_t bufferSize) {
    Intercept(SpoolerOp::ListPrinters);
    std::lock_guard<std::mutex> lock(mutex_);
    if (CallFails(SpoolerOp::ListPrinters)) return {};
    std::uint32_t needed = 0;
    for (const Printer& printer : printers_) needed += PrinterInfoSize(printer);
    // Like the real call: too small a buffer yields no records.
    if (buffer == nullptr || bufferSize < needed) return {};
    std::memset(buffer, 0xA5, bufferSize);  // the records would land here
    std::vector<PrinterInfo> result;
    for (const Printer& printer : printers_) result.push_back(printer.info);
    return result;
}

bool SimulatedSpooler::Open(const std::wstring& printerName, PrinterHandle* handle,
                            const PrinterDefaults& defaults) {
    Intercept(SpoolerOp::Open);
    std::lock_guard<std::mutex> lock(mutex_);
    openDefaults_.push_back(defaults);
    openedNames_.push_back(printerName);
    if (CallFails(SpoolerOp::Open)) return false;
    for (std::size_t i = 0; i < printers_.size(); ++i) {
        if (printers_[i].info.printerName == printerName) {
            if (grantedAccess_ && (defaults.desiredAccess & ~*grantedAccess_) != 0) {
                return Fail(kErrorAccessDenied);
            }
            const PrinterHandle opened = nextHandle_++;
            open_[opened] = OpenPrinterState{i, std::nullopt};
            *handle = opened;
            return true;
        }
    }
    return Fail(kErrorInvalidPrinterName);
}

std::uint32_t SimulatedSpooler::LastError() { return lastError; }

void SimulatedSpooler::Close(PrinterHandle handle) {
    Intercept(SpoolerOp::Close);
    std::vector<Delivery> deliveries;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        CallFails(SpoolerOp::Close);  // the result is ignored by callers; close anyway
        // A document still open on the handle is ended, as ClosePrinter does.
        if (const OpenPrinterState* state = Find(handle); state && state->jobIndex) {
            jobs_[*state->jobIndex].ended = true;
        }
        open_.erase(handle);
        deliveries = TakeDeliveries();
    }
    Deliver(deliveries);
}

std::uint32_t SimulatedSpooler::PrinterRecordSize(PrinterHandle handle) {
    Intercept(SpoolerOp::PrinterRecordSize);
    std::lock_guard<std::mutex> lock(mutex_);
    if (CallFails(SpoolerOp::PrinterRecordSize)) return 0;
    const OpenPrinterState* state = Find(handle);
    return state ? PrinterInfoSize(printers_[state->printerIndex]) : 0;
}

bool SimulatedSpooler::ReadPort(PrinterHandle handle, void* buffer, std::uint32_t bufferSize,
                                std::wstring* portName) {
    Intercept(SpoolerOp::ReadPort);
    std::lock_guard<std::mutex> lock(mutex_);
    if (CallFails(SpoolerOp::ReadPort)) return false;
    const OpenPrinterState* state = Find(handle);
    if (!state || buffer == nullptr) return false;
    const Printer& printer = printers_[state->printerIndex];
    if (bufferSize < PrinterInfoSize(printer)) return false;
    *portName = printer.info.portName;
    return true;
}

std::uint32_t SimulatedSpooler::ReadDriverData(PrinterHandle handle, const std::wstring& valueName,
                                               unsigned char* buffer, std::uint32_t bufferSize) {
    Intercept(SpoolerOp::ReadDriverData);
    std::vector<unsigned char> bytes;
    std::optional<std::uint32_t> reported;
    SimulatedDevice* device = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        statusValueNames_.push_back(valueName);
        statusBufferSizes_.push_back(bufferSize);
        if (CallFails(SpoolerOp::ReadDriverData)) return 0;
        const OpenPrinterState* state = Find(handle);
        if (!state || valueName != L"QMSTSSTR") return 0;
        const Printer& printer = printers_[state->printerIndex];
        if (!printer.connected) return 0;  // the driver hears nothing from an unplugged device
        device = printer.device;
        bytes = printer.statusBytes;
        reported = printer.reportedCount;
    }
    if (device) bytes = device->OnStatusQuery();  // outside the lock: the model may be slow
    const std::uint32_t size = static_cast<std::uint32_t>(bytes.size());
    // A value larger than the buffer: the spooler reports the size needed and
    // the buffer's content is undefined; fill what fits.
    // An empty value has no data pointer to copy from.
    if (size != 0) std::memcpy(buffer, bytes.data(), std::min(size, bufferSize));
    return reported ? *reported : size;
}

JobId SimulatedSpooler::BeginDocument(PrinterHandle handle, const DocInfo& docInfo) {
    Intercept(SpoolerOp::BeginDocument);
    std::lock_guard<std::mutex> lock(mutex_);
    if (CallFails(SpoolerOp::BeginDocument)) return 0;
    OpenPrinterState* state = Find(handle);
    if (!state || state->jobIndex) return 0;
    CapturedJob job;
    job.id = nextJobId_++;
    job.printerName = printers_[state->printerIndex].info.printerName;
    job.docInfo = docInfo;
    jobs_.push_back(job);
    state->jobIndex = jobs_.size() - 1;
    TakeDeliveries();  // an empty document delivers nothing, but may start printing
    return job.id;
}

bool SimulatedSpooler::BeginPage(PrinterHandle handle) {
    Intercept(SpoolerOp::BeginPage);
    std::lock_guard<std::mutex> lock(mutex_);
    if (CallFails(SpoolerOp::BeginPage)) return false;
    OpenPrinterState* state = Find(handle);
    if (!state || !state->jobIndex) return false;
    jobs_[*state->jobIndex].pageStarted = true;
    return true;
}

std::uint32_t SimulatedSpooler::Write(PrinterHandle handle, const void* data, std::uint32_t count) {
    Intercept(SpoolerOp::Write);
    std::lock_guard<std::mutex> lock(mutex_);
    if (CallFails(SpoolerOp::Write)) return 0;
    OpenPrinterState* state = Find(handle);
    if (!state || !state->jobIndex) return 0;
    CapturedJob& job = jobs_[*state->jobIndex];
    if (job.fate != JobFate::Queued) return 0;  // deleted meanwhile
    job.writeSizes.push_back(count);
    const std::uint32_t taken = writeLimit_ ? std::min(count, *writeLimit_) : count;
    const auto* bytes = static_cast<const unsigned char*>(data);
    job.bytes.insert(job.bytes.end(), bytes, bytes + taken);
    TakeDeliveries();  // a job that is printing sends what was written; none ends here
    return taken;
}

void SimulatedSpooler::EndPage(PrinterHandle handle) {
    Intercept(SpoolerOp::EndPage);
    std::lock_guard<std::mutex> lock(mutex_);
    CallFails(SpoolerOp::EndPage);
    (void)handle;
}

void SimulatedSpooler::EndDocument(PrinterHandle handle) {
    Intercept(SpoolerOp::EndDocument);
    std::vector<Delivery> deliveries;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const bool failed = CallFails(SpoolerOp::EndDocument);
        OpenPrinterState* state = Find(handle);
        if (!state || !state->jobIndex) return;
        CapturedJob& job = jobs_[*state->jobIndex];
        state->jobIndex.reset();
        if (job.fate != JobFate::Queued) return;
        if (failed) {
            job.fate = JobFate::Lost;  // lost on the way to the device
        } else {
            job.ended = true;
        }
        deliveries = TakeDeliveries();
    }
    Deliver(deliveries);
}

QueueState SimulatedSpooler::GetQueueState(PrinterHandle handle) {
    Intercept(SpoolerOp::GetQueueState);
    std::lock_guard<std::mutex> lock(mutex_);
    QueueState queue;
    if (CallFails(SpoolerOp::GetQueueState)) return queue;
    const OpenPrinterState* state = Find(handle);
    if (!state) return queue;
    const Printer& printer = printers_[state->printerIndex];
    constexpr std::uint32_t kAttributeLocal = 0x40;
    queue.status = printer.statusBits | (printer.paused ? queue_status::kPaused : 0u);
    queue.attributes = kAttributeLocal | (printer.workOffline ? kAttributeWorkOffline : 0u) |
                       (printer.mode == DeliveryMode::Direct ? kAttributeDirect : 0u) |
                       (printer.mode == DeliveryMode::AfterSpooled ? kAttributeQueued : 0u);
    queue.jobCount = static_cast<std::uint32_t>(std::count_if(
        jobs_.begin(), jobs_.end(), [&](const CapturedJob& job) {
            return job.printerName == printer.info.printerName &&
                   (job.fate == JobFate::Queued || (job.fate == JobFate::Delivered && printer.keepPrinted));
        }));
    return queue;
}

bool SimulatedSpooler::ListQueuedJobs(PrinterHandle handle, std::vector<QueuedJob>* jobs) {
    Intercept(SpoolerOp::ListQueuedJobs);
    std::lock_guard<std::mutex> lock(mutex_);
    if (CallFails(SpoolerOp::ListQueuedJobs)) return false;
    const OpenPrinterState* state = Find(handle);
    if (!state) return false;
    jobs->clear();
    const Printer& printer = printers_[state->printerIndex];
    for (const CapturedJob& job : jobs_) {
        const bool listed = job.fate == JobFate::Queued ||
                            (job.fate == JobFate::Delivered && printer.keepPrinted);
        if (job.printerName == printer.info.printerName && listed) {
            jobs->push_back(QueuedJob{job.id, StatusOf(job)});
        }
    }
    return true;
}

bool SimulatedSpooler::DeleteJob(PrinterHandle handle, JobId id) {
    Intercept(SpoolerOp::DeleteJob);
    std::vector<Delivery> deliveries;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (CallFails(SpoolerOp::DeleteJob)) return false;
        const OpenPrinterState* state = Find(handle);
        CapturedJob* job = FindJob(id);
        // Only a job of this printer that is listed; one that went out and isn't kept is gone.
        if (!state || !job || job->printerName != printers_[state->printerIndex].info.printerName) {
            return false;
        }
        const Printer& printer = printers_[state->printerIndex];
        if (job->fate == JobFate::Delivered && printer.keepPrinted) {
            job->fate = JobFate::Deleted;  // off the list; it printed all the same
            return true;
        }
        if (job->fate != JobFate::Queued) return false;
        CutOff(*job, JobFate::Deleted, &deliveries);
        const std::vector<Delivery> freed = TakeDeliveries();  // it may have held back others
        deliveries.insert(deliveries.end(), freed.begin(), freed.end());
    }
    Deliver(deliveries);
    return true;
}

bool SimulatedSpooler::AbortDocument(PrinterHandle handle) {
    Intercept(SpoolerOp::AbortDocument);
    std::vector<Delivery> deliveries;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (CallFails(SpoolerOp::AbortDocument)) return false;
        OpenPrinterState* state = Find(handle);
        if (!state || !state->jobIndex) return false;
        // Without spooling there is nothing to drop: the call has no effect.
        if (printers_[state->printerIndex].mode == DeliveryMode::Direct) return true;
        CapturedJob& job = jobs_[*state->jobIndex];
        state->jobIndex.reset();
        if (job.fate == JobFate::Queued) CutOff(job, JobFate::Aborted, &deliveries);
        const std::vector<Delivery> freed = TakeDeliveries();
        deliveries.insert(deliveries.end(), freed.begin(), freed.end());
    }
    Deliver(deliveries);
    return true;
}

bool SimulatedSpooler::PauseJob(PrinterHandle handle, JobId job) {
    return SetPaused(handle, job, true, SpoolerOp::PauseJob);
}

bool SimulatedSpooler::ResumeJob(PrinterHandle handle, JobId job) {
    return SetPaused(handle, job, false, SpoolerOp::ResumeJob);
}

bool SimulatedSpooler::SetPaused(PrinterHandle handle, JobId id, bool paused, SpoolerOp op) {
    Intercept(op);
    std::vector<Delivery> deliveries;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (CallFails(op)) return false;
        const OpenPrinterState* state = Find(handle);
        CapturedJob* job = FindJob(id);
        if (!state || !job || job->fate != JobFate::Queued ||
            job->printerName != printers_[state->printerIndex].info.printerName) {
            return false;
        }
        // A queue that prints directly has no job to hold, whether or not it says so.
        const Printer& printer = printers_[state->printerIndex];
        if (printer.mode == DeliveryMode::Direct) {
            return printer.directPauseAccepted || Fail(kErrorNotSupported);
        }
        job->paused = paused;
        if (paused && job->sentBytes == 0) job->printing = false;  // nothing went out yet
        deliveries = TakeDeliveries();
    }
    Deliver(deliveries);
    return true;
}

}  // namespace reflasher::sim
