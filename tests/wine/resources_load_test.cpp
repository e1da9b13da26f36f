// The program's resources through the real Win32 loaders (this test program
// links the same compiled script): the dialog templates create with every
// control, the bitmaps, the RLE8 logo keyed on cyan, the icon at each size,
// the string, the version information and the manifest.
// commctrl.h builds on windows.h, so the order stays.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/shared/ExpectedTexts.h"

namespace {

HINSTANCE Self() { return GetModuleHandleW(nullptr); }

// A window handle destroyed with its owner object.
class Window {
public:
    explicit Window(HWND hwnd) : hwnd_(hwnd) {}
    ~Window() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_;
};

class GdiObject {
public:
    explicit GdiObject(HGDIOBJ object) : object_(object) {}
    ~GdiObject() {
        if (object_) DeleteObject(object_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    HGDIOBJ get() const { return object_; }

private:
    HGDIOBJ object_;
};

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

HWND CreateTemplate(int id) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    return CreateDialogParamW(Self(), MAKEINTRESOURCEW(id), nullptr, QuietDialogProc, 0);
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

TEST(Resources, MainDialogCreatesWithEveryControl) {
    Window dialog(CreateTemplate(IDD_REFLASHER_DIALOG));
    ASSERT_NE(dialog.get(), nullptr) << "error " << GetLastError();
    wchar_t caption[64] = {};
    GetWindowTextW(dialog.get(), caption, 64);
    EXPECT_STREQ(caption, reflasher::expected::kMainCaption);

    const struct {
        int id;
        const wchar_t* kind;
    } controls[] = {{IDC_OPEN_FILE_GROUP, L"Button"},
                    {IDC_BROWSE, L"Button"},
                    {IDC_FILE_PATH, L"Static"},
                    {IDC_PROGRESS, L"msctls_progress32"},
                    {IDC_START_DOWNLOAD, L"Button"},
                    {IDC_EXIT, L"Button"},
                    {IDC_BUSY_PICTURE, L"Static"},
                    {IDC_STATUS_LINE, L"Static"},
                    {IDC_FIRMWARE_NOTICE, L"Static"},
                    {IDC_PRINTER_COMBO, L"ComboBox"},
                    {IDC_LOGO, L"Static"}};
    for (const auto& c : controls) {
        HWND control = GetDlgItem(dialog.get(), c.id);
        ASSERT_NE(control, nullptr) << "control " << c.id;
        EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), c.kind), 0) << "control " << c.id;
    }
    HWND notice = GetDlgItem(dialog.get(), IDC_FIRMWARE_NOTICE);
    EXPECT_FALSE(IsWindowVisible(notice));
    EXPECT_FALSE(IsWindowEnabled(notice));
    // The picture control loaded bitmap 145 itself.
    EXPECT_NE(SendDlgItemMessageW(dialog.get(), IDC_BUSY_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0),
              0);
}

TEST(Resources, AboutBoxCreatesWithTheApplicationIcon) {
    Window about(CreateTemplate(IDD_ABOUTBOX));
    ASSERT_NE(about.get(), nullptr) << "error " << GetLastError();
    HWND icon = nullptr;
    for (HWND child = GetWindow(about.get(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) icon = child;
    }
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0) << "the icon control shows nothing";
    EXPECT_NE(GetDlgItem(about.get(), IDOK), nullptr);
}

