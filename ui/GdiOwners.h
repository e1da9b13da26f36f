// Move-only owners over the Gdi interface, so every bitmap and memory DC the
// animation and the logo make is released exactly once, and every selection
// into a DC is undone before the DC goes.
#pragma once

#include <utility>

#include "ui/GdiInterface.h"

namespace reflasher {

class OwnedBitmap {
public:
    OwnedBitmap() = default;
    OwnedBitmap(Gdi& gdi, GdiBitmap bitmap) : gdi_(&gdi), bitmap_(bitmap) {}
    ~OwnedBitmap() { Reset(); }
    OwnedBitmap(OwnedBitmap&& other) noexcept
        : gdi_(other.gdi_), bitmap_(std::exchange(other.bitmap_, GdiBitmap{})) {}
    OwnedBitmap& operator=(OwnedBitmap&& other) noexcept {
        if (this != &other) {
            Reset();
            gdi_ = other.gdi_;
            bitmap_ = std::exchange(other.bitmap_, GdiBitmap{});
        }
        return *this;
    }
    OwnedBitmap(const OwnedBitmap&) = delete;
    OwnedBitmap& operator=(const OwnedBitmap&) = delete;

    GdiBitmap get() const { return bitmap_; }
    explicit operator bool() const { return static_cast<bool>(bitmap_); }
    void Reset() {
        if (bitmap_) gdi_->DeleteBitmap(std::exchange(bitmap_, GdiBitmap{}));
    }

private:
    Gdi* gdi_ = nullptr;
    GdiBitmap bitmap_;
};

class OwnedDc {
public:
    OwnedDc(Gdi& gdi, GdiDc dc) : gdi_(gdi), dc_(dc) {}
    ~OwnedDc() {
        if (dc_) gdi_.DeleteDc(dc_);
    }
    OwnedDc(const OwnedDc&) = delete;
    OwnedDc& operator=(const OwnedDc&) = delete;

    GdiDc get() const { return dc_; }
    explicit operator bool() const { return static_cast<bool>(dc_); }

private:
    Gdi& gdi_;
    GdiDc dc_;
};

// A bitmap selected into a DC for this scope; the DC's own bitmap goes back at the end.
class BitmapSelection {
public:
    BitmapSelection(Gdi& gdi, GdiDc dc, GdiBitmap bitmap)
        : gdi_(gdi), dc_(dc), previous_(gdi.SelectBitmap(dc, bitmap)) {}
    ~BitmapSelection() {
        if (previous_) gdi_.SelectBitmap(dc_, previous_);
    }
    BitmapSelection(const BitmapSelection&) = delete;
    BitmapSelection& operator=(const BitmapSelection&) = delete;

    // False when the selection failed (then nothing is selected and nothing is undone).
    bool Selected() const { return static_cast<bool>(previous_); }

private:
    Gdi& gdi_;
    GdiDc dc_;
    GdiBitmap previous_;
};

}  // namespace reflasher
