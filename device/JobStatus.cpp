#include "device/Spooler.h"

namespace reflasher {

bool JobStillToPrint(const QueuedJob& job) {
    // Deleting or in error: the job is stuck in the queue and holds it.
    if ((job.status & (job_status::kDeleting | job_status::kError)) != 0) return true;
    return (job.status & (job_status::kPrinted | job_status::kComplete | job_status::kDeleted)) == 0;
}

}  // namespace reflasher
