#include "sim/win32/wine/JobFolder.h"

#include <windows.h>

#include <cstdio>
#include <utility>

#include "win32/Handles.h"
#include "sim/win32/wine/HostPaths.h"

namespace reflasher::wineprefix {
namespace {

constexpr unsigned kPollMs = 50;

std::optional<std::vector<unsigned char>> ReadWholeFile(const std::wstring& path) {
    const UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart >= 0x40000000) {
        return std::nullopt;
    }
    std::vector<unsigned char> content(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!content.empty() && (!ReadFile(file.get(), content.data(),
                                       static_cast<DWORD>(content.size()), &read, nullptr) ||
                             read != content.size())) {
        return std::nullopt;
    }
    return content;
}

// Wine hands a "|command" port to /bin/sh -c, so paths are quoted for the shell.
std::wstring ShellQuoted(const std::wstring& text) {
    std::wstring quoted = L"'";
    for (wchar_t c : text) quoted += c == L'\'' ? std::wstring(L"'\\''") : std::wstring(1, c);
    return quoted + L"'";
}

}  // namespace

JobFolder::JobFolder(std::wstring unixPath)
    : unixPath_(std::move(unixPath)), winePath_(WinePathOf(unixPath_)) {}

bool JobFolder::Reset() const {
    if (!CreateDirectoryW(winePath_.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((winePath_ + L"\\job-*.bin").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    bool deleted = true;
    do {
        deleted = DeleteFileW((winePath_ + L"\\" + found.cFileName).c_str()) && deleted;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return deleted && JobCount() == 0;
}

std::wstring JobFolder::SinkCommand(const std::wstring& sinkUnixPath) const {
    return L"|" + ShellQuoted(sinkUnixPath) + L" " + ShellQuoted(unixPath_);
}

int JobFolder::JobCount() const {
    int count = 0;
    while (GetFileAttributesW(JobPath(count + 1).c_str()) != INVALID_FILE_ATTRIBUTES) ++count;
    return count;
}

std::optional<std::vector<unsigned char>> JobFolder::WaitForJob(int number,
                                                                unsigned timeoutMs) const {
    const std::wstring path = JobPath(number);
    for (unsigned waited = 0;; waited += kPollMs) {
        // The sink renames a complete job into place, so a file that exists is whole.
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return ReadWholeFile(path);
        if (waited >= timeoutMs) return std::nullopt;
        Sleep(kPollMs);
    }
}

std::wstring JobFolder::JobPath(int number) const {
    wchar_t name[32];
    std::swprintf(name, sizeof name / sizeof name[0], L"\\job-%04d.bin", number);
    return winePath_ + name;
}

}  // namespace reflasher::wineprefix
