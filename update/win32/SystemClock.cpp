#include "update/win32/SystemClock.h"

#include <windows.h>

namespace reflasher {

void SystemClock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

void SystemClock::KeepSystemAwake() {
    // Continuous: the request holds until cleared, not just until the idle timer's next tick.
    ::SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
}

void SystemClock::AllowSystemSleep() { ::SetThreadExecutionState(ES_CONTINUOUS); }

}  // namespace reflasher
