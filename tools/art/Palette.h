// Reducing a picture to a colour table for the 4- and 8-bit formats.
#pragma once

#include "tools/art/Image.h"

namespace reflasher::art {

// The sixteen colours of the standard 4-bit palette, in their usual order.
std::vector<Rgba> StandardPalette16();

// Maps every pixel to the nearest colour of `palette` (alpha ignored).
IndexedImage MapToPalette(const Image& image, const std::vector<Rgba>& palette);

// Builds a table of at most `maxColours` from the picture's own colours: all of
// them when they fit, else the most frequent, the rest mapped to the nearest.
// Colours listed in `first` open the table in that order.
IndexedImage ReduceColours(const Image& image, std::size_t maxColours,
                           const std::vector<Rgba>& first = {});

}  // namespace reflasher::art
