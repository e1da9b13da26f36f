// What update runs work with besides the dialog: the spooler, the pauses, the
// keep-awake request, buffers, and the watch of hung calls. The
// program passes the real ones, the tests simulated ones; each run takes a copy.
#pragma once

#include "device/Allocator.h"
#include "device/Spooler.h"
#include "update/KeepAwake.h"
#include "update/Pauses.h"
#include "update/StuckCallWatch.h"

namespace reflasher {

struct UpdateServices {
    Spooler* spooler;
    Pauses* pauses;
    KeepAwake* keepAwake;
    Allocator* allocator;
    // Times every spooler call of a run, for the dialog to tell one that hangs; none: untimed.
    StuckCallWatch* callWatch = nullptr;
};

}  // namespace reflasher
