#include "tools/art/Bmp.h"

#include "tools/art/Rle8.h"

namespace reflasher::art {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dpi, what paint programs write

std::size_t Stride(int width, int bitsPerPixel) {
    return ((std::size_t(width) * bitsPerPixel + 31) / 32) * 4;
}

void PutInfoHeader(Bytes& out, int width, int height, int bitsPerPixel, std::uint32_t compression,
                   std::size_t imageSize, std::size_t coloursUsed) {
    PutLe32(out, kInfoHeaderSize);
    PutLe32(out, width);
    PutLe32(out, height);  // positive: rows stored bottom-up
    PutLe16(out, 1);       // planes
    PutLe16(out, bitsPerPixel);
    PutLe32(out, compression);
    PutLe32(out, static_cast<std::uint32_t>(imageSize));
    PutLe32(out, kPixelsPerMetre);
    PutLe32(out, kPixelsPerMetre);
    PutLe32(out, static_cast<std::uint32_t>(coloursUsed));
    PutLe32(out, 0);  // all colours important
}

void PutFileHeader(Bytes& out, std::size_t fileSize, std::size_t bitsOffset) {
    PutU8(out, 'B');
    PutU8(out, 'M');
    PutLe32(out, static_cast<std::uint32_t>(fileSize));
    PutLe32(out, 0);
    PutLe32(out, static_cast<std::uint32_t>(bitsOffset));
}

void PutPalette(Bytes& out, const std::vector<Rgba>& palette, std::size_t entries) {
    for (std::size_t i = 0; i < entries; ++i) {
        const Rgba c = i < palette.size() ? palette[i] : Rgba{0, 0, 0, 0};
        out.insert(out.end(), {c.b, c.g, c.r, 0});
    }
}

// Packs indices of 1, 4 or 8 bits per pixel, rows bottom-up, each padded to 32 bits.
Bytes PackRows(int width, int height, int bitsPerPixel, const std::vector<std::uint8_t>& values) {
    const std::size_t stride = Stride(width, bitsPerPixel);
    Bytes out(stride * height, 0);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = out.data() + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::size_t bit = std::size_t(x) * bitsPerPixel;
            const int shift = 8 - bitsPerPixel - int(bit % 8);  // leftmost pixel in the high bits
            row[bit / 8] |= static_cast<std::uint8_t>(values[std::size_t(y) * width + x] << shift);
        }
    }
    return out;
}

Bytes AndMask(int width, int height, const std::vector<bool>& transparent) {
    std::vector<std::uint8_t> bits(transparent.begin(), transparent.end());
    return PackRows(width, height, 1, bits);
}

}  // namespace

Bytes EncodeBmp24(const Image& image) {
    const std::size_t stride = Stride(image.width, 24);
    Bytes bits(stride * image.height, 0);
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t* row = bits.data() + stride * (image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const Rgba& p = image.at(x, y);
            row[3 * x] = p.b;
            row[3 * x + 1] = p.g;
            row[3 * x + 2] = p.r;
        }
    }
    const std::size_t offset = kFileHeaderSize + kInfoHeaderSize;
    Bytes out;
    PutFileHeader(out, offset + bits.size(), offset);
    PutInfoHeader(out, image.width, image.height, 24, kBiRgb, bits.size(), 0);
    Append(out, bits);
    return out;
}

Bytes EncodeBmpRle8(const IndexedImage& image) {
    const Bytes bits = EncodeRle8(image.indices, image.width, image.height);
    const std::size_t offset = kFileHeaderSize + kInfoHeaderSize + 4 * image.palette.size();
    Bytes out;
    PutFileHeader(out, offset + bits.size(), offset);
    PutInfoHeader(out, image.width, image.height, 8, kBiRle8, bits.size(), image.palette.size());
    PutPalette(out, image.palette, image.palette.size());
    Append(out, bits);
    return out;
}

Bytes EncodeIconDib(const IndexedImage& image, int bitsPerPixel,
                    const std::vector<bool>& transparent) {
    const Bytes colour = PackRows(image.width, image.height, bitsPerPixel, image.indices);
    const Bytes mask = AndMask(image.width, image.height, transparent);
    Bytes out;
    // Icon headers count the colour table in full and give the height of colour and mask together.
    PutInfoHeader(out, image.width, 2 * image.height, bitsPerPixel, kBiRgb,
                  colour.size() + mask.size(), 0);
    PutPalette(out, image.palette, std::size_t(1) << bitsPerPixel);
    Append(out, colour);
    Append(out, mask);
    return out;
}

Bytes EncodeIconDib32(const Image& image) {
    Bytes colour;
    colour.reserve(image.pixels.size() * 4);
    std::vector<bool> transparent(image.pixels.size());
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgba& p = image.at(x, y);
            colour.insert(colour.end(), {p.b, p.g, p.r, p.a});
        }
    }
    for (std::size_t i = 0; i < image.pixels.size(); ++i) transparent[i] = image.pixels[i].a == 0;
    const Bytes mask = AndMask(image.width, image.height, transparent);
    Bytes out;
    PutInfoHeader(out, image.width, 2 * image.height, 32, kBiRgb, colour.size() + mask.size(), 0);
    Append(out, colour);
    Append(out, mask);
    return out;
}

}  // namespace reflasher::art
