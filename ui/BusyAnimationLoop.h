// The busy animation's schedule: while `downloadInProgress` is set, the frames
// IDB_BUSY_FRAME_1 to IDB_BUSY_FRAME_4, each for 500 ms; the flag is looked at only
// before a cycle, so a cycle once begun ends on the fourth, which then stays.
// Between cycles, and while no run is under way, it waits 500 ms. The thread
// around it is ui/win32/BusyAnimator.h.
#pragma once

#include <atomic>
#include <cstdint>

#include "ui/BusyFrames.h"

namespace reflasher {

constexpr std::uint32_t kBusyFrameMs = 500;

class AnimationTimer {
public:
    virtual ~AnimationTimer() = default;
    // Waits `milliseconds`; false (maybe sooner) once the animation is to stop.
    virtual bool Wait(std::uint32_t milliseconds) = 0;
};

// Runs until the timer says stop.
void RunBusyAnimation(const std::atomic<bool>& busy, BusyFrames& frames, AnimationTimer& timer);

}  // namespace reflasher
