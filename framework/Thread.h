// Starting threads that use the C runtime: a worker that nobody joins, or a thread
// whose owner keeps its handle to wait for its end.
#pragma once

#include <windows.h>

#include "win32/Handles.h"

using ThreadProc = unsigned(__stdcall*)(void* parameter);

// Starts `proc(parameter)` on a new thread with the default stack size and security,
// running at once at `priority`, and hands over its handle. Empty when no thread
// could be started (then `proc` never runs).
reflasher::UniqueKernelHandle BeginOwnedThread(ThreadProc proc, void* parameter,
                                               int priority = THREAD_PRIORITY_NORMAL);

// The same for a thread nobody waits for: its handle is not kept. False when no
// thread could be started.
bool BeginDetachedThread(ThreadProc proc, void* parameter, int priority = THREAD_PRIORITY_NORMAL);

// Waits up to `timeoutMs` for `thread` to end, carrying out the messages other
// threads send to this one meanwhile (posted ones stay queued). A thread that sends
// to this one's windows, as a message box owned by one of them does when it closes,
// could otherwise never end while this one waits. True once it has ended.
bool WaitForThreadLettingSentMessagesThrough(HANDLE thread, DWORD timeoutMs);
