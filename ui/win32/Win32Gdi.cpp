#include "ui/win32/Win32Gdi.h"

#include "framework/WinApp.h"
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

}  // namespace

GdiBitmap Win32Gdi::ScaleBitmap(GdiBitmap source, int width, int height, bool keyedOnCyan) {
    reflasher::Pixels pixels;
    if (!BitmapSize(source, &pixels.width, &pixels.height) || width <= 0 || height <= 0)
        return {};
    pixels.rgb.resize(static_cast<std::size_t>(pixels.width) * pixels.height);
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr) return {};
    BITMAPINFO format = TopDown32(pixels.width, pixels.height);
    HBITMAP scaled = nullptr;
    if (GetDIBits(screen, Native(source), 0, static_cast<UINT>(pixels.height), pixels.rgb.data(),
                  &format, DIB_RGB_COLORS) == pixels.height) {
        for (std::uint32_t& pixel : pixels.rgb) pixel &= 0xFFFFFF;
        const reflasher::Pixels out =
            reflasher::ScalePixels(pixels, width, height, keyedOnCyan ? &kCyanPixel : nullptr);
        // A bitmap of the screen's kind, as the resources are loaded.
        scaled = CreateCompatibleBitmap(screen, width, height);
        format = TopDown32(width, height);
        if (scaled != nullptr &&
            SetDIBits(screen, scaled, 0, static_cast<UINT>(height), out.rgb.data(), &format,
                      DIB_RGB_COLORS) != height) {
            DeleteObject(scaled);
            scaled = nullptr;
        }
    }
    ReleaseDC(nullptr, screen);
    return Wrap(scaled);
}

bool Win32Gdi::TransparentBlt(GdiDc target, int x, int y, int width, int height, GdiDc source,
                              int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                              reflasher::GdiColor transparent) {
    // gdi32's own: msimg32's TransparentBlt only forwards to it, and msimg32 is a DLL
    // Windows would look for beside the program first.
    return ::GdiTransparentBlt(Native(target), x, y, width, height, Native(source), sourceX,
                               sourceY, sourceWidth, sourceHeight, transparent) != FALSE;
}
