#include "ui/Win32Gdi.h"

#include "framework/WinApp.h"

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

bool Win32Gdi::TransparentBlt(GdiDc target, int x, int y, int width, int height, GdiDc source,
                              int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                              reflasher::GdiColor transparent) {
    // gdi32's own: msimg32's TransparentBlt only forwards to it, and msimg32 is a DLL
    // Windows would look for beside the program first.
    return ::GdiTransparentBlt(Native(target), x, y, width, height, Native(source), sourceX,
                               sourceY, sourceWidth, sourceHeight, transparent) != FALSE;
}
