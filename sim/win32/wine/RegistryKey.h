// An owned registry key handle, closed when it goes out of scope.
#pragma once

#include <windows.h>

#include <string>

namespace reflasher::wineprefix {

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Reset(); }
    RegistryKey(RegistryKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    RegistryKey& operator=(RegistryKey&& other) noexcept {
        if (this != &other) {
            Reset();
            key_ = other.key_;
            other.key_ = nullptr;
        }
        return *this;
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens `path` under `root` for writing, creating it (and its parents) if needed.
    static RegistryKey Create(HKEY root, const std::wstring& path);

    bool IsOpen() const { return key_ != nullptr; }
    HKEY Get() const { return key_; }

    bool SetString(const wchar_t* name, const std::wstring& value);
    bool SetDword(const wchar_t* name, DWORD value);
    bool SetBinary(const wchar_t* name, const void* data, DWORD size);
    // True also when the value was not there.
    bool DeleteValue(const wchar_t* name);

private:
    explicit RegistryKey(HKEY key) : key_(key) {}
    void Reset() {
        if (key_ != nullptr) RegCloseKey(key_);
        key_ = nullptr;
    }

    HKEY key_ = nullptr;
};

}  // namespace reflasher::wineprefix
