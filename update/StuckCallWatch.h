// Telling when a spooler call of an update run hangs. A driver that hangs, or a
// queue that prints directly and stops reading, can keep the worker inside one
// call for good; the dialog's thread stays free, asks here from its timer, and then
// lets go of what it holds for the device's sake. The worker notes each call's
// start and end; both sides meet only through atomics.
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

class StuckCallWatch {
public:
    explicit StuckCallWatch(const MonotonicClock& clock) : clock_(clock) {}

    // Worker: a run starts (it may be reported once), a call starts and ends, the
    // firmware job is about to be started.
    void RunStarted();
    void CallStarted();
    void CallEnded();
    void FirmwareJobStarting();

    // Dialog's thread: true once per run, when a call has not returned for
    // kStuckCallMs; `*firmwareMayHaveGone` then tells whether the firmware job was
    // started before it.
    bool TakeStuckReport(bool* firmwareMayHaveGone);

private:
    const MonotonicClock& clock_;
    std::atomic<std::uint64_t> callStartPlusOne_{0};  // 0: no call under way
    std::atomic<bool> firmwareStarted_{false};
    std::atomic<bool> reported_{false};
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
