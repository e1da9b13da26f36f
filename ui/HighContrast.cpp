#include "ui/HighContrast.h"

#include "ui/PictureScale.h"

namespace reflasher {
namespace {

// GDI's 0x00BBGGRR as a pixel's 0x00RRGGBB (the same swap both ways).
std::uint32_t SwapRedBlue(std::uint32_t colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

int Lightness(std::uint32_t pixel) {
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return (299 * r + 587 * g + 114 * b) / 1000;
}

}  // namespace

std::optional<PictureInk> PictureInkFor(bool highContrast, GdiColor windowText, GdiColor window) {
    if (!highContrast) return std::nullopt;
    return PictureInk{windowText & 0xFFFFFF, window & 0xFFFFFF};
}

void InkPixels(Pixels& pixels, const PictureInk& ink, const std::uint32_t* key) {
    std::uint32_t text = SwapRedBlue(ink.text), ground = SwapRedBlue(ink.window);
    if (key != nullptr) {
        if (text == *key) text ^= 1;
        if (ground == *key) ground ^= 1;
    }
    for (std::uint32_t& pixel : pixels.rgb) {
        if (key != nullptr && pixel == *key) continue;
        pixel = Lightness(pixel) >= kInkGroundLightness ? ground : text;
    }
}

}  // namespace reflasher
