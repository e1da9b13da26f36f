// The picture generator's encoders, checked against independent decoders: a
// small BI_RLE8 reader written here from the format's rules, and zlib itself.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/art/Deflate.h"
#include "tools/art/Palette.h"
#include "tools/art/Png.h"
#include "tools/art/Rle8.h"

namespace reflasher::art {
namespace {

// Decodes a BI_RLE8 stream into top-row-first indices; nullopt if the stream
// breaks a rule (odd absolute-run padding, a row overflowing, no end marker).
std::optional<std::vector<std::uint8_t>> DecodeRle8(const Bytes& in, int width, int height) {
    std::vector<std::uint8_t> out(std::size_t(width) * height, 0xEE);
    std::size_t at = 0;
    int x = 0, row = 0;  // row counts from the bottom
    auto put = [&](std::uint8_t v) {
        if (x >= width || row >= height) return false;
        out[std::size_t(height - 1 - row) * width + x++] = v;
        return true;
    };
    while (at + 1 < in.size()) {
        const std::uint8_t count = in[at++], value = in[at++];
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                if (!put(value)) return std::nullopt;
        } else if (value == 0) {                  // end of line
            if (x != width) return std::nullopt;  // ours always fills a row first
            x = 0;
            ++row;
        } else if (value == 1) {  // end of bitmap
            if (at != in.size() || row != height) return std::nullopt;
            return out;
        } else if (value == 2) {
            return std::nullopt;  // delta: never written by us
        } else {
            if (at + value > in.size()) return std::nullopt;
            for (int i = 0; i < value; ++i)
                if (!put(in[at++])) return std::nullopt;
            if (value % 2 != 0 && in[at++] != 0) return std::nullopt;
        }
    }
    return std::nullopt;
}

std::vector<std::uint8_t> Pseudorandom(std::size_t n, std::uint32_t seed, int range) {
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>((seed >> 16) % range);
    }
    return v;
}

struct RleCase {
    std::string name;
    int width, height;
    std::vector<std::uint8_t> pixels;
};

std::vector<RleCase> RleCases() {
    std::vector<RleCase> cases = {
        {"single pixel", 1, 1, {7}},
        {"two different", 2, 1, {1, 2}},
        {"three different (shortest absolute run)", 3, 1, {1, 2, 3}},
        {"pair then run", 5, 1, {1, 2, 9, 9, 9}},
        {"odd literal then run", 8, 1, {1, 2, 3, 4, 5, 6, 6, 6}},
        {"run, literal, run", 10, 1, {4, 4, 4, 4, 1, 2, 3, 8, 8, 8}},
        {"zero indices", 4, 2, {0, 0, 0, 0, 0, 1, 0, 1}},
        {"rows differ (order)", 3, 3, {1, 1, 1, 2, 2, 2, 3, 4, 5}},
    };
    cases.push_back({"run longer than 255", 700, 1, std::vector<std::uint8_t>(700, 3)});
    std::vector<std::uint8_t> alternating(600);
    for (std::size_t i = 0; i < alternating.size(); ++i) alternating[i] = i % 2;
    cases.push_back({"literal longer than 255", 600, 1, alternating});
    for (int width = 1; width <= 40; width += 3) {
        cases.push_back({"noise width " + std::to_string(width), width, 7,
                         Pseudorandom(std::size_t(width) * 7, width, 3)});
    }
    cases.push_back({"picture-sized noise", 96, 69, Pseudorandom(96 * 69, 1, 256)});
    return cases;
}

TEST(Rle8, DecodesBackToThePixelsForEveryRowShape) {
    for (const RleCase& c : RleCases()) {
        const Bytes encoded = EncodeRle8(c.pixels, c.width, c.height);
        const auto decoded = DecodeRle8(encoded, c.width, c.height);
        ASSERT_TRUE(decoded.has_value()) << c.name << ": not a valid stream";
        EXPECT_EQ(*decoded, c.pixels) << c.name;
    }
}