TEST(Resources, BusyFramesAre53By71AndAllDifferent) {
    std::vector<std::vector<std::uint8_t>> pixels;
    for (int id = IDB_BUSY_FRAME_1; id <= IDB_BUSY_FRAME_4; ++id) {
        GdiObject bitmap(
            LoadImageW(Self(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(bitmap.get(), nullptr) << "bitmap " << id;
        DIBSECTION dib{};
        ASSERT_EQ(GetObjectW(bitmap.get(), sizeof(dib), &dib), int(sizeof(dib)));
        EXPECT_EQ(dib.dsBm.bmWidth, 53);
        EXPECT_EQ(dib.dsBm.bmHeight, 71);
        EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
        const auto* bits = static_cast<const std::uint8_t*>(dib.dsBm.bmBits);
        pixels.emplace_back(bits, bits + dib.dsBm.bmWidthBytes * dib.dsBm.bmHeight);
    }
    for (std::size_t a = 0; a < pixels.size(); ++a)
        for (std::size_t b = a + 1; b < pixels.size(); ++b)
            EXPECT_NE(pixels[a], pixels[b]) << a << b;
}

// Draws the logo as the dialog does (TransparentBlt keyed on cyan) over a marker colour.
TEST(Resources, LogoIsKeyedOnExactCyanOnly) {
    GdiObject logo(LoadBitmapW(Self(), MAKEINTRESOURCEW(IDB_LOGO)));
    ASSERT_NE(logo.get(), nullptr);
    BITMAP info{};
    GetObjectW(logo.get(), sizeof(info), &info);
    ASSERT_EQ(info.bmWidth, 96);
    ASSERT_EQ(info.bmHeight, 69);

    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen);
    HDC target = CreateCompatibleDC(screen);
    BITMAPINFO canvasInfo{};
    canvasInfo.bmiHeader = {sizeof(BITMAPINFOHEADER), 96, -69, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* canvasBits = nullptr;
    GdiObject canvas(
        CreateDIBSection(screen, &canvasInfo, DIB_RGB_COLORS, &canvasBits, nullptr, 0));
    ASSERT_NE(canvas.get(), nullptr);
    HGDIOBJ oldSource = SelectObject(source, logo.get());
    HGDIOBJ oldTarget = SelectObject(target, canvas.get());
    const COLORREF marker = RGB(1, 2, 3);
    auto* out = static_cast<std::uint32_t*>(canvasBits);
    for (int i = 0; i < 96 * 69; ++i) out[i] = 0x00010203;  // marker as 0x00RRGGBB
    EXPECT_TRUE(TransparentBlt(target, 0, 0, 96, 69, source, 0, 0, 96, 69, RGB(0, 255, 255)));
    GdiFlush();
    auto at = [&](int x, int y) {
        const std::uint32_t v = out[y * 96 + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    };
    EXPECT_EQ(at(0, 0), marker) << "the cyan surround shows what lies behind";
    EXPECT_EQ(at(70, 45), RGB(0, 240, 255)) << "near-cyan display is drawn";
    EXPECT_EQ(at(66, 55), RGB(255, 255, 0)) << "yellow button is drawn";
    EXPECT_EQ(at(40, 5), RGB(255, 255, 255)) << "the paper";
    int keyed = 0, cyan = 0;
    for (int y = 0; y < 69; ++y)
        for (int x = 0; x < 96; ++x) {
            keyed += at(x, y) == marker;
            cyan += at(x, y) == RGB(0, 255, 255);
        }
    EXPECT_EQ(cyan, 0);
    EXPECT_GT(keyed, 96 * 69 / 5);
    EXPECT_LT(keyed, 96 * 69 * 3 / 4);
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    ReleaseDC(nullptr, screen);
}

TEST(Resources, IconLoadsAtEverySize) {
    for (int size : {16, 32, 48, 256}) {
        HICON icon = static_cast<HICON>(LoadImageW(Self(), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                   IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO parts{};
        ASSERT_TRUE(GetIconInfo(icon, &parts));
        BITMAP colour{};
        GetObjectW(parts.hbmColor ? parts.hbmColor : parts.hbmMask, sizeof(colour), &colour);
        EXPECT_EQ(colour.bmWidth, size);
        if (parts.hbmColor) DeleteObject(parts.hbmColor);
        DeleteObject(parts.hbmMask);
        DestroyIcon(icon);
    }
    EXPECT_NE(LoadIconW(Self(), MAKEINTRESOURCEW(IDR_MAINFRAME)), nullptr);
}

TEST(Resources, AboutStringAndVersionReadThroughTheApis) {
    wchar_t text[64] = {};
    EXPECT_EQ(LoadStringW(Self(), IDS_ABOUTBOX, text, 64), 19);
    EXPECT_STREQ(text, L"&About Reflasher...");

    std::array<wchar_t, 32768> path{};
    ASSERT_GT(GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())), 0u);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.data(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<std::uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.data(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 8);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), 0);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), 0);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), 81);
    wchar_t* special = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904e4\\SpecialBuild",
                               reinterpret_cast<void**>(&special), &length));
    EXPECT_STREQ(special, L"8.0.81");
}

// Windows refuses to start a program whose manifest names another architecture
// (Wine doesn't check), so every architecture the manifest names must be ours.
TEST(Resources, ManifestNamesTheProgramsOwnArchitecture) {
    const HRSRC found = FindResourceW(Self(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const auto* data = static_cast<const char*>(LockResource(LoadResource(Self(), found)));
    const std::string xml(data, SizeofResource(Self(), found));
    const std::string own = sizeof(void*) == 8 ? "amd64" : "x86";
    const std::string attribute = "processorArchitecture=\"";
    int named = 0;
    for (std::size_t at = xml.find(attribute); at != std::string::npos; at = xml.find(attribute, at + 1)) {
        const std::size_t begin = at + attribute.size();
        EXPECT_EQ(xml.substr(begin, xml.find('"', begin) - begin), own);
        ++named;
    }
    EXPECT_EQ(named, 2);  // the program's identity and the common controls it asks for
}

}  // namespace
