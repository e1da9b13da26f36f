// What an update run asks of the embosser's print queue: whether it can deliver
// before anything is sent, whether another program's document joined it since, and
// that none of the run's own jobs is left in it to print later. Only jobs still to
// print keep a run from starting: a queue that keeps printed documents lists them
// too. Once the run has sent, any job that isn't the run's counts, in any state:
// while the run's job is held, the spooler prints the documents queued after it.
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

// The queue as one update run sees it, from its first look on, and the jobs it queued.
class RunJobs {
public:
    // The first look, after the printer is opened and before the service-mode job:
    // the queue's own state, the documents in it, then the device's status, queried
    // once. Notes the jobs listed now (kept documents), whether the queue prints
    // directly and whether it lists its jobs.
    QueueRefusal CheckBeforeSending(Spooler& spooler, PrinterHandle printer);

    // True when the run's jobs can be held until they are whole and released when it
    // decides: the queue's attributes say it spools (doesn't print directly), and it
    // listed its jobs at the first look, so that a look before the release can show
    // what the hold let by. A paused job lets the others by: without that look a
    // job is better not held at all.
    bool CanHold() const { return spools_ && listedAtFirstLook_; }

    // A job that was started (0: none), and whether it is held paused now.
    void Add(JobId job, bool held);
    // The run resumed `job`: from now on it may be printing.
    void Released(JobId job);

    // True when a job that isn't the run's has joined the queue since the first
    // look, whatever its state (waiting, printing, printed or complete), or when that
    // can't be told: a queue that listed its jobs at the first look and can't now.
    // Without a list from the start, the document count tells what it can. The run
    // acts on the first look that finds one, so one listed once and gone later is
    // never let by.
    bool ForeignDocumentJoined(Spooler& spooler, PrinterHandle printer) const;

    // Removes every job of the run still waiting or held in the queue; one that is
    // printing is left to finish. Without the job list only those the run still
    // holds are removed: one it released may be printing.
    void RemoveQueued(Spooler& spooler, PrinterHandle printer) const;

private:
    struct OwnJob {
        JobId id;
        bool held;
    };
    bool IsOwn(JobId job) const;
    bool WasThereAtFirstLook(JobId job) const;

    std::vector<OwnJob> jobs_;
    bool listedAtFirstLook_ = false;
    bool spools_ = false;
    std::vector<JobId> atFirstLook_;     // every job listed then
    std::uint32_t countAtFirstLook_ = 0;  // the document count, where there is no list
};

}  // namespace reflasher
