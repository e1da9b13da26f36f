// PNG files (8-bit RGBA, no interlace): the form the largest icon image takes.
#pragma once

#include "tools/art/Bytes.h"
#include "tools/art/Image.h"

namespace reflasher::art {

Bytes EncodePng(const Image& image);

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size);

}  // namespace reflasher::art
