#include "tools/art/Png.h"

#include <array>
#include <cstring>

#include "tools/art/Deflate.h"

namespace reflasher::art {
namespace {

std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

void PutChunk(Bytes& out, const char type[4], const Bytes& body) {
    PutBe32(out, static_cast<std::uint32_t>(body.size()));
    Bytes typed(type, type + 4);
    Append(typed, body);
    Append(out, typed);
    PutBe32(out, Crc32(typed.data(), typed.size()));  // covers type and body
}

}  // namespace

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = MakeCrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

Bytes EncodePng(const Image& image) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

    Bytes header;
    PutBe32(header, image.width);
    PutBe32(header, image.height);
    PutU8(header, 8);  // bits per channel
    PutU8(header, 6);  // colour type: RGB with alpha
    PutU8(header, 0);  // deflate
    PutU8(header, 0);  // adaptive filtering (each row names its filter)
    PutU8(header, 0);  // not interlaced
    PutChunk(out, "IHDR", header);

    Bytes raw;
    raw.reserve(std::size_t(image.height) * (1 + 4 * image.width));
    for (int y = 0; y < image.height; ++y) {
        PutU8(raw, 0);  // filter "none": LZ77 already finds the repeated rows
        for (int x = 0; x < image.width; ++x) {
            const Rgba& p = image.at(x, y);
            raw.insert(raw.end(), {p.r, p.g, p.b, p.a});
        }
    }
    PutChunk(out, "IDAT", ZlibCompress(raw));
    PutChunk(out, "IEND", {});
    return out;
}

}  // namespace reflasher::art
