// The main dialog's pictures in its own process, where the Win32 calls can be
// watched directly: the logo drawn into the owner-draw record's DC (keyed on
// cyan, natural size, whatever the record asks), other owner-drawn ids left to
// the default handling, the drag icon, the minimised painting, and the busy
// animation's thread ending with the dialog however often it is opened; the
// pictures at the display's scale, and when the window moves to another one.
#include <windows.h>
// (windows.h first: the others build on it)
#include <commctrl.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/shared/ExpectedTexts.h"
#include "tests/wine/support/DialogFixture.h"
#include "tests/wine/support/DialogRig.h"
#include "ui/DownloadInProgress.h"
#include "ui/win32/ReflasherDlg.h"
#include "ui/PictureScale.h"

using namespace dialog_script;

namespace {

constexpr std::uint32_t kCyan = 0x00FFFF;
constexpr std::uint32_t kMagenta = 0xFF00FF;

// 0x00RRGGBB pixels of a top-down 32-bit picture.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;
    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

Pixels ReadBitmap(HBITMAP bitmap, int width, int height) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    Pixels pixels{width, height,
                  std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.rgb.data(), &format,
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (std::uint32_t& pixel : pixels.rgb) pixel &= 0xFFFFFF;
    return pixels;
}

// A memory DC holding a magenta picture, standing for the DC a WM_DRAWITEM brings.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        const HDC screen = GetDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        const HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        const RECT all{0, 0, width, height};
        FillRect(dc_, &all, magenta);
        DeleteObject(magenta);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC Dc() const { return dc_; }
    Pixels Read() {
        SelectObject(dc_, old_);  // GetDIBits wants the bitmap out of any DC
        Pixels pixels = ReadBitmap(bitmap_, width_, height_);
        SelectObject(dc_, bitmap_);
        return pixels;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

std::vector<DWORD> ThreadsOfThisProcess() {
    std::vector<DWORD> threads;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return threads;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            threads.push_back(entry.th32ThreadID);
    }
    CloseHandle(snapshot);
    return threads;
}

// True once the thread has ended (or never was).
bool ThreadEnded(DWORD id) {
    const HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, id);
    if (thread == nullptr) return true;
    const bool ended = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
}

// WM_ICONERASEBKGND as the dialog gets it (sent by its own OnPaint).
std::atomic<HWND> watchedDialog{nullptr};
std::atomic<int> iconEraseCount{0};
std::atomic<WPARAM> iconEraseDc{0};
LRESULT CALLBACK WatchSentMessages(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->hwnd == watchedDialog && sent->message == WM_ICONERASEBKGND) {
        ++iconEraseCount;
        iconEraseDc = sent->wParam;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) != sizeof info) return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

HBITMAP BusyBitmap(HWND dialog) {
    return reinterpret_cast<HBITMAP>(
        SendMessageW(GetDlgItem(dialog, IDC_BUSY_PICTURE), STM_GETIMAGE, IMAGE_BITMAP, 0));
}

// The box around the pixels that are not `background`; empty when there are none.
RECT Content(const Pixels& pixels, std::uint32_t background) {
    RECT box{pixels.width, pixels.height, 0, 0};
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            if (pixels.At(x, y) == background) continue;
            box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                   std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
        }
    }
    return box.right > box.left ? box : RECT{0, 0, 0, 0};
}

RECT ClientRectIn(HWND dialog, HWND control) {
    RECT r{};
    GetClientRect(control, &r);
    MapWindowPoints(control, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The window as it is on the screen, written as a 24-bit .bmp for a look afterwards.
bool WriteScreenPicture(HWND window, const std::string& unixPath) {
    RECT r{};
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as .bmp files are
    header.biPlanes = 1;
    header.biBitCount = 24;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
    std::vector<char> bits(stride * static_cast<std::size_t>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), bits.data(),
              reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + bits.size());
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(bits.data(), static_cast<std::streamsize>(bits.size()));
    return static_cast<bool>(out);
}

class DialogPictures : public reflasher::e2e::DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        rig_.AddEmbosser(L"Dovrex Embosser");
        rig_.EmbedImage();
    }
    void TearDown() override {
        downloadInProgress = false;
        DialogFixture::TearDown();
    }
    void Close(HWND dialog) {
        dialogThread_.Run([&] { DestroyWindow(dialog); });
        WaitForWindowGone(dialog);
    }

    rig::DialogRig rig_;
};

