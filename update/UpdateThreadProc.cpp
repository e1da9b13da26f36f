#include "update/UpdateThreadProc.h"

namespace reflasher {
namespace {

// Clears the busy flag however the run is left, so the dialog never stays locked.
// It is the worker's last act on anything it shares with the dialog: once it is
// clear, the user may close the program and the dialog be destroyed.
class BusyFlagReset {
public:
    explicit BusyFlagReset(std::atomic<bool>& flag) : flag_(flag) {}
    ~BusyFlagReset() { flag_ = false; }
    BusyFlagReset(const BusyFlagReset&) = delete;
    BusyFlagReset& operator=(const BusyFlagReset&) = delete;

private:
    std::atomic<bool>& flag_;
};

}  // namespace

unsigned UpdateThreadProc(UpdateContext& context) {
    BusyFlagReset reset(context.downloadInProgress);
    UpdateRun(context);
    return 0;
}

unsigned REFLASHER_THREAD_CALL UpdateThreadProc(void* argument) {
    std::unique_ptr<UpdateThreadArgument> owned(static_cast<UpdateThreadArgument*>(argument));
    const unsigned result = UpdateThreadProc(owned->context);
    owned.reset();  // ours alone: the dialog is not touched here
    return result;
}

}  // namespace reflasher
