#include "sim/win32/wine/RegistryKey.h"

namespace reflasher::wineprefix {

RegistryKey RegistryKey::Create(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return RegistryKey();
    }
    return RegistryKey(key);
}

bool RegistryKey::SetString(const wchar_t* name, const std::wstring& value) {
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return IsOpen() &&
           RegSetValueExW(Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          bytes) == ERROR_SUCCESS;
}

bool RegistryKey::SetDword(const wchar_t* name, DWORD value) {
    return IsOpen() &&
           RegSetValueExW(Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

bool RegistryKey::SetBinary(const wchar_t* name, const void* data, DWORD size) {
    return IsOpen() && RegSetValueExW(Get(), name, 0, REG_BINARY, static_cast<const BYTE*>(data),
                                      size) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const wchar_t* name) {
    if (!IsOpen()) return false;
    const LONG result = RegDeleteValueW(Get(), name);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

}  // namespace reflasher::wineprefix
