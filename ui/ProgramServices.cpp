#include "ui/DialogServices.h"

#include "device/win32/Win32Spooler.h"
#include "update/win32/NamedMutexLocks.h"
#include "update/win32/SystemPauses.h"
#include "update/win32/ThreadKeepAwake.h"
#include "update/win32/Win32EmbeddedImageSource.h"
#include "update/win32/Win32FileOpener.h"

namespace {

bool StartAtNormalPriority(ThreadProc proc, void* parameter) {
    return BeginDetachedThread(proc, parameter, THREAD_PRIORITY_NORMAL);
}

}  // namespace

DialogServices ProgramServices() {
    // None of these holds state, so one of each serves the whole process.
    static reflasher::Win32Spooler spooler;
    static reflasher::SystemPauses pauses;
    static reflasher::ThreadKeepAwake keepAwake;
    static reflasher::NamedMutexLocks locks;
    static const reflasher::Win32EmbeddedImageSource embeddedImage;
    static reflasher::Win32FileOpener files;
    return DialogServices{{&spooler, &pauses, &keepAwake, &embeddedImage, &files,
                           &reflasher::Allocator::Heap(), &locks},
                          &StartAtNormalPriority};
}
