#include "ui/portable/BusyFrames.h"

#include "resources/resource.h"

namespace reflasher {

BusyFrames::BusyFrames(Gdi& gdi, PictureControl& picture) : gdi_(gdi), picture_(picture) {
    for (int i = 0; i < kCount; ++i) {
        frames_[i] = OwnedBitmap(gdi_, gdi_.LoadBitmapResource(IDB_BUSY_FRAME_1 + i));
    }
}

BusyFrames::~BusyFrames() { ClearPicture(); }

void BusyFrames::Show(int index) {
    if (!Loaded(index)) return;
    TakeBack(picture_.SetImage(frames_[index].get()));
}

void BusyFrames::ClearPicture() { TakeBack(picture_.SetImage(GdiBitmap{})); }

bool BusyFrames::IsOurs(GdiBitmap bitmap) const {
    for (const OwnedBitmap& frame : frames_) {
        if (frame && frame.get() == bitmap) return true;
    }
    return false;
}

bool BusyFrames::Loaded(int index) const {
    return index >= 0 && index < kCount && static_cast<bool>(frames_[index]);
}

void BusyFrames::TakeBack(GdiBitmap returned) {
    // Ours stay loaded for the next cycle; anything else was handed to us to release.
    if (returned && !IsOurs(returned)) gdi_.DeleteBitmap(returned);
}

}  // namespace reflasher
