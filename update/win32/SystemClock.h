// The real pauses, on the calling thread.
#pragma once

#include "update/Clock.h"

namespace reflasher {

class SystemClock : public Clock {
public:
    void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace reflasher
