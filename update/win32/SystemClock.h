// The real pauses and power requests, on the calling thread.
#pragma once

#include "update/Clock.h"

namespace reflasher {

class SystemClock : public Clock {
public:
    void Sleep(std::uint32_t milliseconds) override;
    // SetThreadExecutionState: the request belongs to the calling thread.
    void KeepSystemAwake() override;
    void AllowSystemSleep() override;
};

}  // namespace reflasher
