#include "ui/win32/FirmwareNotice.h"

#include "device/Allocator.h"
#include "texts/ProgramTexts.h"
#include "win32/SystemLibrary.h"

namespace {

using reflasher::texts::kFirmwareVersionLead;
using reflasher::texts::kInstallNote;
using reflasher::texts::kNoFirmwareVersion;

// Paths can't be longer than this many characters, with or without the \\?\ form.
constexpr DWORD kLongestPath = 32768;

// A version part in decimal. Not swprintf: MinGW's printf family, with its
// floating-point formatting, would be a tenth of the program for three numbers.
std::wstring Decimal(WORD value) {
    wchar_t digits[5];
    wchar_t* first = digits + 5;
    do {
        *--first = static_cast<wchar_t>(L'0' + value % 10);
        value = static_cast<WORD>(value / 10);
    } while (value != 0);
    return std::wstring(first, digits + 5);
}

}  // namespace

std::wstring FirmwareVersionLine(const VS_FIXEDFILEINFO* version) {
    if (version == nullptr) return kNoFirmwareVersion;
    // The first, second and fourth of the four parts: 8.0.0.81 reads 8.0.81.
    return kFirmwareVersionLead + Decimal(HIWORD(version->dwFileVersionMS)) + L"." +
           Decimal(LOWORD(version->dwFileVersionMS)) + L"." +
           Decimal(LOWORD(version->dwFileVersionLS)) + L"\r\n\r\n";
}

std::wstring ModuleFileName(HMODULE module, DWORD initialCapacity) {
    std::wstring path(initialCapacity > 0 ? initialCapacity : 1, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        // A full buffer means the path was cut short: try again with more room.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= kLongestPath) return std::wstring();
        path.resize(path.size() * 2 < kLongestPath ? path.size() * 2 : kLongestPath);
    }
}

std::wstring FirmwareNotice() {
    // version.dll only in the embedded build, the one that shows the notice; without
    // it (or any of its three functions) the notice has no version, as for a program
    // without version information.
    static const reflasher::SystemLibrary version(L"version.dll");
    static const auto getSize = REFLASHER_SYSTEM_FUNCTION(version, GetFileVersionInfoSizeW);
    static const auto getInfo = REFLASHER_SYSTEM_FUNCTION(version, GetFileVersionInfoW);
    static const auto queryValue = REFLASHER_SYSTEM_FUNCTION(version, VerQueryValueW);
    std::wstring notice = kNoFirmwareVersion;
    if (getSize == nullptr || getInfo == nullptr || queryValue == nullptr)
        return notice + kInstallNote;
    const std::wstring path = ModuleFileName(nullptr);
    DWORD ignored = 0;
    const DWORD size = path.empty() ? 0 : getSize(path.c_str(), &ignored);
    if (size > 0) {
        auto buffer = reflasher::Allocator::Heap().Allocate(size);
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT fixedSize = 0;
        if (buffer && getInfo(path.c_str(), 0, size, buffer.get()) &&
            queryValue(buffer.get(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) &&
            fixed != nullptr && fixedSize >= sizeof(VS_FIXEDFILEINFO)) {
            notice = FirmwareVersionLine(fixed);
        }
    }
    return notice + kInstallNote;
}
