// CWnd: a window known by its HWND. Controls and dialogs build on it; it does
// not own the window (the dialog manager creates and destroys them).
#pragma once

#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return hwnd_; }
    // Data exchange binds control objects to their child windows through this.
    void Bind(HWND hwnd) { hwnd_ = hwnd; }

    LRESULT SendMessageTo(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(hwnd_, message, wParam, lParam);
    }
    void SetText(const std::wstring& text) const { ::SetWindowTextW(hwnd_, text.c_str()); }
    std::wstring GetText() const;
    void Show(int command) const { ::ShowWindow(hwnd_, command); }
    void Enable(bool enable) const { ::EnableWindow(hwnd_, enable ? TRUE : FALSE); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }
    HMENU GetSystemMenu() const { return ::GetSystemMenu(hwnd_, FALSE); }
    void SetIcon(HICON icon, bool big) const {
        SendMessageTo(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    void Invalidate(bool erase) const { ::InvalidateRect(hwnd_, nullptr, erase ? TRUE : FALSE); }
    void UpdateWindow() const { ::UpdateWindow(hwnd_); }
    bool IsIconic() const { return ::IsIconic(hwnd_) != FALSE; }
    void DestroyWindow() const { ::DestroyWindow(hwnd_); }
    // A modal message box owned by this window; returns the button pressed.
    int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT type) const {
        return ::MessageBoxW(hwnd_, text.c_str(), caption.c_str(), type);
    }

private:
    HWND hwnd_ = nullptr;
};
