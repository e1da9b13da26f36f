// The system's millisecond tick count since it started, which never goes back.
#pragma once

#include <windows.h>

#include "update/StuckCallWatch.h"

namespace reflasher {

class TickClock : public MonotonicClock {
public:
    std::uint64_t NowMs() const override { return ::GetTickCount64(); }
};

}  // namespace reflasher
