// The firmware notice's version line and the program path behind it.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/win32/FirmwareNotice.h"

namespace {

TEST(FirmwareNoticeTest, VersionLineShowsTheFirstSecondAndFourthParts) {
    struct Case {
        DWORD ms, ls;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {MAKELONG(0, 8), MAKELONG(81, 0), L"Quillmar Dovrex Firmware Version 8.0.81\r\n\r\n"},
        {MAKELONG(2, 1), MAKELONG(4, 3), L"Quillmar Dovrex Firmware Version 1.2.4\r\n\r\n"},
        {0xFFFFFFFFu, 0xFFFFFFFFu,
         L"Quillmar Dovrex Firmware Version 65535.65535.65535\r\n\r\n"},  // words, never signed
        {0, 0, L"Quillmar Dovrex Firmware Version 0.0.0\r\n\r\n"},
    };
    for (const Case& c : cases) {
        VS_FIXEDFILEINFO version{};
        version.dwFileVersionMS = c.ms;
        version.dwFileVersionLS = c.ls;
        EXPECT_EQ(FirmwareVersionLine(&version), c.expected);
    }
    EXPECT_EQ(FirmwareVersionLine(nullptr), L"No file version available!\r\n\r\n");
}

TEST(FirmwareNoticeTest, ModuleFileNameGrowsItsBufferUntilThePathFits) {
    const std::wstring roomy = ModuleFileName(nullptr, 32768);
    ASSERT_GT(roomy.size(), 4u);
    EXPECT_EQ(roomy.substr(roomy.size() - 4), L".exe");
    const DWORD length = static_cast<DWORD>(roomy.size());
    for (DWORD start : {DWORD{1}, DWORD{4}, length, length + 1}) {
        EXPECT_EQ(ModuleFileName(nullptr, start), roomy) << "starting at " << start;
    }
}

TEST(FirmwareNoticeTest, TheNoticeEndsInTheInstallNote) {
    const std::wstring notice = FirmwareNotice();
    const std::wstring note =
        L"Please install the printer locally at a USB port. This application will\r\n"
        L"negotiate the updating process with the printer automatically. ";
    ASSERT_GE(notice.size(), note.size());
    EXPECT_EQ(notice.substr(notice.size() - note.size()), note);
    EXPECT_EQ(notice.substr(0, notice.size() - note.size()),
              L"Quillmar Dovrex Firmware Version 8.0.81\r\n\r\n");
}

}  // namespace
