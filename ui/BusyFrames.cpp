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

void PictureLook::SetInk(const std::optional<PictureInk>& ink) {
    ink_ =
        !ink ? 0 : kInkSet | std::uint64_t{ink->text & 0xFFFFFF} << 24 | (ink->window & 0xFFFFFF);
}

int PictureLook::Dpi() const {
    const int dpi = dpi_.load();
    return dpi > 0 ? dpi : kDefaultDpi;
}

std::optional<PictureInk> PictureLook::Ink() const {
    const std::uint64_t ink = ink_.load();
    if (ink == 0) return std::nullopt;
    return PictureInk{static_cast<GdiColor>(ink >> 24) & 0xFFFFFF,
                      static_cast<GdiColor>(ink) & 0xFFFFFF};
}

BusyFrames::BusyFrames(Gdi& gdi, PictureControl& picture, const PictureLook* look)
    : gdi_(gdi),
      picture_(picture),
      look_(look),
      loadedDpi_(WantedDpi()),
      loadedInk_(WantedInk()),
      frames_(Load(loadedDpi_, loadedInk_)) {
    // The template's picture is drawn for 96 dpi in its own colours.
    if (loadedDpi_ != kDefaultDpi || loadedInk_) Replace(0);
}

BusyFrames::~BusyFrames() { ClearPicture(); }

int BusyFrames::WantedDpi() const { return look_ != nullptr ? look_->Dpi() : kDefaultDpi; }

std::optional<PictureInk> BusyFrames::WantedInk() const {
    return look_ != nullptr ? look_->Ink() : std::nullopt;
}

BusyFrames::Frames BusyFrames::Load(int dpi, const std::optional<PictureInk>& ink) {
    Frames frames;
    for (int i = 0; i < kCount; ++i) {
        frames[i] = OwnedBitmap(gdi_, LoadBusyFrame(gdi_, i, dpi, ink));
    }
    return frames;
}

void BusyFrames::Show(int index) {
    FollowLook();
    if (!Loaded(index)) return;
    Put(frames_[index].get());
    shown_ = index;
}

void BusyFrames::ClearPicture() {
    Put(GdiBitmap{});
    shown_ = -1;
}

void BusyFrames::FollowLook() {
    const int dpi = WantedDpi();
    const std::optional<PictureInk> ink = WantedInk();
    if (dpi == loadedDpi_ && ink == loadedInk_) return;
    Frames old = std::exchange(frames_, Load(dpi, ink));
    loadedDpi_ = dpi;
    loadedInk_ = ink;
    // The new version of what is on show (the first frame for the template's
    // picture) goes up before the old frames are released at the end of this scope.
    Replace(shown_ < 0 ? 0 : shown_, &old);
}

void BusyFrames::Replace(int index, const Frames* old) {
    if (Loaded(index)) {
        Put(frames_[index].get(), old);
        shown_ = index;
    } else {
        Put(GdiBitmap{}, old);
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
