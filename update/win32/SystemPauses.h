// The real pauses, on the calling thread.
#pragma once

#include "update/Pauses.h"

namespace reflasher {

class SystemPauses : public Pauses {
public:
    void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace reflasher
