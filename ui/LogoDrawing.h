// The logo (IDB_LOGO, or its set for the DPI) drawn whole at the top-left of the
// target at its size for the DPI; its pure cyan pixels are left out, so the
// background shows through. With `ink` (high contrast) it is drawn in those two
// colours instead of its own.
#pragma once

#include <optional>

#include "ui/GdiInterface.h"

namespace reflasher {

// RGB(0, 255, 255) as GDI writes colours (0x00BBGGRR).
constexpr GdiColor kLogoTransparentColor = 0x00FFFF00u;

// Draws nothing when any step fails; releases everything it made either way.
void DrawLogo(Gdi& gdi, GdiDc target, int dpi = 96,
              const std::optional<PictureInk>& ink = std::nullopt);

}  // namespace reflasher
