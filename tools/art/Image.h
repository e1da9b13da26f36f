// Finished pictures as plain pixel arrays, top row first.
#pragma once

#include <cstdint>
#include <vector>

namespace reflasher::art {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Rgba& o) const { return !(*this == o); }
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;  // width * height, row by row from the top

    Image() = default;
    Image(int w, int h, Rgba fill = {}) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
    Rgba& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
    const Rgba& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// A picture reduced to a colour table: what the 4- and 8-bit formats store.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<Rgba> palette;          // alpha unused
    std::vector<std::uint8_t> indices;  // width * height, top row first
};

}  // namespace reflasher::art
