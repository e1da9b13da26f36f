#include "ui/BusyFrames.h"

#include <utility>

#include "ui/PictureScale.h"

namespace reflasher {
namespace {

bool Holds(const std::array<OwnedBitmap, BusyFrames::kCount>& frames, GdiBitmap bitmap) {
    for (const OwnedBitmap& frame : frames) {
        if (frame && frame.get() == bitmap) return true;
    }
    return false;
}

}  // namespace

BusyFrames::BusyFrames(Gdi& gdi, PictureControl& picture, const std::atomic<int>* dpi)
    : gdi_(gdi), picture_(picture), dpi_(dpi), loadedDpi_(WantedDpi()), frames_(Load(loadedDpi_)) {
    if (loadedDpi_ != kDefaultDpi) Show(0);
}

BusyFrames::~BusyFrames() { ClearPicture(); }

int BusyFrames::WantedDpi() const {
    const int dpi = dpi_ != nullptr ? dpi_->load() : kDefaultDpi;
    return dpi > 0 ? dpi : kDefaultDpi;
}

BusyFrames::Frames BusyFrames::Load(int dpi) {
    Frames frames;
    for (int i = 0; i < kCount; ++i) frames[i] = OwnedBitmap(gdi_, LoadBusyFrame(gdi_, i, dpi));
    return frames;
}

void BusyFrames::Show(int index) {
    FollowDpi();
    if (!Loaded(index)) return;
    Put(frames_[index].get());
    shown_ = index;
}

void BusyFrames::ClearPicture() {
    Put(GdiBitmap{});
    shown_ = -1;
}

void BusyFrames::FollowDpi() {
    const int dpi = WantedDpi();
    if (dpi == loadedDpi_) return;
    Frames old = std::exchange(frames_, Load(dpi));
    loadedDpi_ = dpi;
    // The new version of what is on show (the first frame for the template's
    // picture) goes up before the old frames are released at the end of this scope.
    const int index = shown_ < 0 ? 0 : shown_;
    if (Loaded(index)) {
        Put(frames_[index].get(), &old);
        shown_ = index;
    } else {
        Put(GdiBitmap{}, &old);
        shown_ = -1;
    }
}

bool BusyFrames::IsOurs(GdiBitmap bitmap) const { return Holds(frames_, bitmap); }

bool BusyFrames::Loaded(int index) const {
    return index >= 0 && index < kCount && static_cast<bool>(frames_[index]);
}

void BusyFrames::Put(GdiBitmap bitmap, const Frames* old) {
    const GdiBitmap returned = picture_.SetImage(bitmap);
    // Ours stay loaded for the next cycle; anything else was handed to us to release.
    if (returned && !IsOurs(returned) && (old == nullptr || !Holds(*old, returned))) {
        gdi_.DeleteBitmap(returned);
    }
}

}  // namespace reflasher
