// A DLL that does nothing but tell that it was loaded: its DllMain appends its own
// path, one line, to the file REFLASHER_PLANTED_LOG names. Copies of it, named
// after system DLLs, are planted beside the program to see whether any is loaded.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t log[MAX_PATH];
    const DWORD logLength = GetEnvironmentVariableW(L"REFLASHER_PLANTED_LOG", log, MAX_PATH);
    if (logLength == 0 || logLength >= MAX_PATH) return TRUE;
    wchar_t path[MAX_PATH];
    const DWORD pathLength = GetModuleFileNameW(self, path, MAX_PATH);
    const HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return TRUE;
    DWORD written = 0;
    WriteFile(file, path, pathLength * sizeof(wchar_t), &written, nullptr);
    WriteFile(file, L"\n", sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    return TRUE;
}
