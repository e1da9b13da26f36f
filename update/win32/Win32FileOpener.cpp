#include "update/win32/Win32FileOpener.h"

#include <windows.h>

#include <limits>

#include "update/win32/FileHandle.h"

namespace reflasher {
namespace {

class Win32FirmwareFile : public FirmwareFile {
public:
    explicit Win32FirmwareFile(FileHandle handle) : handle_(std::move(handle)) {}

    bool Length(std::uint64_t* length) override {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(handle_.get(), &size) || size.QuadPart < 0) return false;
        *length = static_cast<std::uint64_t>(size.QuadPart);
        return true;
    }

    bool Read(void* buffer, std::size_t size, std::size_t* bytesRead) override {
        // ReadFile counts in DWORDs; the caller never asks for more than one write can take.
        if (size > std::numeric_limits<DWORD>::max()) return false;
        DWORD read = 0;
        const BOOL ok = ReadFile(handle_.get(), buffer, static_cast<DWORD>(size), &read, nullptr);
        *bytesRead = read;
        return ok != FALSE;
    }

private:
    FileHandle handle_;
};

}  // namespace

std::unique_ptr<FirmwareFile> Win32FileOpener::OpenExisting(const std::wstring& path) {
    // Share mode 0: the open fails while another program holds the file, and no one
    // else can open it until we are done, so what is sent is what was chosen.
    FileHandle handle(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return nullptr;
    return std::make_unique<Win32FirmwareFile>(std::move(handle));
}

}  // namespace reflasher
