// Keeping the computer awake through the calling thread's execution state.
#pragma once

#include "update/KeepAwake.h"

namespace reflasher {

class ThreadKeepAwake : public KeepAwake {
public:
    // SetThreadExecutionState: the request belongs to the calling thread.
    void KeepSystemAwake() override;
    void AllowSystemSleep() override;
};

}  // namespace reflasher
