// The drawing interface of the animation and the logo, forwarded to GDI, the
// busy picture (IDC_BUSY_PICTURE) as a picture control, and the colours the
// pictures take under high contrast.
#pragma once

#include <windows.h>

#include <optional>

#include "framework/Controls.h"
#include "ui/GdiInterface.h"

class Win32Gdi : public reflasher::Gdi {
public:
    static HBITMAP Native(reflasher::GdiBitmap bitmap) { return static_cast<HBITMAP>(bitmap.raw); }
    static HDC Native(reflasher::GdiDc dc) { return static_cast<HDC>(dc.raw); }
    static reflasher::GdiBitmap Wrap(HBITMAP bitmap) { return reflasher::GdiBitmap{bitmap}; }
    static reflasher::GdiDc Wrap(HDC dc) { return reflasher::GdiDc{dc}; }

    reflasher::GdiBitmap LoadBitmapResource(int resourceId) override;
    bool BitmapSize(reflasher::GdiBitmap bitmap, int* width, int* height) override;
    void DeleteBitmap(reflasher::GdiBitmap bitmap) override;
    reflasher::GdiDc CreateCompatibleDc(reflasher::GdiDc like) override;
    void DeleteDc(reflasher::GdiDc dc) override;
    reflasher::GdiBitmap SelectBitmap(reflasher::GdiDc dc, reflasher::GdiBitmap bitmap) override;
    reflasher::GdiBitmap ScaleBitmap(reflasher::GdiBitmap source, int width, int height,
                                     bool keyedOnCyan) override;
    reflasher::GdiBitmap InkBitmap(reflasher::GdiBitmap source, const reflasher::PictureInk& ink,
                                   bool keyedOnCyan) override;
    bool TransparentBlt(reflasher::GdiDc target, int x, int y, int width, int height,
                        reflasher::GdiDc source, int sourceX, int sourceY, int sourceWidth,
                        int sourceHeight, reflasher::GdiColor transparent) override;
};

// STM_SETIMAGE sent to the static control (a blocking send its thread carries out).
class StaticPicture : public reflasher::PictureControl {
public:
    explicit StaticPicture(const CStatic& control) : control_(control) {}
    reflasher::GdiBitmap SetImage(reflasher::GdiBitmap bitmap) override {
        return Win32Gdi::Wrap(control_.SetBitmap(Win32Gdi::Native(bitmap)));
    }

private:
    const CStatic& control_;
};

// The theme's text and window colours while high contrast is on; none otherwise.
std::optional<reflasher::PictureInk> SystemPictureInk();
