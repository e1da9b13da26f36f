// A screen reader's view of another process's controls: names through Active
// Accessibility, and the WinEvents the controls raise.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace reflasher::visuals {

// The calling thread in a COM apartment, for as long as this lives.
class ComScope {
public:
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool Ok() const { return ok_; }

private:
    bool ok_;
};

// accName of the window's client object (AccessibleObjectFromWindow, OBJID_CLIENT,
// CHILDID_SELF); an empty name reads as ""; nothing when the object can't be had.
std::optional<std::wstring> AccessibleName(HWND window);

struct WinEventSeen {
    DWORD event;
    HWND window;
    LONG object;
    LONG child;
    std::wstring textThen;  // the window's text when the event arrived
    ULONGLONG atMs;
};

// Records the events from `first` to `last` that windows of one process (0: of
// every other process) raise, through an out-of-context hook on a thread of its own.
class WinEventRecorder {
public:
    WinEventRecorder(DWORD processId, DWORD first, DWORD last);
    ~WinEventRecorder();
    WinEventRecorder(const WinEventRecorder&) = delete;
    WinEventRecorder& operator=(const WinEventRecorder&) = delete;

    bool Hooked() const { return hooked_; }
    std::vector<WinEventSeen> Events() const;
    // Only those of `event` on `window`.
    std::vector<WinEventSeen> Events(DWORD event, HWND window) const;

private:
    static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                 LONG child, DWORD thread, DWORD atMs);
    void Run(DWORD processId, DWORD first, DWORD last);

    std::atomic<bool> hooked_{false};
    DWORD threadId_ = 0;
    HANDLE ready_;
    mutable std::mutex mutex_;
    std::vector<WinEventSeen> events_;
    std::thread thread_;
};

}  // namespace reflasher::visuals
