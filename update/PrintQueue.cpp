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

}  // namespace

QueueRefusal RunJobs::CheckBeforeSending(Spooler& spooler, PrinterHandle printer) {
    const QueueState queue = spooler.GetQueueState(printer);
    // A queue whose attributes can't be read may print directly: it isn't relied on to hold.
    spools_ = queue.attributes && (*queue.attributes & kAttributeDirect) == 0;
    const QueueRefusal refusal = QueueItselfRefuses(queue);
    if (refusal != QueueRefusal::None) return refusal;

    std::vector<QueuedJob> listed;
    listedAtFirstLook_ = spooler.ListQueuedJobs(printer, &listed);
    if (listedAtFirstLook_) {
        for (const QueuedJob& job : listed) atFirstLook_.push_back(job.id);
        if (std::any_of(listed.begin(), listed.end(), JobStillToPrint)) return QueueRefusal::DocumentsWaiting;
    } else {
        countAtFirstLook_ = queue.jobCount.value_or(0);
        if (countAtFirstLook_ > 0) return QueueRefusal::DocumentsWaiting;
    }
    // An embosser in service mode takes the next job as its firmware: a service-mode
    // job of ours would be flashed.
    const int status = QueryDeviceStatus(spooler, printer).status;
    if (status == status_code::kReady || status == status_code::kWorking) {
        return QueueRefusal::DeviceUpdating;
    }
    return QueueRefusal::None;
}

void RunJobs::Add(JobId job, bool held) {
    if (job != 0) jobs_.push_back(OwnJob{job, held});
}

void RunJobs::Released(JobId job) {
    for (OwnJob& own : jobs_) {
        if (own.id == job) own.held = false;
    }
}

bool RunJobs::IsOwn(JobId job) const {
    return std::any_of(jobs_.begin(), jobs_.end(), [job](const OwnJob& own) { return own.id == job; });
}

bool RunJobs::WasThereAtFirstLook(JobId job) const {
    return std::find(atFirstLook_.begin(), atFirstLook_.end(), job) != atFirstLook_.end();
}

bool RunJobs::ForeignDocumentJoined(Spooler& spooler, PrinterHandle printer) const {
    std::vector<QueuedJob> listed;
    if (spooler.ListQueuedJobs(printer, &listed)) {
        // Without a first list, a kept document can't be told from a new one.
        return std::any_of(listed.begin(), listed.end(), [this](const QueuedJob& job) {
            return !IsOwn(job.id) && !WasThereAtFirstLook(job.id);
        });
    }
    if (listedAtFirstLook_) return true;
    // A spooler without a job list (as under Wine): only a count beyond what was
    // there and all of ours is evidence.
    const std::uint32_t count = spooler.GetQueueState(printer).jobCount.value_or(0);
    return count > countAtFirstLook_ + jobs_.size();
}

void RunJobs::RemoveQueued(Spooler& spooler, PrinterHandle printer) const {
    if (jobs_.empty()) return;
    std::vector<QueuedJob> queued;
    const bool listed = spooler.ListQueuedJobs(printer, &queued);
    for (const OwnJob& own : jobs_) {
        if (!listed) {
            // A held job has sent nothing; one released may be printing now.
            if (own.held) spooler.DeleteJob(printer, own.id);
            continue;
        }
        const auto found = std::find_if(queued.begin(), queued.end(),
                                        [&own](const QueuedJob& q) { return q.id == own.id; });
        if (found == queued.end() || !JobStillToPrint(*found)) continue;
        // Cutting off a job that is printing would leave part of it at the embosser;
        // one that is held has sent nothing.
        const std::uint32_t printing = found->status & (job_status::kPrinting | job_status::kPaused);
        if (printing == job_status::kPrinting) continue;
        spooler.DeleteJob(printer, own.id);
    }
}

}  // namespace reflasher
