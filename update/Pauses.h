// The update run's fixed pauses, behind this so that tests need not wait.
#pragma once

#include <cstdint>

namespace reflasher {

class Pauses {
public:
    virtual ~Pauses() = default;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace reflasher
