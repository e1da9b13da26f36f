#include "sim/win32/wine/HostPaths.h"

#include <windows.h>

#include <vector>

namespace reflasher::wineprefix {

std::wstring EnvironmentValue(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return std::wstring();
    std::vector<wchar_t> value(size);
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    if (length == 0 || length >= size) return std::wstring();
    return std::wstring(value.data(), length);
}

std::wstring WinePathOf(const std::wstring& unixPath) {
    std::wstring path = L"Z:" + unixPath;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

}  // namespace reflasher::wineprefix
