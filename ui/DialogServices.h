// What the main dialog works with besides its window: the spooler, the clock and
// firmware sources its update runs use, and how it starts a worker thread.
// The program passes the real ones; the tests pass simulated ones.
#pragma once

#include "device/Allocator.h"
#include "device/Spooler.h"
#include "framework/Thread.h"
#include "update/Clock.h"
#include "update/FirmwareSource.h"

struct DialogServices {
    reflasher::Spooler* spooler;
    reflasher::Clock* clock;
    const reflasher::EmbeddedImageSource* embeddedImage;
    reflasher::FileOpener* files;
    reflasher::Allocator* allocator;
    // Starts `proc(parameter)` on a new thread at normal priority; false when it couldn't.
    bool (*startThread)(ThreadProc proc, void* parameter);
};

// winspool, the real clock, the image in the program's resources, the file system.
DialogServices ProgramServices();
