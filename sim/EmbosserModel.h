// A simulated Dovrex embosser: takes raw jobs, enters firmware service mode on
// the PJL service job, checks and "flashes" the next job, and publishes its
// state as the status string the driver would. Time is counted in polls: each
// status query (or Advance from a bridge's timer) is one step. Thread-safe.
#pragma once

#include <array>
#include <mutex>
#include <string>
#include <vector>

#include "sim/LoaderOutcome.h"
#include "sim/SimulatedSpooler.h"

namespace reflasher::sim {

// The 40-byte job that switches the device into firmware service mode.
extern const std::array<unsigned char, 40> kServiceModeJob;

enum class EmbosserFault {
    None,
    NeverReady,      // ignores the service-mode job: stays idle (0)
    LostAfterReady,  // reports 1 once, then its status has no F field (-1)
    FlashError,      // status 3 at the fault point, and stays there
    UnknownError,    // status 4 at the fault point
    WriteError,      // status 5 at the fault point
    SilentMidFlash,  // at the fault point the value goes empty (byte count 0)
    WrongMaker,      // another maker's name in MFG throughout
    WrongModel,      // another model's name in MDL throughout
};

struct EmbosserScript {
    int pollsBeforeReady = 2;      // polls answered 0 in service mode before the first 1
    int erasePolls = 2;            // polls answered 6 with progress 0
    int writePolls = 5;            // steps of progress rising within 1..99
    EmbosserFault fault = EmbosserFault::None;
    int faultAfterWritePolls = 2;  // writing polls shown before a flash fault (0..writePolls)
    int pollsPerWriteStep = 1;     // polls each step is shown for: a slow embosser shows more
};

enum class EmbosserPhase {
    Idle,              // 0
    EnteringService,   // 0, counting down to ready
    Ready,             // 1: the next job is the firmware
    Erasing,           // 6, progress 0
    Writing,           // 6, progress 1..99
    InvalidImage,      // 2
    Failed,            // 3, 4 or 5
    NotAnswering,      // empty status value
    NoStatusField,     // a status string without F
};

class EmbosserModel : public SimulatedDevice {
public:
    explicit EmbosserModel(EmbosserScript script = {});

    // Takes effect for the steps to come; the current phase is kept.
    void SetScript(const EmbosserScript& script);
    // Switching off and on: back to idle. Received bytes are kept.
    void PowerCycle();

    // Spooler-independent use (a bridge driving the model from files and a timer).
    void ReceiveJob(const std::vector<unsigned char>& bytes);
    void Advance();                    // one poll step
    std::string StatusString() const;  // empty when the device doesn't answer

    EmbosserPhase Phase() const;
    std::vector<std::vector<unsigned char>> Jobs() const;  // every job, in order
    std::vector<EmbosserPhase> PhasesAtJobs() const;       // the phase each job arrived in
    std::vector<unsigned char> ReceivedBytes() const;      // all jobs' bytes back to back
    std::vector<unsigned char> FirmwareReceived() const;   // the last job taken as firmware
    LoaderOutcome LastImageCheck() const;
    // True once a host has read status 0 after having read 6: a finished flash, as
    // the status strings answered so far decode.
    bool ReportedFinishedFlash() const;             // the check of that job

    // SimulatedDevice: a job arrives whole; a query is one poll step, then the status.
    void OnJob(const std::vector<unsigned char>& bytes) override;
    std::vector<unsigned char> OnStatusQuery() override;

private:
    void AdvanceLocked();
    void AdvanceWriting();
    std::string StatusStringLocked() const;

    mutable std::mutex mutex_;
    EmbosserScript script_;
    EmbosserPhase phase_ = EmbosserPhase::Idle;
    int pollsLeft_ = 0;   // in EnteringService and Erasing
    int writeStep_ = 0;   // writing steps shown so far
    int pollsInStep_ = 0; // polls the current writing step has been shown for
    int progress_ = 0;
    int failedCode_ = 0;  // the status shown in Failed
    std::vector<std::vector<unsigned char>> jobs_;
    std::vector<EmbosserPhase> phasesAtJobs_;
    std::vector<unsigned char> firmware_;
    LoaderOutcome imageCheck_;
    std::vector<int> statusesRead_;  // each query's status as a host decodes it
};

}  // namespace reflasher::sim
