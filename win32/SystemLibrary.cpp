#include "win32/SystemLibrary.h"

#include <string>

namespace reflasher {
namespace {

// Windows 7 without its loader update knows neither SetDefaultDllDirectories nor
// the LOAD_LIBRARY_SEARCH_ flags; there the full path of the system folder's copy
// does the same for the DLL itself.
HMODULE LoadFromSystemFolder(const wchar_t* fileName) {
    HMODULE module = LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + fileName;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

SystemLibrary::SystemLibrary(const wchar_t* fileName) : module_(LoadFromSystemFolder(fileName)) {}

FARPROC SystemLibrary::Address(const char* name) const {
    return module_ != nullptr ? GetProcAddress(module_, name) : nullptr;
}

void RestrictDllSearchToSystemFolder() {
    // Looked up rather than imported, so the program still starts where kernel32 lacks it.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(
            kernel != nullptr ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr));
    if (setDefault != nullptr) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");
    // Wine's theming (uxtheme) loads msimg32 on the first themed paint by a search of
    // its own that ignores the default directories and looks beside the program
    // first. Once the system's copy is loaded, any search for the name finds that.
    static const SystemLibrary msimg32(L"msimg32.dll");
}

}  // namespace reflasher
