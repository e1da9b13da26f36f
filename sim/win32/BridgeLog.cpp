#include "sim/win32/BridgeLog.h"

#include <cstdio>

#include "sim/win32/wine/HostPaths.h"

namespace reflasher::bridge {

std::wstring WindowsPathOf(const std::wstring& path) {
    return !path.empty() && path[0] == L'/' ? wineprefix::WinePathOf(path) : path;
}

BridgeLog::BridgeLog(const std::wstring& path) : startMs_(GetTickCount64()) {
    if (path.empty()) return;
    // Shared for reading: a test may look at the log while the bridge still runs.
    file_ =
        UniqueKernelHandle(CreateFileW(WindowsPathOf(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                       nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    fileFailed_ = !file_;
}

void BridgeLog::Line(const std::string& text) {
    const ULONGLONG elapsed = GetTickCount64() - startMs_;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%4llu.%03llu] ", elapsed / 1000, elapsed % 1000);
    const std::string line = std::string(stamp) + text + "\n";
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
    if (file_) {
        DWORD written = 0;
        WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

}  // namespace reflasher::bridge
