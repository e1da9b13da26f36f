// What the main dialog works with besides its window: the services its update runs
// use, and how it starts a worker thread. The program passes the real ones; the
// tests pass simulated ones.
#pragma once

#include "framework/Thread.h"
#include "update/UpdateServices.h"

struct DialogServices : reflasher::UpdateServices {
    // Starts `proc(parameter)` on a new thread at normal priority; false when it couldn't.
    bool (*startThread)(ThreadProc proc, void* parameter);
};

// winspool, the real pauses and keep-awake request, the image in the program's
// resources, the file system, named mutexes.
DialogServices ProgramServices();
