// The four pictures of the busy animation (IDB_BUSY_FRAME_1 to IDB_BUSY_FRAME_4),
// loaded once and kept, and shown in the picture control. What the control hands
// back when a picture is replaced is released here unless it is one of the four:
// the template's own IDB_BUSY_FRAME_1 the first time, or a copy the control made of ours.
#pragma once

#include <array>

#include "ui/portable/GdiInterface.h"
#include "ui/portable/GdiOwners.h"

namespace reflasher {

class BusyFrames {
public:
    static constexpr int kCount = 4;

    // Loads the frames; one that can't be loaded is skipped when its turn comes.
    BusyFrames(Gdi& gdi, PictureControl& picture);
    // Takes the picture out of the control first, so it never holds a deleted bitmap.
    ~BusyFrames();
    BusyFrames(const BusyFrames&) = delete;
    BusyFrames& operator=(const BusyFrames&) = delete;

    // Frame `index` (0 for IDB_BUSY_FRAME_1 ... 3 for IDB_BUSY_FRAME_4) in the control.
    void Show(int index);
    // Leaves the control without a picture.
    void ClearPicture();

    bool IsOurs(GdiBitmap bitmap) const;
    bool Loaded(int index) const;

private:
    void TakeBack(GdiBitmap returned);

    Gdi& gdi_;
    PictureControl& picture_;
    std::array<OwnedBitmap, kCount> frames_;
};

}  // namespace reflasher
