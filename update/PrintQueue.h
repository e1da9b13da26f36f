// What an update run asks of the embosser's print queue: whether it can deliver
// before anything is sent, whether another program's document slipped in, and
// that none of the run's own jobs is left in it to print later. Only jobs still to
// print count: a queue that keeps printed documents lists them too. Each answer rests
// on what the spooler says; a call that fails or isn't supported tells nothing.
#pragma once

#include <vector>

#include "device/Spooler.h"

namespace reflasher {

enum class QueueRefusal {
    None,
    Offline,           // set to work offline, or the device is away
    Paused,            // the queue is paused
    Fault,             // the queue reports an error (paper, door, driver, deletion pending)
    DocumentsWaiting,  // other documents are queued ahead
    DeviceUpdating,    // the embosser already reports service mode or flash work
};

// Looked at after the printer is opened and before the service-mode job. The
// device's status is queried once, after the queue's own state.
QueueRefusal CheckBeforeSending(Spooler& spooler, PrinterHandle printer);

// The jobs one update run has queued.
class RunJobs {
public:
    // A job that was started; 0 (none started) is not kept.
    void Add(JobId job);

    // True when the queue holds a document still to print that isn't one of the run's.
    bool ForeignDocumentQueued(Spooler& spooler, PrinterHandle printer) const;
    // True when such a document comes before `job` in the queue: it would print first.
    bool ForeignDocumentAhead(Spooler& spooler, PrinterHandle printer, JobId job) const;

    // Removes every job of the run still waiting or held in the queue; one that is
    // printing is left to finish. Without a job list each is asked to go: one that
    // went out already is simply not found.
    void RemoveQueued(Spooler& spooler, PrinterHandle printer) const;

private:
    bool IsOwn(JobId job) const;
    bool IsForeignToPrint(const QueuedJob& job) const;

    std::vector<JobId> jobs_;
};

}  // namespace reflasher
