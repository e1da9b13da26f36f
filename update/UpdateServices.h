// What update runs work with besides the dialog: the spooler, the pauses, the
// keep-awake request, the firmware sources, buffers, and the embossers' locks
// against other copies of the program. The program passes the real ones, the
// tests simulated ones; the dialog holds one set and hands it to each run.
#pragma once

#include "device/Allocator.h"
#include "device/Spooler.h"
#include "update/EmbosserLock.h"
#include "update/FirmwareSources.h"
#include "update/KeepAwake.h"
#include "update/Pauses.h"
#include "update/StuckCallWatch.h"

namespace reflasher {

struct UpdateServices {
    Spooler* spooler;
    Pauses* pauses;
    KeepAwake* keepAwake;
    const EmbeddedImageSource* embeddedImage;
    FileOpener* files;  // the chosen file is read by the dialog, at Start
    Allocator* allocator;
    EmbosserLocks* locks;  // taken by the dialog, at Start
    // Times every spooler call of a run, for the dialog to tell one that hangs; none: untimed.
    StuckCallWatch* callWatch = nullptr;
};

}  // namespace reflasher