TEST_F(DialogPictures, LogoDrawnWholeIntoTheRecordsDcForControl1015Only) {
    const HBITMAP logoBitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(logoBitmap, nullptr);
    const Pixels logo = ReadBitmap(logoBitmap, 96, 69);
    DeleteObject(logoBitmap);

    struct Case {
        const char* what;
        UINT id;
        UINT action;
        RECT rect;
        LRESULT result;  // TRUE: handled by the dialog; 0: left to the default handling
        bool logo;
    };
    const Case cases[] = {
        {"whole draw", IDC_LOGO, ODA_DRAWENTIRE, {0, 0, 108, 63}, TRUE, true},
        // Neither the record's rectangle nor its action narrows what is drawn.
        {"focus change, small rectangle", IDC_LOGO, ODA_FOCUS, {10, 10, 20, 20}, TRUE, true},
        {"another owner-drawn id", 1016, ODA_DRAWENTIRE, {0, 0, 120, 80}, 0, false},
        {"the busy picture's id", IDC_BUSY_PICTURE, ODA_DRAWENTIRE, {0, 0, 120, 80}, 0, false},
    };
    CReflasherDlg dialog(rig_.Services());
    Run(dialog, [&](HWND d) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            Canvas canvas(120, 80);
            DRAWITEMSTRUCT item{};
            item.CtlType = ODT_STATIC;
            item.CtlID = c.id;
            item.itemAction = c.action;
            item.hwndItem = GetDlgItem(d, static_cast<int>(c.id));
            item.hDC = canvas.Dc();
            item.rcItem = c.rect;
            LRESULT result = -1;
            dialogThread_.Run([&] {
                result = SendMessageW(d, WM_DRAWITEM, c.id, reinterpret_cast<LPARAM>(&item));
            });
            EXPECT_EQ(result, c.result);
            const Pixels drawn = canvas.Read();
            int wrong = 0;
            for (int y = 0; y < drawn.height; ++y) {
                for (int x = 0; x < drawn.width; ++x) {
                    const bool inLogo = c.logo && x < logo.width && y < logo.height;
                    const std::uint32_t expected =
                        inLogo && logo.At(x, y) != kCyan ? logo.At(x, y) : kMagenta;
                    wrong += drawn.At(x, y) != expected;
                }
            }
            EXPECT_EQ(wrong, 0) << "pixels unlike the logo keyed on cyan at (0, 0)";
        }
        Close(d);
    });
}

TEST_F(DialogPictures, DragIconIsTheAppIconAndTheMinimisedDialogPaintsIt) {
    CReflasherDlg dialog(rig_.Services());
    Run(dialog, [&](HWND d) {
        EXPECT_NE(dialog.appIcon.get(), nullptr);
        EXPECT_EQ(SendMessageW(d, WM_QUERYDRAGICON, 0, 0),
                  reinterpret_cast<LRESULT>(dialog.appIcon.get()));

        watchedDialog = d;
        iconEraseCount = 0;
        const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &WatchSentMessages, nullptr,
                                             GetWindowThreadProcessId(d, nullptr));
        ASSERT_NE(hook, nullptr);
        // Shown normally: the dialog's own painting, no icon.
        dialogThread_.Run(
            [&] { RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); });
        EXPECT_EQ(iconEraseCount, 0);
        // Minimised: the icon's background erased on the painting DC, then the icon.
        // A minimised window has no client area to invalidate, so the painting is asked
        // for directly. Whether it was minimised is read in the same breath: once the
        // dialog thread handles its X events again, Wine without a window manager may
        // restore the window on its own.
        bool minimisedWhilePainting = false;
        dialogThread_.Run([&] {
            ShowWindow(d, SW_MINIMIZE);
            SendMessageW(d, WM_PAINT, 0, 0);
            minimisedWhilePainting = IsIconic(d) != FALSE;
        });
        EXPECT_TRUE(minimisedWhilePainting);
        EXPECT_GE(iconEraseCount, 1) << "no minimised painting happened";
        EXPECT_NE(iconEraseDc, 0u);
        dialogThread_.Run([&] { ShowWindow(d, SW_RESTORE); });
        EXPECT_FALSE(IsIconic(d));
        UnhookWindowsHookEx(hook);
        watchedDialog = nullptr;
        Close(d);
    });
}

