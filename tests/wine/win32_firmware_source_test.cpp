// The Win32 firmware sources under Wine: the image embedded as resource 204 of
// type "RT_BINARY" (or its absence), and firmware files opened sharing nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/win32/wine/HostPaths.h"
#include "update/win32/Win32EmbeddedImageSource.h"
#include "update/win32/Win32FileOpener.h"

namespace reflasher {
namespace {

// A file of our own in the prefix's temp folder, removed when the test ends.
class TempFile {
public:
    explicit TempFile(const std::vector<unsigned char>& bytes) {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        wchar_t name[MAX_PATH];
        GetTempFileNameW(folder, L"fw", 0, name);
        path_ = name;
        const HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    ~TempFile() { DeleteFileW(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

std::vector<unsigned char> Pattern(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 13 + 1);
    return bytes;
}

// What another program sees when it tries to open the file for reading.
bool OthersCanOpen(const std::wstring& path) {
    const HANDLE other = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (other == INVALID_HANDLE_VALUE) return false;
    CloseHandle(other);
    return true;
}

std::vector<unsigned char> ReadWhole(FirmwareFile& file) {
    std::uint64_t length = 0;
    EXPECT_TRUE(file.Length(&length));
    std::vector<unsigned char> bytes(static_cast<std::size_t>(length) + 1);  // room to see overreads
    std::size_t read = 0;
    EXPECT_TRUE(file.Read(bytes.data(), bytes.size(), &read));
    bytes.resize(read);
    return bytes;
}

TEST(Win32FileOpener, ReadsTheWholeFileAndHoldsItExclusively) {
    const std::vector<unsigned char> content = Pattern(300000);
    TempFile temp(content);
    Win32FileOpener opener;
    {
        auto file = opener.OpenExisting(temp.path());
        ASSERT_NE(file, nullptr);
        EXPECT_FALSE(OthersCanOpen(temp.path())) << "shared with no one while open";
        EXPECT_EQ(ReadWhole(*file), content);
    }
    EXPECT_TRUE(OthersCanOpen(temp.path())) << "closed when the file object goes";
}

TEST(Win32FileOpener, EmptyFileHasLengthZero) {
    TempFile temp({});
    Win32FileOpener opener;
    auto file = opener.OpenExisting(temp.path());
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(ReadWhole(*file).empty());
}

TEST(Win32FileOpener, FilesThatCannotBeHadGiveNothing) {
    Win32FileOpener opener;
    TempFile held(Pattern(10));
    const HANDLE other = CreateFileW(held.path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(opener.OpenExisting(held.path()), nullptr) << "held open by another program";
    CloseHandle(other);

    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring missing = std::wstring(folder) + L"no-such-firmware.hex";
    EXPECT_EQ(opener.OpenExisting(missing), nullptr);
    EXPECT_EQ(GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES) << "never created";
    EXPECT_EQ(opener.OpenExisting(folder), nullptr) << "a folder is no file";
    EXPECT_EQ(opener.OpenExisting(L""), nullptr);

    // Not disk files: a read from them could wait for ever.
    const wchar_t pipeName[] = L"\\\\.\\pipe\\reflasher-firmware-test";
    const HANDLE server =
        CreateNamedPipeW(pipeName, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    EXPECT_EQ(opener.OpenExisting(pipeName), nullptr) << "a pipe is no file";
    CloseHandle(server);
    EXPECT_EQ(opener.OpenExisting(L"NUL"), nullptr) << "a device is no file";
}

// Built twice: with the synthetic image as resource 204, and with no resource at all.
TEST(Win32EmbeddedImageSource, FindsTheImageCarriedByTheProgram) {
    Win32EmbeddedImageSource source;
    FirmwareImage image;
#ifdef REFLASHER_TEST_EMBEDS_IMAGE
    ASSERT_TRUE(source.Find(&image));
    const std::wstring path = wineprefix::EnvironmentValue(L"REFLASHER_SYNTHETIC_FIRMWARE");
    ASSERT_FALSE(path.empty());
    Win32FileOpener opener;
    auto file = opener.OpenExisting(wineprefix::WinePathOf(path));
    ASSERT_NE(file, nullptr);
    const std::vector<unsigned char> expected = ReadWhole(*file);
    ASSERT_EQ(image.size, 1140906u);
    EXPECT_TRUE(std::vector<unsigned char>(image.data, image.data + image.size) == expected);
    FirmwareImage again;
    ASSERT_TRUE(source.Find(&again));
    EXPECT_EQ(again.data, image.data) << "the same resource memory every time";
#else
    EXPECT_FALSE(source.Find(&image));
    EXPECT_EQ(image.data, nullptr);
#endif
}

}  // namespace
}  // namespace reflasher
