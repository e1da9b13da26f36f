// The few drawing operations the busy animation and the logo need, behind an
// interface of ours: the program forwards them to GDI (ui/win32/Win32Gdi.h), the unit
// tests count what is alive. Handles are opaque here, so this stays portable.
#pragma once

#include <cstdint>

namespace reflasher {

// One kind of GDI handle; `Tag` keeps bitmaps and device contexts apart.
template <class Tag>
struct GdiHandle {
    void* raw = nullptr;

    explicit operator bool() const { return raw != nullptr; }
    friend bool operator==(GdiHandle a, GdiHandle b) { return a.raw == b.raw; }
    friend bool operator!=(GdiHandle a, GdiHandle b) { return a.raw != b.raw; }
};

using GdiBitmap = GdiHandle<struct GdiBitmapTag>;
using GdiDc = GdiHandle<struct GdiDcTag>;

// A colour as GDI writes it: 0x00BBGGRR.
using GdiColor = std::uint32_t;

// The two colours a picture is drawn in under high contrast (ui/HighContrast.h).
struct PictureInk {
    GdiColor text;
    GdiColor window;

    friend bool operator==(const PictureInk& a, const PictureInk& b) {
        return a.text == b.text && a.window == b.window;
    }
    friend bool operator!=(const PictureInk& a, const PictureInk& b) { return !(a == b); }
};

class Gdi {
public:
    virtual ~Gdi() = default;

    // A bitmap from the program's resources; null when it can't be loaded.
    virtual GdiBitmap LoadBitmapResource(int resourceId) = 0;
    // False when the size can't be read.
    virtual bool BitmapSize(GdiBitmap bitmap, int* width, int* height) = 0;
    virtual void DeleteBitmap(GdiBitmap bitmap) = 0;
    // A memory device context compatible with `like`; null on failure.
    virtual GdiDc CreateCompatibleDc(GdiDc like) = 0;
    virtual void DeleteDc(GdiDc dc) = 0;
    // Selects `bitmap` into `dc` and gives the bitmap it replaces; null on failure.
    virtual GdiBitmap SelectBitmap(GdiDc dc, GdiBitmap bitmap) = 0;
    // A new bitmap: `source` scaled smoothly to width x height (ScalePixels), with
    // the logo's cyan kept exact when `keyedOnCyan`; null on failure.
    virtual GdiBitmap ScaleBitmap(GdiBitmap source, int width, int height, bool keyedOnCyan) = 0;
    // A new bitmap: `source` in the two colours of `ink` (InkPixels), the logo's cyan
    // kept when `keyedOnCyan`; null on failure.
    virtual GdiBitmap InkBitmap(GdiBitmap source, const PictureInk& ink, bool keyedOnCyan) = 0;
    // Copies the rectangle, leaving out the pixels of colour `transparent`.
    virtual bool TransparentBlt(GdiDc target, int x, int y, int width, int height, GdiDc source,
                                int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                                GdiColor transparent) = 0;
};

// A picture control: what STM_SETIMAGE with IMAGE_BITMAP does to it.
class PictureControl {
public:
    virtual ~PictureControl() = default;
    // Shows `bitmap` (null: nothing) and gives the bitmap the control held before, which
    // may be one it made itself; null when it held none or the control is gone.
    virtual GdiBitmap SetImage(GdiBitmap bitmap) = 0;
};

}  // namespace reflasher
