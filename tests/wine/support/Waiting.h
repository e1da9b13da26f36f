// Polling for a condition another process brings about, with a deadline.
#pragma once

#include <windows.h>

namespace reflasher::e2e {

// Fast enough to see every 800 ms and 1500 ms step of an update run.
constexpr unsigned kPollMs = 50;

// True as soon as `condition()` holds; false when `timeoutMs` passed without it.
template <class Condition>
bool WaitUntil(Condition condition, unsigned timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
}

}  // namespace reflasher::e2e
