// The program's pictures, drawn in code so they can be remade exactly.
#pragma once

#include <array>

#include "tools/art/Image.h"

namespace reflasher::art {

constexpr int kBusyWidth = 53, kBusyHeight = 71;
constexpr int kLogoWidth = 96, kLogoHeight = 69;

// The display scales the pictures are drawn for, in percent; 100 is the size above.
constexpr int kPictureScales[] = {100, 125, 150, 175, 200};
// A length of the 100% picture at `percent`, rounded as the program rounds it.
constexpr int ScaledLength(int length, int percent) { return (length * percent + 50) / 100; }

// The busy animation: an embossing pin striking the dots of one Braille cell in
// turn; each frame adds the dot it strikes.
std::array<Image, 4> DrawBusyFrames(int percent = 100);

// The logo: the embosser with a Braille sheet coming out of it, hard-edged on a
// cyan background that the dialog keys out. Its display is a near-cyan and one
// button is yellow (cyan with red and blue swapped), so a wrong key shows.
Image DrawLogo(int percent = 100);
constexpr Rgba kLogoBackground{0, 255, 255};
constexpr Rgba kLogoDisplay{0, 240, 255};
constexpr Rgba kLogoYellowButton{255, 255, 0};

// The application icon at one size: a Braille cell and a flash on a blue tile.
// `smooth` draws anti-aliased edges (8- and 32-bit images); otherwise hard edges.
Image DrawAppIcon(int size, bool smooth);

}  // namespace reflasher::art
