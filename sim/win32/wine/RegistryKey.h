// An owned registry key handle, closed when it goes out of scope.
#pragma once

#include <windows.h>

#include <string>

#include "win32/Handles.h"

namespace reflasher::wineprefix {

struct RegistryKeyTraits : NullIsInvalid<HKEY> {
    static void Close(Handle h) { RegCloseKey(h); }
};

class RegistryKey {
public:
    RegistryKey() = default;

    // Opens `path` under `root` for writing, creating it (and its parents) if needed.
    static RegistryKey Create(HKEY root, const std::wstring& path);

    bool IsOpen() const { return static_cast<bool>(key_); }
    HKEY Get() const { return key_.get(); }

    bool SetString(const wchar_t* name, const std::wstring& value);
    bool SetDword(const wchar_t* name, DWORD value);
    bool SetBinary(const wchar_t* name, const void* data, DWORD size);
    // True also when the value was not there.
    bool DeleteValue(const wchar_t* name);

private:
    explicit RegistryKey(HKEY key) : key_(key) {}

    UniqueHandle<RegistryKeyTraits> key_;
};

}  // namespace reflasher::wineprefix
