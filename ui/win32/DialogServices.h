// What the main dialog works with besides its window: what it uses itself at Start
// (the embedded image, the file system, the embossers' locks), the services its
// update runs take, and how it starts a worker thread. The program passes the real
// ones; the tests pass simulated ones.
#pragma once

#include "framework/Thread.h"
#include "update/EmbosserLock.h"
#include "update/FirmwareSources.h"
#include "update/UpdateServices.h"

// All of them but the thread start, in the order the program and the tests give them.
struct DialogServiceSet {
    reflasher::Spooler* spooler;
    reflasher::Pauses* pauses;
    reflasher::KeepAwake* keepAwake;
    const reflasher::EmbeddedImageSource* embeddedImage;
    reflasher::FileOpener* files;  // the chosen file is read by the dialog, at Start
    reflasher::Allocator* allocator;
    reflasher::EmbosserLocks* locks;  // taken by the dialog, at Start
    // Times every spooler call of a run, for the dialog to tell one that hangs; none: untimed.
    reflasher::StuckCallWatch* callWatch = nullptr;
};

struct DialogServices : DialogServiceSet {
    // Starts `proc(parameter)` on a new thread at normal priority; false when it couldn't.
    bool (*startThread)(ThreadProc proc, void* parameter);

    // What a run takes with it.
    reflasher::UpdateServices ForRun() const {
        return {spooler, pauses, keepAwake, allocator, callWatch};
    }
};

// winspool, the real pauses and keep-awake request, the image in the program's
// resources, the file system, named mutexes.
DialogServices ProgramServices();
