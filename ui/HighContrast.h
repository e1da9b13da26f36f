// The pictures under high contrast. A high-contrast theme gives every window its own
// few colours; the logo and the busy pictures, in their own colours on a fixed light
// ground, would be bright patches in a dark theme. So while high contrast is on they
// are drawn in the theme's text colour on its window colour: a pixel about as light
// as the pictures' grounds, the paper and the lettering takes the window colour, every
// darker one (outlines, the head, the dots) the text colour. The logo's cyan surround
// stays left out, so the dialog's own background still shows through it.
#pragma once

#include <cstdint>
#include <optional>

#include "ui/GdiInterface.h"

namespace reflasher {

struct Pixels;

// The colours the pictures are drawn in: the theme's (COLOR_WINDOWTEXT, COLOR_WINDOW)
// while high contrast is on; none, their own colours, otherwise.
std::optional<PictureInk> PictureInkFor(bool highContrast, GdiColor windowText, GdiColor window);

// From this lightness (0..255, by the eye's weights) on, a pixel is ground.
constexpr int kInkGroundLightness = 192;

// Every pixel of `pixels` (0x00RRGGBB) made ink's text or window colour by its
// lightness. With `key`, pixels of that colour stay as they are (they are left out
// when drawn), and an ink colour that happens to be the key is moved one step off it.
void InkPixels(Pixels& pixels, const PictureInk& ink, const std::uint32_t* key = nullptr);

}  // namespace reflasher