TEST_F(DialogPictures, TheAnimationCyclesAndItsThreadEndsWithTheDialog) {
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        CReflasherDlg dialog(rig_.Services());
        std::vector<LPARAM> pictures;
        std::vector<DWORD> started;  // threads the dialog started
        const std::vector<DWORD> before = ThreadsOfThisProcess();
        Run(dialog, [&](HWND d) {
            // A run as far as the animation can tell; closed in the middle of a cycle.
            downloadInProgress = true;
            const HWND busy = GetDlgItem(d, IDC_BUSY_PICTURE);
            for (int i = 0; i < 16; ++i) {
                const LRESULT shown = SendMessageW(busy, STM_GETIMAGE, IMAGE_BITMAP, 0);
                if (pictures.empty() || pictures.back() != shown) pictures.push_back(shown);
                Sleep(100);
            }
            for (DWORD id : ThreadsOfThisProcess()) {
                if (id != GetCurrentThreadId() &&
                    std::find(before.begin(), before.end(), id) == before.end()) {
                    started.push_back(id);
                }
            }
            Close(d);
        });
        // Four frames in turn in about 1.6 s (the first may be the template's own 145).
        EXPECT_GE(pictures.size(), 3u);
        EXPECT_EQ(started.size(), 1u) << "one animation thread";
        // The dialog object still exists: only the window's end can have stopped it.
        for (DWORD id : started)
            EXPECT_TRUE(ThreadEnded(id)) << "thread " << id << " outlived the dialog window";
        downloadInProgress = false;
    }
}

// What a user at 150% or 200% sees: the busy picture and the logo drawn for the
// display's scale, filling their places as at 100%, and every control's text
// inside its control and every control inside the dialog.
TEST_F(DialogPictures, PicturesFillTheirPlacesAtTheDisplaysScale) {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (const char* wanted = std::getenv("REFLASHER_WINE_LOGPIXELS")) {
        ASSERT_EQ(dpi, std::atoi(wanted)) << "the prefix's LogPixels did not take";
    }
    const HBITMAP logo100 = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, 0));
    const RECT drawn100 = Content(ReadBitmap(logo100, 96, 69), kCyan);
    DeleteObject(logo100);

    CReflasherDlg dialog(rig_.Services());
    SIZE busy{}, busyPlace{};
    RECT logoBox{}, logoPlace{}, dialogClient{};
    std::vector<std::string> clipped;
    Run(dialog, [&](HWND d) {
        EXPECT_EQ(dialog.Dpi(), dpi);
        // The animation thread puts up the frame for the scale when it starts.
        for (int i = 0; i < 40 && BitmapSize(BusyBitmap(d)).cx != reflasher::ScaledLength(53, dpi); ++i)
            Sleep(50);
        busy = BitmapSize(BusyBitmap(d));
        const RECT busyRect = ClientRectIn(d, GetDlgItem(d, IDC_BUSY_PICTURE));
        busyPlace = {busyRect.right - busyRect.left, busyRect.bottom - busyRect.top};
        logoPlace = ClientRectIn(d, GetDlgItem(d, IDC_LOGO));
        const int logoWidth = logoPlace.right - logoPlace.left;
        const int logoHeight = logoPlace.bottom - logoPlace.top;
        Canvas canvas(logoWidth, logoHeight);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_STATIC;
        item.CtlID = IDC_LOGO;
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = GetDlgItem(d, IDC_LOGO);
        item.hDC = canvas.Dc();
        item.rcItem = {0, 0, logoWidth, logoHeight};
        dialogThread_.Run([&] {
            SendMessageW(d, WM_DRAWITEM, IDC_LOGO, reinterpret_cast<LPARAM>(&item));
        });
        logoBox = Content(canvas.Read(), kMagenta);
        GetClientRect(d, &dialogClient);
        // Each control inside the dialog, and each text inside its control.
        for (HWND child = GetWindow(d, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child)) continue;
            const RECT r = ClientRectIn(d, child);
            const std::string id = std::to_string(GetDlgCtrlID(child));
            if (r.left < 0 || r.top < 0 || r.right > dialogClient.right || r.bottom > dialogClient.bottom)
                clipped.push_back(id + " leaves the dialog");
            wchar_t text[512] = {}, kind[32] = {};
            GetWindowTextW(child, text, 512);
            GetClassNameW(child, kind, 32);
            const LONG style = GetWindowLongW(child, GWL_STYLE);
            const bool button = lstrcmpiW(kind, L"Button") == 0 && (style & 0xF) != BS_GROUPBOX;
            // Texts a static shows as they are (a long path is shortened by design).
            const bool plainText = lstrcmpiW(kind, L"Static") == 0 &&
                                   ((style & SS_TYPEMASK) == SS_LEFT ||
                                    (style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP) &&
                                   !(style & SS_PATHELLIPSIS);
            if (text[0] == L'\0' || !(button || plainText)) continue;
            const HDC dc = GetDC(child);
            const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
            RECT extent{0, 0, 0, 0};
            DrawTextW(dc, text, -1, &extent, DT_CALCRECT | DT_EXPANDTABS);
            SelectObject(dc, old);
            ReleaseDC(child, dc);
            const int margin = button ? 8 : 0;  // a button's edges take some of its width
            if (extent.right + margin > r.right - r.left || extent.bottom > r.bottom - r.top)
                clipped.push_back(id + "'s text does not fit");
        }
        if (const char* picture = std::getenv("REFLASHER_SCREEN_PICTURE")) {
            dialogThread_.Run([&] { RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN); });
            Sleep(300);
            EXPECT_TRUE(WriteScreenPicture(d, picture));
        }
        Close(d);
    });
    const int logoDrawnWidth = logoBox.right - logoBox.left, logoDrawnHeight = logoBox.bottom - logoBox.top;
    std::printf("%d dpi: busy picture %ldx%ld in a place of %ldx%ld; logo drawn %dx%d at (%ld,%ld) "
                "in a place of %ldx%ld (%.0f%% of it); dialog client %ldx%ld\n",
                dpi, busy.cx, busy.cy, busyPlace.cx, busyPlace.cy, logoDrawnWidth, logoDrawnHeight,
                logoBox.left, logoBox.top, logoPlace.right - logoPlace.left,
                logoPlace.bottom - logoPlace.top,
                100.0 * logoDrawnWidth * logoDrawnHeight /
                    ((logoPlace.right - logoPlace.left) * (logoPlace.bottom - logoPlace.top)),
                dialogClient.right, dialogClient.bottom);
    EXPECT_EQ(busy.cx, reflasher::ScaledLength(53, dpi));
    EXPECT_EQ(busy.cy, reflasher::ScaledLength(71, dpi));
    EXPECT_EQ(busyPlace.cx, busy.cx);  // the picture control takes the picture's size
    EXPECT_EQ(busyPlace.cy, busy.cy);
    // The logo's content as at 100%, scaled, give or take a pixel of rounding; what
    // would reach past its place is cut off there, as at 100% (Wine's dialog font
    // gives the place a few pixels less height than Windows' does).
    const double scale = dpi / 96.0;
    const int placeHeight = logoPlace.bottom - logoPlace.top;
    EXPECT_NEAR(logoBox.left, drawn100.left * scale, 2.0);
    EXPECT_NEAR(logoBox.top, drawn100.top * scale, 2.0);
    EXPECT_NEAR(logoDrawnWidth, (drawn100.right - drawn100.left) * scale, 2.0);
    EXPECT_NEAR(logoBox.bottom, std::min<double>(drawn100.bottom * scale, placeHeight), 2.0);
    EXPECT_TRUE(clipped.empty()) << clipped.front();
}

