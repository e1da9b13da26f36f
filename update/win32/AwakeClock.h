// The time the computer has been awake, in milliseconds. A call under way while the
// computer slept (a closed lid) must not read, on waking, as one that hung for all
// that time; the tick count counts sleep, the unbiased interrupt time doesn't.
#pragma once

#include <windows.h>

#include "update/StuckCallWatch.h"

namespace reflasher {

class AwakeClock : public MonotonicClock {
public:
    // QueryUnbiasedInterruptTime (kernel32, Windows 7 and later), looked up in the
    // system folder's kernel32; without it the tick count stands in.
    AwakeClock();
    std::uint64_t NowMs() const override;

private:
    decltype(&::QueryUnbiasedInterruptTime) unbiased_ = nullptr;
};

}  // namespace reflasher
