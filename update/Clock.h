// The fixed pauses of an update run go through this, so tests need not wait.
#pragma once

#include <cstdint>

namespace reflasher {

class Clock {
public:
    virtual ~Clock() = default;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// Sleeps for real on the calling thread.
class SystemClock : public Clock {
public:
    void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace reflasher
