#include "ui/win32/DialogServices.h"

#include "device/win32/Win32Spooler.h"
#include "update/win32/NamedMutexLocks.h"
#include "update/win32/SystemPauses.h"
#include "update/win32/PowerRequestKeepAwake.h"
#include "update/win32/AwakeClock.h"
#include "update/win32/Win32EmbeddedImageSource.h"
#include "update/win32/Win32FileOpener.h"

namespace {

bool StartAtNormalPriority(ThreadProc proc, void* parameter) {
    return BeginDetachedThread(proc, parameter, THREAD_PRIORITY_NORMAL);
}

}  // namespace

DialogServices ProgramServices() {
    // One of each serves the whole process; the call watch lives as long as it, so a
    // worker stuck in a call may still reach it while the program closes.
    static reflasher::Win32Spooler spooler;
    static reflasher::SystemPauses pauses;
    static reflasher::PowerRequestKeepAwake keepAwake;
    static const reflasher::AwakeClock clock;
    static reflasher::StuckCallWatch callWatch(clock);
    static reflasher::NamedMutexLocks locks;
    static const reflasher::Win32EmbeddedImageSource embeddedImage;
    static reflasher::Win32FileOpener files;
    return DialogServices{{&spooler, &pauses, &keepAwake, &embeddedImage, &files,
                           &reflasher::Allocator::Heap(), &locks, &callWatch},
                          &StartAtNormalPriority};
}
