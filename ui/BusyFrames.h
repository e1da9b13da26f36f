// The four pictures of the busy animation (IDB_BUSY_FRAME_1 to IDB_BUSY_FRAME_4,
// or their set for the display's DPI), loaded once and kept, and shown in the
// picture control. What the control hands back when a picture is replaced is
// released here unless it is one of ours: the template's own IDB_BUSY_FRAME_1
// the first time, or a copy the control made of ours. When the DPI moves (the
// window went to a monitor of another scale), the frames are loaded anew and the
// one on show is replaced by its new version.
#pragma once

#include <array>
#include <atomic>

#include "ui/GdiInterface.h"
#include "ui/GdiOwners.h"

namespace reflasher {

class BusyFrames {
public:
    static constexpr int kCount = 4;

    // Loads the frames for `*dpi` (96 without one); one that can't be loaded is
    // skipped when its turn comes. At another DPI than 96 the first frame replaces
    // the template's picture at once, which is drawn for 96.
    BusyFrames(Gdi& gdi, PictureControl& picture, const std::atomic<int>* dpi = nullptr);
    // Takes the picture out of the control first, so it never holds a deleted bitmap.
    ~BusyFrames();
    BusyFrames(const BusyFrames&) = delete;
    BusyFrames& operator=(const BusyFrames&) = delete;

    // Frame `index` (0 for IDB_BUSY_FRAME_1 ... 3 for IDB_BUSY_FRAME_4) in the control.
    void Show(int index);
    // Leaves the control without a picture.
    void ClearPicture();
    // Reloads the frames if the DPI has moved since they were loaded.
    void FollowDpi();

    bool IsOurs(GdiBitmap bitmap) const;
    bool Loaded(int index) const;
    int LoadedDpi() const { return loadedDpi_; }

private:
    using Frames = std::array<OwnedBitmap, kCount>;
    int WantedDpi() const;
    Frames Load(int dpi);
    // Puts `bitmap` (maybe null) up and releases what comes back unless it is in
    // frames_ or `old` (which go by themselves).
    void Put(GdiBitmap bitmap, const Frames* old = nullptr);

    Gdi& gdi_;
    PictureControl& picture_;
    const std::atomic<int>* dpi_;
    int loadedDpi_;
    int shown_ = -1;  // the frame on show; -1 for the template's picture, or none
    Frames frames_;
};

}  // namespace reflasher
