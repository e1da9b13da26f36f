#include "update/win32/SystemClock.h"

#include <windows.h>

namespace reflasher {

void SystemClock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace reflasher
