#include "update/win32/ThreadKeepAwake.h"

#include <windows.h>

namespace reflasher {

void ThreadKeepAwake::KeepSystemAwake() {
    // Continuous: the request holds until cleared, not just until the idle timer's next tick.
    ::SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
}

void ThreadKeepAwake::AllowSystemSleep() { ::SetThreadExecutionState(ES_CONTINUOUS); }

}  // namespace reflasher
