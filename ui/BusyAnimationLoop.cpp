#include "ui/BusyAnimationLoop.h"

namespace reflasher {

void RunBusyAnimation(const std::atomic<bool>& busy, BusyFrames& frames, AnimationTimer& timer) {
    for (;;) {
        frames.FollowLook();  // also while idle: the picture on show follows the window
        if (busy.load()) {
            for (int frame = 0; frame < BusyFrames::kCount; ++frame) {
                frames.Show(frame);
                // The last frame's 500 ms is the wait below, shared with the idle poll.
                if (frame + 1 < BusyFrames::kCount && !timer.Wait(kBusyFrameMs)) return;
            }
        }
        if (!timer.Wait(kBusyFrameMs)) return;
    }
}

}  // namespace reflasher
