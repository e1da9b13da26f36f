#include "ui/win32/Win32Gdi.h"

#include "framework/WinApp.h"
#include "ui/HighContrast.h"
#include "ui/LogoDrawing.h"
#include "ui/PictureScale.h"

using reflasher::GdiBitmap;
using reflasher::GdiDc;

GdiBitmap Win32Gdi::LoadBitmapResource(int resourceId) {
    // No LR_ flags: a device-dependent bitmap, as the dialog's own pictures are.
    return Wrap(
        static_cast<HBITMAP>(LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(resourceId),
                                        IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
}

bool Win32Gdi::BitmapSize(GdiBitmap bitmap, int* width, int* height) {
    BITMAP info{};
    if (GetObjectW(Native(bitmap), sizeof info, &info) != sizeof info) return false;
    *width = info.bmWidth;
    *height = info.bmHeight;
    return true;
}

void Win32Gdi::DeleteBitmap(GdiBitmap bitmap) { DeleteObject(Native(bitmap)); }

GdiDc Win32Gdi::CreateCompatibleDc(GdiDc like) { return Wrap(CreateCompatibleDC(Native(like))); }

void Win32Gdi::DeleteDc(GdiDc dc) { DeleteDC(Native(dc)); }

GdiBitmap Win32Gdi::SelectBitmap(GdiDc dc, GdiBitmap bitmap) {
    const HGDIOBJ previous = SelectObject(Native(dc), Native(bitmap));
    return previous == HGDI_ERROR ? GdiBitmap{} : Wrap(static_cast<HBITMAP>(previous));
}

namespace {

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    return format;
}

// GDI's 0x00BBGGRR key as the 0x00RRGGBB of a 32-bit DIB.
constexpr std::uint32_t kCyanPixel = ((reflasher::kLogoTransparentColor & 0xFF) << 16) |
                                     (reflasher::kLogoTransparentColor & 0xFF00) |
                                     ((reflasher::kLogoTransparentColor >> 16) & 0xFF);

// `source` read as pixels, reworked by `rework` and written into a new bitmap of
// the screen's kind, as the resources are loaded; null on failure.
template <class Rework>
GdiBitmap Reworked(GdiBitmap source, Rework rework) {
    BITMAP info{};
    if (GetObjectW(Win32Gdi::Native(source), sizeof info, &info) != sizeof info) return {};
    reflasher::Pixels pixels{info.bmWidth, info.bmHeight, {}};
    pixels.rgb.resize(static_cast<std::size_t>(pixels.width) * pixels.height);
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr) return {};
    BITMAPINFO format = TopDown32(pixels.width, pixels.height);
    HBITMAP made = nullptr;
    if (GetDIBits(screen, Win32Gdi::Native(source), 0, static_cast<UINT>(pixels.height),
                  pixels.rgb.data(), &format, DIB_RGB_COLORS) == pixels.height) {
        for (std::uint32_t& pixel : pixels.rgb) pixel &= 0xFFFFFF;
        const reflasher::Pixels out = rework(pixels);
        made = CreateCompatibleBitmap(screen, out.width, out.height);
        format = TopDown32(out.width, out.height);
        if (made != nullptr &&
            SetDIBits(screen, made, 0, static_cast<UINT>(out.height), out.rgb.data(), &format,
                      DIB_RGB_COLORS) != out.height) {
            DeleteObject(made);
            made = nullptr;
        }
    }
    ReleaseDC(nullptr, screen);
    return Win32Gdi::Wrap(made);
}

}  // namespace

GdiBitmap Win32Gdi::ScaleBitmap(GdiBitmap source, int width, int height, bool keyedOnCyan) {
    if (width <= 0 || height <= 0) return {};
    return Reworked(source, [&](const reflasher::Pixels& pixels) {
        return reflasher::ScalePixels(pixels, width, height, keyedOnCyan ? &kCyanPixel : nullptr);
    });
}

GdiBitmap Win32Gdi::InkBitmap(GdiBitmap source, const reflasher::PictureInk& ink,
                              bool keyedOnCyan) {
    return Reworked(source, [&](reflasher::Pixels pixels) {
        reflasher::InkPixels(pixels, ink, keyedOnCyan ? &kCyanPixel : nullptr);
        return pixels;
    });
}

std::optional<reflasher::PictureInk> SystemPictureInk() {
    HIGHCONTRASTW highContrast{};
    highContrast.cbSize = sizeof highContrast;
    const bool on =
        SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0) &&
        (highContrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
    return reflasher::PictureInkFor(on, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW));
}

bool Win32Gdi::TransparentBlt(GdiDc target, int x, int y, int width, int height, GdiDc source,
                              int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                              reflasher::GdiColor transparent) {
    // gdi32's own: msimg32's TransparentBlt only forwards to it, and msimg32 is a DLL
    // Windows would look for beside the program first.
    return ::GdiTransparentBlt(Native(target), x, y, width, height, Native(source), sourceX,
                               sourceY, sourceWidth, sourceHeight, transparent) != FALSE;
}
