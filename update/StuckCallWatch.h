// Telling when a spooler call of an update run hangs, and when it comes back. A
// driver that hangs, or a queue that prints directly and stops reading, can keep the
// worker inside one call for good; the dialog's thread stays free, asks here from
// its timer, lets go of what it holds for the device's sake while the call hangs,
// and takes it back if the call returns. The worker notes each call's start and end
// and the stage the run is in; both sides meet only through atomics.
#pragma once

#include <atomic>
#include <cstdint>

namespace reflasher {

// Milliseconds from some fixed point, never going back.
class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    virtual std::uint64_t NowMs() const = 0;
};

// How long one call may take before the user is told.
constexpr std::uint64_t kStuckCallMs = 60000;

// Where the run was when a call hung: what may have reached the embosser by then.
enum class RunStage : std::uint8_t {
    NoFirmwareSent,      // before the firmware job was started
    FirmwareJobStarted,  // a held firmware job was started: nothing of it let go yet
    ImageReleased,       // the image was let go (or can't be held): the embosser may be writing it
};

class StuckCallWatch {
public:
    explicit StuckCallWatch(const MonotonicClock& clock) : clock_(clock) {}

    // Worker: a run starts (nothing of an earlier run is reported after this; the
    // dialog says so too, before it starts the worker), a call starts and ends, the
    // firmware job is about to be started, the image is let go.
    void RunStarted();
    void CallStarted();
    void CallEnded();
    void FirmwareJobStarting();
    void ImageReleasing();

    // Dialog's thread: true once for a call that has not returned for kStuckCallMs,
    // with the stage the run was in when it started.
    bool TakeStuckReport(RunStage* stage);
    // Dialog's thread: true once after each such report, when that call has returned.
    bool TakeReturnReport();

private:
    const MonotonicClock& clock_;
    // The call under way: 0 for none, else its start plus one (ms) shifted left by
    // 3, its stage in bits 1-2 and in bit 0 whether it was reported. One word, so that
    // a report and the call's end can't cross unseen.
    std::atomic<std::uint64_t> call_{0};
    std::atomic<RunStage> stage_{RunStage::NoFirmwareSent};
    std::atomic<bool> returned_{false};
};

// A call's start and end noted around a scope.
class WatchedCall {
public:
    explicit WatchedCall(StuckCallWatch& watch) : watch_(watch) { watch_.CallStarted(); }
    ~WatchedCall() { watch_.CallEnded(); }
    WatchedCall(const WatchedCall&) = delete;
    WatchedCall& operator=(const WatchedCall&) = delete;

private:
    StuckCallWatch& watch_;
};

}  // namespace reflasher
