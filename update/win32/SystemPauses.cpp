#include "update/win32/SystemPauses.h"

#include <windows.h>

namespace reflasher {

void SystemPauses::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace reflasher
