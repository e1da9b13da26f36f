#include "ui/win32/WindowDpi.h"

namespace {

// user32 is a KnownDLL: looking into the copy already loaded is safe.
template <class Function>
Function User32Function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 == nullptr ? nullptr
                             : reinterpret_cast<Function>(
                                   reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

}  // namespace

int WindowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return static_cast<int>(dpi);
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int SystemMetricForDpi(int index, int dpi) {
    using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
    static const auto forDpi =
        User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (forDpi != nullptr && dpi > 0) return forDpi(index, static_cast<UINT>(dpi));
    return GetSystemMetrics(index);
}
