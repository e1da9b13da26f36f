#include "framework/Wnd.h"

std::wstring CWnd::GetText() const {
    const int length = ::GetWindowTextLengthW(hwnd_);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hwnd_, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}
