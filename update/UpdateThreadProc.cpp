#include "update/UpdateRun.h"

namespace reflasher {
namespace {

// Clears the busy flag however the run is left, so the dialog never stays locked.
class BusyFlagReset {
public:
    explicit BusyFlagReset(std::atomic<bool>& flag) : flag_(flag) {}
    ~BusyFlagReset() { flag_ = false; }
    BusyFlagReset(const BusyFlagReset&) = delete;
    BusyFlagReset& operator=(const BusyFlagReset&) = delete;

private:
    std::atomic<bool>& flag_;
};

// A computer that sleeps mid-flash can leave the embosser unusable: the system is
// kept awake while this thread runs the update, and let go however the run is left.
class StayAwake {
public:
    explicit StayAwake(Clock& clock) : clock_(clock) { clock_.KeepSystemAwake(); }
    ~StayAwake() { clock_.AllowSystemSleep(); }
    StayAwake(const StayAwake&) = delete;
    StayAwake& operator=(const StayAwake&) = delete;

private:
    Clock& clock_;
};

}  // namespace

unsigned UpdateThreadProc(UpdateContext& context) {
    BusyFlagReset reset(context.downloadInProgress);
    StayAwake awake(context.clock);
    UpdateRun(context);
    return 0;
}

}  // namespace reflasher
