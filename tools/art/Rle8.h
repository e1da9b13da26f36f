// Run-length encoding of 8-bit DIB pixels (BI_RLE8).
#pragma once

#include <cstdint>
#include <vector>

#include "tools/art/Bytes.h"

namespace reflasher::art {

// Encodes width x height indices given top row first. The stream stores rows
// bottom-up, each closed by an end-of-line escape, and ends with end-of-bitmap.
Bytes EncodeRle8(const std::vector<std::uint8_t>& indices, int width, int height);

}  // namespace reflasher::art
