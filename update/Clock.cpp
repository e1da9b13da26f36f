#include "update/Clock.h"

#include <chrono>
#include <thread>

namespace reflasher {

void SystemClock::Sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace reflasher
