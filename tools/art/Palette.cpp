#include "tools/art/Palette.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace reflasher::art {
namespace {

Rgba Opaque(Rgba c) { return {c.r, c.g, c.b, 255}; }

bool Less(const Rgba& a, const Rgba& b) {
    return std::tie(a.r, a.g, a.b) < std::tie(b.r, b.g, b.b);
}

std::uint8_t Nearest(Rgba c, const std::vector<Rgba>& palette) {
    std::size_t best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const long dr = c.r - palette[i].r, dg = c.g - palette[i].g, db = c.b - palette[i].b;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

}  // namespace

std::vector<Rgba> StandardPalette16() {
    return {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
            {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
            {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
            {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
}

IndexedImage MapToPalette(const Image& image, const std::vector<Rgba>& palette) {
    IndexedImage out{image.width, image.height, palette, {}};
    out.indices.reserve(image.pixels.size());
    for (const Rgba& p : image.pixels) out.indices.push_back(Nearest(p, palette));
    return out;
}

IndexedImage ReduceColours(const Image& image, std::size_t maxColours,
                           const std::vector<Rgba>& first) {
    auto order = [](const Rgba& a, const Rgba& b) { return Less(a, b); };
    std::map<Rgba, std::size_t, decltype(order)> counts(order);
    for (const Rgba& p : image.pixels) ++counts[Opaque(p)];

    std::vector<Rgba> palette;
    for (const Rgba& c : first) {
        palette.push_back(Opaque(c));
        counts.erase(Opaque(c));
    }
    std::vector<std::pair<Rgba, std::size_t>> rest(counts.begin(), counts.end());
    // Most frequent first; equal counts keep colour order, so the result is repeatable.
    std::stable_sort(rest.begin(), rest.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    for (const auto& [colour, count] : rest) {
        if (palette.size() == maxColours) break;
        palette.push_back(colour);
    }
    return MapToPalette(image, palette);
}

}  // namespace reflasher::art
