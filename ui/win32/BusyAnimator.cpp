#include "ui/win32/BusyAnimator.h"

#include "framework/Thread.h"
#include "ui/DownloadInProgress.h"
#include "ui/win32/Win32Gdi.h"
#include "ui/BusyAnimationLoop.h"

namespace {

// The animation's pauses: each ends early when the stop event is set.
class StopEventTimer : public reflasher::AnimationTimer {
public:
    explicit StopEventTimer(HANDLE stop) : stop_(stop) {}
    bool Wait(std::uint32_t milliseconds) override {
        return WaitForSingleObject(stop_, milliseconds) == WAIT_TIMEOUT;
    }

private:
    HANDLE stop_;
};

}  // namespace

bool BusyAnimator::Start(const CStatic& picture, int dpi,
                         const std::optional<reflasher::PictureInk>& ink) {
    Stop();
    picture_ = &picture;
    look_.SetDpi(dpi);
    look_.SetInk(ink);
    stop_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop_) return false;
    // The handle is kept so that Stop can wait for the thread's end.
    thread_ = BeginOwnedThread(&BusyAnimator::BusyAnimation, this);
    return static_cast<bool>(thread_);
}

unsigned __stdcall BusyAnimator::BusyAnimation(void* animator) {
    auto* self = static_cast<BusyAnimator*>(animator);
    Win32Gdi gdi;
    StaticPicture picture(*self->picture_);
    StopEventTimer timer(self->stop_.get());
    // The frames are loaded once here and live as long as the thread; on the way out
    // they take their picture back out of the control, which still exists (see Stop).
    reflasher::BusyFrames frames(gdi, picture, &self->look_);
    reflasher::RunBusyAnimation(downloadInProgress, frames, timer);
    return 0;
}

void BusyAnimator::Stop() {
    if (!thread_) return;
    SetEvent(stop_.get());
    // The thread changes the picture with a blocking SendMessage, which only this
    // (the control's) thread can carry out. A plain wait here could deadlock with a
    // send under way, so the wait lets sent messages through: the last STM_SETIMAGE
    // calls are carried out while the control is still alive, and after the thread
    // has ended nothing touches it any more. Posted messages stay queued.
    WaitForThreadLettingSentMessagesThrough(thread_.get(), INFINITE);
    thread_.Reset();
    stop_.Reset();
}
