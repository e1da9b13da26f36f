// What the main dialog works with besides its window: the spooler, the clock, the
// keep-awake request and firmware sources its update runs use, the embossers' locks
// against other copies of the program, and how it starts a worker thread.
// The program passes the real ones; the tests pass simulated ones.
#pragma once

#include "device/Allocator.h"
#include "device/Spooler.h"
#include "framework/Thread.h"
#include "update/Pauses.h"
#include "update/EmbosserLock.h"
#include "update/FirmwareSources.h"
#include "update/KeepAwake.h"

struct DialogServices {
    reflasher::Spooler* spooler;
    reflasher::Pauses* clock;
    reflasher::KeepAwake* keepAwake;
    const reflasher::EmbeddedImageSource* embeddedImage;
    reflasher::FileOpener* files;
    reflasher::Allocator* allocator;
    reflasher::EmbosserLocks* locks;
    // Starts `proc(parameter)` on a new thread at normal priority; false when it couldn't.
    bool (*startThread)(ThreadProc proc, void* parameter);
};

// winspool, the real clock and keep-awake request, the image in the program's
// resources, the file system, named mutexes.
DialogServices ProgramServices();
