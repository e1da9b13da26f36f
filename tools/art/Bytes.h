// Appending fixed-width integers to a byte buffer: the picture formats mix
// little-endian (BMP, ICO) and big-endian (PNG) fields.
#pragma once

#include <cstdint>
#include <vector>

namespace reflasher::art {

using Bytes = std::vector<std::uint8_t>;

inline void PutU8(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
}

inline void PutLe16(Bytes& out, std::uint32_t value) {
    PutU8(out, value);
    PutU8(out, value >> 8);
}

inline void PutLe32(Bytes& out, std::uint32_t value) {
    PutLe16(out, value);
    PutLe16(out, value >> 16);
}

inline void PutBe32(Bytes& out, std::uint32_t value) {
    PutU8(out, value >> 24);
    PutU8(out, value >> 16);
    PutU8(out, value >> 8);
    PutU8(out, value);
}

inline void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

}  // namespace reflasher::art
