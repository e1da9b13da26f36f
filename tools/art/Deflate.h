// A zlib stream (RFC 1950) around one deflate block with the fixed Huffman codes
// (RFC 1951) and greedy LZ77 matching: enough for the flat areas of an icon.
#pragma once

#include "tools/art/Bytes.h"

namespace reflasher::art {

Bytes ZlibCompress(const Bytes& data);

std::uint32_t Adler32(const Bytes& data);

}  // namespace reflasher::art