TEST(Rle8, StoresRowsBottomUpAndFlatAreasAsRuns) {
    // Bottom row first: (1 2 3 4) as one absolute run, then the top row's run of 5s.
    const Bytes expected = {0, 4, 1, 2, 3, 4, 0, 0, 4, 5, 0, 0, 0, 1};
    EXPECT_EQ(EncodeRle8({5, 5, 5, 5, 1, 2, 3, 4}, 4, 2), expected);
    // A flat 96 x 69 picture: one run and an end of line a row, and the end marker.
    EXPECT_EQ(EncodeRle8(std::vector<std::uint8_t>(96 * 69, 9), 96, 69).size(), 69u * 4 + 2);
}

Bytes Inflate(const Bytes& compressed, std::size_t expectedSize) {
    Bytes out(expectedSize + 16);
    uLongf size = out.size();
    const int rc = uncompress(out.data(), &size, compressed.data(), compressed.size());
    EXPECT_EQ(rc, Z_OK);
    out.resize(rc == Z_OK ? size : 0);
    return out;
}

TEST(Deflate, ZlibInflatesEveryKindOfInput) {
    std::vector<std::pair<std::string, Bytes>> cases = {
        {"empty", {}},
        {"one byte", {0xAB}},
        {"all byte values (8- and 9-bit literal codes)", {}},
        {"long zero run (matches of 258)", Bytes(100000, 0)},
        {"noise (no matches)", Pseudorandom(5000, 7, 256)},
        {"few symbols (short matches)", Pseudorandom(20000, 3, 4)},
    };
    for (int i = 0; i < 256; ++i) cases[2].second.push_back(static_cast<std::uint8_t>(i));
    // A block repeated just inside the 32 KiB window, and one just outside it.
    Bytes far = Pseudorandom(1000, 11, 256);
    Bytes gap = Pseudorandom(31700, 12, 256);
    Bytes farData = far;
    Append(farData, gap);
    Append(farData, far);
    Append(farData, Pseudorandom(300, 13, 256));
    Append(farData, far);
    cases.push_back({"repeats at the window's edge", farData});

    for (const auto& [name, data] : cases) {
        const Bytes compressed = ZlibCompress(data);
        EXPECT_EQ(Inflate(compressed, data.size()), data) << name;
    }
    EXPECT_LT(ZlibCompress(Bytes(100000, 0)).size(), 1000u);
}

TEST(Checksums, MatchTheirPublishedCheckValues) {
    const std::string text = "123456789";
    const Bytes bytes(text.begin(), text.end());
    EXPECT_EQ(Crc32(bytes.data(), bytes.size()), 0xCBF43926u);
    EXPECT_EQ(Adler32(bytes), 0x091E01DEu);
    EXPECT_EQ(Adler32(Bytes(100000, 0xFF)), adler32(1, Bytes(100000, 0xFF).data(), 100000));
}

TEST(Palette, KeepsFirstColoursThenTheMostFrequentAndMapsTheRestToTheNearest) {
    // Every grey twice, two off-grey colours once: 258 colours for 255 free places.
    Image image(514, 1);
    for (int v = 0; v < 256; ++v) {
        const std::uint8_t g = static_cast<std::uint8_t>(v);
        image.at(2 * v, 0) = image.at(2 * v + 1, 0) = {g, g, g};
    }
    image.at(512, 0) = {10, 10, 11};
    image.at(513, 0) = {200, 201, 200};
    const Rgba key{0, 255, 255};
    const IndexedImage reduced = ReduceColours(image, 256, {key});

    ASSERT_EQ(reduced.palette.size(), 256u);
    EXPECT_EQ(reduced.palette[0], key);
    auto mapped = [&](int x) { return reduced.palette[reduced.indices[x]]; };
    EXPECT_EQ(mapped(2 * 77), (Rgba{77, 77, 77}));
    EXPECT_EQ(mapped(512), (Rgba{10, 10, 10}));         // rare: dropped, nearest grey
    EXPECT_EQ(mapped(513), (Rgba{200, 200, 200}));      // rare: dropped, nearest grey
    EXPECT_EQ(mapped(2 * 255), (Rgba{254, 254, 254}));  // the last of equals loses its place

    const IndexedImage exact = ReduceColours(Image(4, 4, {10, 20, 30}), 256);
    ASSERT_EQ(exact.palette.size(), 1u);
    EXPECT_EQ(exact.palette[0], (Rgba{10, 20, 30}));
}

}  // namespace
}  // namespace reflasher::art
