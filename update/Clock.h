// The system services an update run needs besides the spooler and the dialog: its
// fixed pauses, and keeping the computer from sleeping mid-flash. Behind this so
// that tests need not wait, and can see what was asked of the system.
#pragma once

#include <cstdint>

namespace reflasher {

class Clock {
public:
    virtual ~Clock() = default;
    virtual void Sleep(std::uint32_t milliseconds) = 0;

    // Asks the system to stay awake for as long as the calling thread runs the update.
    virtual void KeepSystemAwake() = 0;
    // Withdraws that request; called on the same thread.
    virtual void AllowSystemSleep() = 0;
};

}  // namespace reflasher