// Moved to a monitor of another scale, the window takes the rectangle Windows
// suggests and its pictures follow; here the message is sent as Windows would.
TEST_F(DialogPictures, AMoveToAMonitorOfAnotherScaleRedrawsThePicturesForIt) {
    CReflasherDlg dialog(rig_.Services());
    SIZE busyBefore{}, busyAfter{};
    RECT taken{};
    int dpiAfter = 0;
    HICON iconBefore = nullptr, iconAfter = nullptr;
    const RECT suggested{40, 30, 40 + 900, 30 + 640};
    Run(dialog, [&](HWND d) {
        Sleep(300);
        busyBefore = BitmapSize(BusyBitmap(d));
        iconBefore = dialog.appIcon.get();
        dialogThread_.Run([&] {
            SendMessageW(d, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(192, 192),
                         reinterpret_cast<LPARAM>(&suggested));
            GetWindowRect(d, &taken);
            dpiAfter = dialog.Dpi();
            iconAfter = dialog.appIcon.get();
        });
        for (int i = 0; i < 40 && BitmapSize(BusyBitmap(d)).cx != 106; ++i) Sleep(50);
        busyAfter = BitmapSize(BusyBitmap(d));
        Close(d);
    });
    EXPECT_EQ(busyBefore.cx, 53);  // the prefix is at 96 dpi
    EXPECT_EQ(dpiAfter, 192);
    EXPECT_EQ(taken.left, suggested.left);
    EXPECT_EQ(taken.top, suggested.top);
    EXPECT_EQ(taken.right, suggested.right);
    EXPECT_EQ(taken.bottom, suggested.bottom);
    EXPECT_EQ(busyAfter.cx, 106);
    EXPECT_EQ(busyAfter.cy, 142);
    EXPECT_NE(iconAfter, iconBefore);  // loaded anew for the scale
}

}  // namespace
