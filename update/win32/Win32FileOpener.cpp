#include "update/win32/Win32FileOpener.h"

#include <windows.h>

#include <limits>

#include "win32/Handles.h"

namespace reflasher {
namespace {

class Win32FirmwareFile : public FirmwareFile {
public:
    explicit Win32FirmwareFile(UniqueKernelHandle handle) : handle_(std::move(handle)) {}

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
    UniqueKernelHandle handle_;
};

}  // namespace

std::unique_ptr<FirmwareFile> Win32FileOpener::OpenExisting(const std::wstring& path) {
    // Share mode 0: the open fails while another program holds the file, and no one
    // else can open it until we are done, so what is sent is what was chosen.
    // Should the path name a pipe, its server may only identify us, never act as us.
    UniqueKernelHandle handle(CreateFileW(
        path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
    if (!handle) return nullptr;
    // Only a disk file: a pipe or a device (\\.\pipe\..., CON, COM1) could hold the
    // read for ever, or give what no file chosen with Browse holds.
    if (GetFileType(handle.get()) != FILE_TYPE_DISK) return nullptr;
    return std::make_unique<Win32FirmwareFile>(std::move(handle));
}

}  // namespace reflasher
