#include "framework/Thread.h"

#include <process.h>

reflasher::UniqueKernelHandle BeginOwnedThread(ThreadProc proc, void* parameter, int priority) {
    // _beginthreadex, not CreateThread: the thread uses the C runtime.
    // Suspended first, so the priority holds from its first instruction.
    reflasher::UniqueKernelHandle thread(reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, proc, parameter, CREATE_SUSPENDED, nullptr)));
    if (!thread) return thread;
    if (priority != THREAD_PRIORITY_NORMAL) SetThreadPriority(thread.get(), priority);
    if (ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
        // It can never run; ending it here keeps `parameter` from being used later.
        TerminateThread(thread.get(), 1);
        return reflasher::UniqueKernelHandle();
    }
    return thread;
}

bool BeginDetachedThread(ThreadProc proc, void* parameter, int priority) {
    return static_cast<bool>(BeginOwnedThread(proc, parameter, priority));
}

bool WaitForThreadLettingSentMessagesThrough(HANDLE thread, DWORD timeoutMs) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        const ULONGLONG waited = GetTickCount64() - start;
        const DWORD left = timeoutMs == INFINITE ? INFINITE
                           : waited >= timeoutMs ? 0
                                                 : timeoutMs - static_cast<DWORD>(waited);
        const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) return true;
        if (woke != WAIT_OBJECT_0 + 1) return false;  // timed out, or the wait failed
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
