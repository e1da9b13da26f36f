// Starting a worker thread that nobody joins.
#pragma once

#include <windows.h>

using ThreadProc = unsigned(__stdcall*)(void* parameter);

// Starts `proc(parameter)` on a new thread with the default stack size and security,
// running at once at `priority`. The thread's handle is not kept. False when no
// thread could be started (then `proc` never runs).
bool AfxBeginThread(ThreadProc proc, void* parameter, int priority = THREAD_PRIORITY_NORMAL);
