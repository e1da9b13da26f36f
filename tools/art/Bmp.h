// Device-independent bitmaps: the .bmp files the resource script names, and the
// bitmap bodies inside an icon file.
#pragma once

#include "tools/art/Bytes.h"
#include "tools/art/Image.h"

namespace reflasher::art {

// A .bmp file, 24 bits per pixel, uncompressed (alpha ignored).
Bytes EncodeBmp24(const Image& image);

// A .bmp file, 8-bit palette, run-length compressed (BI_RLE8).
Bytes EncodeBmpRle8(const IndexedImage& image);

// An icon image body: header with doubled height, colour table (4 and 8 bits),
// colour bits, then the 1-bit AND mask that marks transparent pixels.
// `transparent` has one entry per pixel, top row first.
Bytes EncodeIconDib(const IndexedImage& image, int bitsPerPixel,
                    const std::vector<bool>& transparent);
Bytes EncodeIconDib32(const Image& image);

}  // namespace reflasher::art
