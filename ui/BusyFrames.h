// The four pictures of the busy animation (IDB_BUSY_FRAME_1 to IDB_BUSY_FRAME_4,
// or their set for the display's DPI), loaded once and kept, and shown in the
// picture control. What the control hands back when a picture is replaced is
// released here unless it is one of ours: the template's own IDB_BUSY_FRAME_1
// the first time, or a copy the control made of ours. When the DPI moves (the
// window went to a monitor of another scale), the frames are loaded anew and the
// one on show is replaced by its new version; so too when high contrast is turned
// on or off, or its theme changes.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>

#include "ui/GdiInterface.h"
#include "ui/GdiOwners.h"

namespace reflasher {

// What the frames are drawn for: the DPI of the window's monitor and, under high
// contrast, the theme's colours. Set on the dialog's thread, read on the animation's.
class PictureLook {
public:
    void SetDpi(int dpi) { dpi_ = dpi; }
    void SetInk(const std::optional<PictureInk>& ink);
    // 96 until a DPI is known.
    int Dpi() const;
    std::optional<PictureInk> Ink() const;

private:
    std::atomic<int> dpi_{96};
    // One word, so the two colours are always read together: 0 for none, else
    // kInkSet, the text colour from bit 24 up and the window colour below it.
    static constexpr std::uint64_t kInkSet = std::uint64_t{1} << 48;
    std::atomic<std::uint64_t> ink_{0};
};

class BusyFrames {
public:
    static constexpr int kCount = 4;

    // Loads the frames for `*look` (96 dpi in their own colours without one); one that
    // can't be loaded is skipped when its turn comes. At another DPI than 96, or under
    // high contrast, the first frame replaces the template's picture at once.
    BusyFrames(Gdi& gdi, PictureControl& picture, const PictureLook* look = nullptr);
    // Takes the picture out of the control first, so it never holds a deleted bitmap.
    ~BusyFrames();
    BusyFrames(const BusyFrames&) = delete;
    BusyFrames& operator=(const BusyFrames&) = delete;

    // Frame `index` (0 for IDB_BUSY_FRAME_1 ... 3 for IDB_BUSY_FRAME_4) in the control.
    void Show(int index);
    // Leaves the control without a picture.
    void ClearPicture();
    // Reloads the frames if the DPI or the ink has changed since they were loaded.
    void FollowLook();

    bool IsOurs(GdiBitmap bitmap) const;
    bool Loaded(int index) const;
    int LoadedDpi() const { return loadedDpi_; }

private:
    using Frames = std::array<OwnedBitmap, kCount>;
    int WantedDpi() const;
    std::optional<PictureInk> WantedInk() const;
    Frames Load(int dpi, const std::optional<PictureInk>& ink);
    // Puts frame `index` up in place of what is on show, or nothing when it isn't loaded.
    void Replace(int index, const Frames* old = nullptr);
    // Puts `bitmap` (maybe null) up and releases what comes back unless it is in
    // frames_ or `old` (which go by themselves).
    void Put(GdiBitmap bitmap, const Frames* old = nullptr);

    Gdi& gdi_;
    PictureControl& picture_;
    const PictureLook* look_;
    int loadedDpi_;
    std::optional<PictureInk> loadedInk_;
    int shown_ = -1;  // the frame on show; -1 for the template's picture, or none
    Frames frames_;
};

}  // namespace reflasher
