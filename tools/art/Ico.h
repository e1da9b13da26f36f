// Icon files: a directory of images, each a bitmap body or a PNG.
#pragma once

#include <vector>

#include "tools/art/Bytes.h"

namespace reflasher::art {

struct IconEntry {
    int size;          // width = height, 1..256
    int bitsPerPixel;  // 4, 8 or 32
    Bytes body;        // from EncodeIconDib/EncodeIconDib32, or a PNG file
};

Bytes EncodeIco(const std::vector<IconEntry>& entries);

}  // namespace reflasher::art
