// Driving a modal dialog from a test: the test thread runs DoModal (the dialog
// thread), and a script thread acts the way a user would, by messages, and
// looks at the windows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tests/wine/support/RemoteDialog.h"
#include "tests/wine/support/Windows.h"

namespace dialog_script {

// Reading a window or a message box, answering one, clicking, pressing a key and
// waiting for a window to go work the same on a thread of this process as on
// another process's windows.
using reflasher::e2e::AnswerMessageBox;
using reflasher::e2e::PostKey;
using reflasher::e2e::ReadMessageBox;
using reflasher::e2e::RemoteDialog;
using reflasher::e2e::WaitForWindowGone;
using reflasher::e2e::WindowText;

// Lives on the dialog thread; lets the script thread order work on it.
class DialogThread {
public:
    DialogThread();
    ~DialogThread();
    DialogThread(const DialogThread&) = delete;
    DialogThread& operator=(const DialogThread&) = delete;

    // From the script thread: returns once every message posted to this thread before
    // it has been handled, or a modal loop (such as a message box) has begun meanwhile.
    // False if the dialog thread didn't get there within the time.
    bool Sync(DWORD timeoutMs = 10000) const;
    // From the script thread: runs `work` on the dialog thread and returns after it.
    void Run(const std::function<void()>& work) const;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    HANDLE synced_ = nullptr;
};

// Runs `script` on a new thread while `runModal` runs on this one; gives runModal's value.
INT_PTR RunAlongside(const std::function<INT_PTR()>& runModal, const std::function<void()>& script);

// The same, once the window with `caption` is shown; the script gets it. If the script
// leaves it open, Cancel is posted to it so the test ends instead of hanging.
INT_PTR RunWithScript(const wchar_t* caption, const std::function<INT_PTR()>& runModal,
                      const std::function<void(HWND dialog)>& script);

// A visible top-level window of this process with exactly this caption, or null.
HWND FindWindowByCaption(const wchar_t* caption);
// Waits for one; null after the timeout.
HWND WaitForWindow(const wchar_t* caption, DWORD timeoutMs = 10000);

// Waits for the message box with `caption`, gives its text and closes it;
// "<no message box>" when none came.
std::wstring TakeMessageBox(const wchar_t* caption, DWORD timeoutMs = 10000);


}  // namespace dialog_script
