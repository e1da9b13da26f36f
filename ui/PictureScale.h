// Which of the drawn picture sets the dialog shows at a display's DPI, and at
// what size. Sets are drawn for 100, 125, 150, 175 and 200% (96 to 192 dpi); a
// DPI between them takes the nearest set, and the set's pictures are then scaled
// smoothly (ScalePixels) to the DPI's own size.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "ui/GdiInterface.h"

namespace reflasher {

constexpr int kDefaultDpi = 96;

// The percent of the nearest drawn set; halfway between two, the larger (scaling
// down keeps more detail than scaling up).
int NearestPictureScale(int dpi);

// The 100% pictures' sizes.
constexpr int kBusyWidth = 53, kBusyHeight = 71;
constexpr int kLogoWidth = 96, kLogoHeight = 69;

// A length of a 100% picture at `dpi`, rounded to the nearest pixel (and at least 1).
int ScaledLength(int length100, int dpi);

// The resource of busy frame `frame` (0..3) and of the logo in the set for `percent`.
int BusyFrameResource(int frame, int percent);
int LogoResource(int percent);

// 0x00RRGGBB pixels, top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;
};

// `source` scaled to width x height by averaging the area each target pixel covers.
// With `key`, pixels of that colour count as transparent: they don't tint their
// neighbours, and a target pixel that is mostly key stays exactly key, so the
// key colour can still be left out when drawing.
Pixels ScalePixels(const Pixels& source, int width, int height, const std::uint32_t* key = nullptr);

// Busy frame `frame` (0..3) and the logo for `dpi`: the nearest set's bitmap,
// scaled smoothly to the DPI's size when the set isn't drawn for it (the logo
// keeping its cyan surround exact), and with `ink` then drawn in its two colours
// (ui/HighContrast.h). Null when it can't be loaded or inked; the unscaled bitmap
// when only the scaling fails.
GdiBitmap LoadBusyFrame(Gdi& gdi, int frame, int dpi,
                        const std::optional<PictureInk>& ink = std::nullopt);
GdiBitmap LoadLogo(Gdi& gdi, int dpi, const std::optional<PictureInk>& ink = std::nullopt);

}  // namespace reflasher
