#include "update/PrintQueue.h"

#include <algorithm>

#include "device/DeviceStatus.h"

namespace reflasher {
namespace {

constexpr std::uint32_t kOfflineBits = queue_status::kOffline | queue_status::kNotAvailable |
                                       queue_status::kServerOffline |
                                       queue_status::kServerUnknown;
constexpr std::uint32_t kFaultBits =
    queue_status::kError | queue_status::kPendingDeletion | queue_status::kPaperJam |
    queue_status::kPaperOut | queue_status::kPaperProblem | queue_status::kUserIntervention |
    queue_status::kDoorOpen;

QueueRefusal QueueItselfRefuses(const QueueState& queue) {
    const std::uint32_t status = queue.status.value_or(0);
    if ((queue.attributes.value_or(0) & kAttributeWorkOffline) != 0 || (status & kOfflineBits) != 0) {
        return QueueRefusal::Offline;
    }
    if ((status & queue_status::kPaused) != 0) return QueueRefusal::Paused;
    if ((status & kFaultBits) != 0) return QueueRefusal::Fault;
    return QueueRefusal::None;
}

bool DocumentsQueued(Spooler& spooler, PrinterHandle printer, const QueueState& queue) {
    std::vector<QueuedJob> jobs;
    if (spooler.ListQueuedJobs(printer, &jobs)) {
        return std::any_of(jobs.begin(), jobs.end(), JobStillToPrint);
    }
    return queue.jobCount.value_or(0) > 0;
}

}  // namespace

QueueRefusal CheckBeforeSending(Spooler& spooler, PrinterHandle printer) {
    const QueueState queue = spooler.GetQueueState(printer);
    const QueueRefusal refusal = QueueItselfRefuses(queue);
    if (refusal != QueueRefusal::None) return refusal;
    if (DocumentsQueued(spooler, printer, queue)) return QueueRefusal::DocumentsWaiting;
    // An embosser in service mode takes the next job as its firmware: a service-mode
    // job of ours would be flashed.
    const int status = QueryDeviceStatus(spooler, printer).status;
    if (status == status_code::kReady || status == status_code::kWorking) {
        return QueueRefusal::DeviceUpdating;
    }
    return QueueRefusal::None;
}

void RunJobs::Add(JobId job) {
    if (job != 0) jobs_.push_back(job);
}

bool RunJobs::IsOwn(JobId job) const {
    return std::find(jobs_.begin(), jobs_.end(), job) != jobs_.end();
}

bool RunJobs::IsForeignToPrint(const QueuedJob& job) const {
    return !IsOwn(job.id) && JobStillToPrint(job);
}

bool RunJobs::ForeignDocumentQueued(Spooler& spooler, PrinterHandle printer) const {
    std::vector<QueuedJob> queued;
    if (spooler.ListQueuedJobs(printer, &queued)) {
        return std::any_of(queued.begin(), queued.end(),
                           [this](const QueuedJob& job) { return IsForeignToPrint(job); });
    }
    // Without the list only a count beyond all of ours is evidence.
    return spooler.GetQueueState(printer).jobCount.value_or(0) > jobs_.size();
}

bool RunJobs::ForeignDocumentAhead(Spooler& spooler, PrinterHandle printer, JobId job) const {
    std::vector<QueuedJob> queued;
    // Without the list nothing is known; where there is none (Wine) nothing is held either.
    if (!spooler.ListQueuedJobs(printer, &queued)) return false;
    for (const QueuedJob& listed : queued) {
        if (listed.id == job) return false;
        if (IsForeignToPrint(listed)) return true;
    }
    return false;
}

void RunJobs::RemoveQueued(Spooler& spooler, PrinterHandle printer) const {
    if (jobs_.empty()) return;
    std::vector<QueuedJob> queued;
    const bool listed = spooler.ListQueuedJobs(printer, &queued);
    for (const JobId job : jobs_) {
        if (!listed) {
            spooler.DeleteJob(printer, job);
            continue;
        }
        const auto found = std::find_if(queued.begin(), queued.end(),
                                        [job](const QueuedJob& q) { return q.id == job; });
        if (found == queued.end() || !JobStillToPrint(*found)) continue;
        // Cutting off a job that is printing would leave part of it at the embosser;
        // one that is held has sent nothing.
        const std::uint32_t printing = found->status & (job_status::kPrinting | job_status::kPaused);
        if (printing == job_status::kPrinting) continue;
        spooler.DeleteJob(printer, job);
    }
}

}  // namespace reflasher
