#include "tests/wine/support/Windows.h"

#include <cstdio>

#include "tests/wine/support/Waiting.h"

namespace reflasher::e2e {
namespace {

// Long enough for a busy Wine under parallel tests, short enough to fail fast.
constexpr UINT kSendTimeoutMs = 3000;
constexpr int kMessageBoxTextId = 0xFFFF;

struct Search {
    DWORD processId;
    std::vector<TopWindow>* found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId) {
        search->found->push_back(TopWindow{window, ClassNameOf(window), StoredText(window),
                                           GetWindow(window, GW_OWNER),
                                           IsWindowVisible(window) != FALSE});
    }
    return TRUE;
}

}  // namespace

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* ok) {
    DWORD_PTR result = 0;
    const bool delivered = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                               kSendTimeoutMs, &result) != 0;
    if (ok != nullptr) *ok = delivered;
    return delivered ? static_cast<LRESULT>(result) : 0;
}

std::optional<std::wstring> TryWindowText(HWND window) {
    if (window == nullptr) return std::nullopt;
    bool ok = false;
    const LRESULT length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0, &ok);
    if (!ok || length < 0) return std::nullopt;
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendWithTimeout(window, WM_GETTEXT, text.size(),
                                           reinterpret_cast<LPARAM>(text.data()), &ok);
    if (!ok) return std::nullopt;
    return std::wstring(text.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

std::wstring WindowText(HWND window) { return TryWindowText(window).value_or(std::wstring()); }

std::wstring StoredText(HWND window) {
    if (window == nullptr) return std::wstring();
    // For another process's window GetWindowTextW reads the stored text instead of
    // sending WM_GETTEXT.
    std::vector<wchar_t> text(4096, L'\0');
    const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return std::wstring(text.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = L"";
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::vector<std::wstring> ComboLines(HWND combo) {
    std::vector<std::wstring> lines;
    if (combo == nullptr) return lines;
    const LRESULT count = SendWithTimeout(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendWithTimeout(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) break;
        std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
        const LRESULT copied = SendWithTimeout(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                               reinterpret_cast<LPARAM>(text.data()));
        lines.emplace_back(text.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
    }
    return lines;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

std::vector<TopWindow> TopLevelWindows(DWORD processId) {
    std::vector<TopWindow> found;
    Search search{processId, &found};
    EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return found;
}

std::vector<TopWindow> VisibleTopLevelWindows(DWORD processId) {
    std::vector<TopWindow> visible;
    for (const TopWindow& window : TopLevelWindows(processId)) {
        if (window.visible) visible.push_back(window);
    }
    return visible;
}

bool IsMessageBox(HWND window) {
    if (ClassNameOf(window) != L"#32770") return false;
    // A message box holds statics and buttons only; the About box and the file
    // dialog also use static 0xFFFF, but have an icon of their own or edit fields,
    // and more than one static text.
    int texts = 0;
    bool textControl = false;
    for (HWND child : ChildWindows(window)) {
        const std::wstring kind = ClassNameOf(child);
        if (kind != L"Static" && kind != L"Button") return false;
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (kind == L"Static" && (style & SS_TYPEMASK) != SS_ICON) ++texts;
        if (kind == L"Static" && GetDlgCtrlID(child) == kMessageBoxTextId) textControl = true;
    }
    return textControl && texts == 1;
}

MessageBoxSeen ReadMessageBox(HWND window) {
    return MessageBoxSeen{window, GetWindow(window, GW_OWNER), StoredText(window),
                          StoredText(GetDlgItem(window, kMessageBoxTextId))};
}

std::vector<MessageBoxSeen> VisibleMessageBoxes(DWORD processId) {
    std::vector<MessageBoxSeen> boxes;
    for (const TopWindow& window : VisibleTopLevelWindows(processId)) {
        if (IsMessageBox(window.window)) boxes.push_back(ReadMessageBox(window.window));
    }
    return boxes;
}

bool PostKey(HWND window, UINT virtualKey, bool alt) {
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16) | (alt ? (1 << 29) : 0);
    const LPARAM up = down | (1 << 30) | (static_cast<LPARAM>(1) << 31);
    return PostMessageW(window, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, down) &&
           PostMessageW(window, alt ? WM_SYSKEYUP : WM_KEYUP, virtualKey, up);
}

bool WaitForWindowGone(HWND window, unsigned timeoutMs) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

bool AnswerMessageBox(HWND box, unsigned timeoutMs) {
    if (!PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0)) return false;
    return WaitForWindowGone(box, timeoutMs);
}

std::string Printable(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c == L'\n') {
            out += "\\n";
        } else if (c == L'\r') {
            out += "\\r";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char code[12];
            std::snprintf(code, sizeof code, "\\x%04X", static_cast<unsigned>(c));
            out += code;
        }
    }
    return out;
}

}  // namespace reflasher::e2e
