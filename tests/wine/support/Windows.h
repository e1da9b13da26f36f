// Looking at another process's windows the way a user (or a screen reader)
// would: its top-level windows, their class, caption and controls. Every call
// that reaches the other process has a time limit, so a hung program fails a
// test instead of hanging it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace reflasher::e2e {

struct TopWindow {
    HWND window = nullptr;
    std::wstring className;
    std::wstring caption;
    HWND owner = nullptr;
    bool visible = false;
};

// Every top-level window of the process, visible or not, in z-order.
std::vector<TopWindow> TopLevelWindows(DWORD processId);
std::vector<TopWindow> VisibleTopLevelWindows(DWORD processId);

// The text the system keeps for a window of another process (caption, static
// text), read without a message, so a busy or blocked thread can't delay it.
std::wstring StoredText(HWND window);
// The window's text through WM_GETTEXT (works across processes); empty on failure.
std::wstring WindowText(HWND window);
// The same, telling a failed read apart from an empty text.
std::optional<std::wstring> TryWindowText(HWND window);
std::wstring ClassNameOf(HWND window);
// The lines of a combo box's list.
std::vector<std::wstring> ComboLines(HWND combo);
// The direct children of `parent`, in z-order.
std::vector<HWND> ChildWindows(HWND parent);
// Sends `message` with a time limit; `ok` (if given) tells whether it was delivered.
LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                        bool* ok = nullptr);

// A modal message box: a "#32770" window whose text is the static control 0xFFFF.
struct MessageBoxSeen {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;
};

// Is this dialog window a message box (and not another dialog of the program)?
bool IsMessageBox(HWND window);
std::vector<MessageBoxSeen> VisibleMessageBoxes(DWORD processId);
MessageBoxSeen ReadMessageBox(HWND window);

// Presses OK (a posted command: a sent one would wait for the box's own loop) and
// waits until the box is gone. Wine takes about 2 s to close a box this way.
bool AnswerMessageBox(HWND box, unsigned timeoutMs = 10000);

// A keystroke as the keyboard delivers it to `window` (down, then up), posted so
// it passes through a modal loop's dialog manager.
bool PostKey(HWND window, UINT virtualKey, bool alt = false);

// Waits until `window` is gone.
bool WaitForWindowGone(HWND window, unsigned timeoutMs = 10000);

// The text as C++ would write it, escapes included, for failure messages.
std::string Printable(const std::wstring& text);

}  // namespace reflasher::e2e
