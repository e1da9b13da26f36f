#include "tests/wine/support/Bitmaps.h"

#include <vector>

namespace reflasher::visuals {

std::optional<RgbImage> LoadBmpFile(const std::wstring& path) {
    // A device-dependent bitmap (not a DIB section, which can't hold the RLE8 logo).
    const HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (bitmap == nullptr) return std::nullopt;
    BITMAP size{};
    GetObjectW(bitmap, sizeof size, &size);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size.bmWidth;
    format.bmiHeader.biHeight = -size.bmHeight;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<unsigned char> bgra(static_cast<std::size_t>(size.bmWidth) * size.bmHeight * 4);
    const HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.bmHeight), bgra.data(),
                               &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    if (rows != size.bmHeight) return std::nullopt;
    RgbImage image;
    image.width = size.bmWidth;
    image.height = size.bmHeight;
    image.rgb.reserve(static_cast<std::size_t>(size.bmWidth) * size.bmHeight * 3);
    for (std::size_t i = 0; i < bgra.size(); i += 4) {
        image.rgb.push_back(bgra[i + 2]);
        image.rgb.push_back(bgra[i + 1]);
        image.rgb.push_back(bgra[i]);
    }
    return image;
}

RECT ClientAreaOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
}

int DifferingPixels(const RgbImage& a, const RgbImage& b) {
    if (a.width != b.width || a.height != b.height) return a.width * a.height;
    int differing = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) differing += a.At(x, y) != b.At(x, y) ? 1 : 0;
    }
    return differing;
}

}  // namespace reflasher::visuals
