#include "tools/art/Outputs.h"

#include "tools/art/Bmp.h"
#include "tools/art/Ico.h"
#include "tools/art/Palette.h"
#include "tools/art/Pictures.h"
#include "tools/art/Png.h"

namespace reflasher::art {
namespace {

struct IconImage {
    int size;
    int bitsPerPixel;
};
// Small, old-style images first; the order is the one the icon directory lists.
constexpr IconImage kIconImages[] = {{16, 4},   {32, 4},  {48, 8},  {32, 8}, {16, 8},
                                     {256, 32}, {48, 32}, {32, 32}, {16, 32}};

constexpr Rgba kBlack{0, 0, 0, 0};

std::vector<bool> ClearPixels(const Image& image) {
    std::vector<bool> clear;
    for (const Rgba& p : image.pixels) clear.push_back(p.a < 128);
    return clear;
}

// What an icon image looks like once stored: palette colours, masked pixels cleared.
Image Stored(const IndexedImage& indexed, const std::vector<bool>& clear) {
    Image out(indexed.width, indexed.height);
    for (std::size_t i = 0; i < out.pixels.size(); ++i) {
        out.pixels[i] = clear[i] ? Rgba{0, 0, 0, 0} : indexed.palette[indexed.indices[i]];
        if (!clear[i]) out.pixels[i].a = 255;
    }
    return out;
}

struct RenderedIcon {
    IconEntry entry;
    Image pixels;
};

RenderedIcon RenderIconImage(IconImage spec) {
    if (spec.bitsPerPixel == 32) {
        const Image image = DrawAppIcon(spec.size, true);
        // Stored as PNG, which Windows reads in icons since Vista: as bitmaps the
        // 16, 32 and 48 images would take 12 KB more of the program.
        Bytes body = EncodePng(image);
        return {{spec.size, 32, std::move(body)}, image};
    }
    Image image = DrawAppIcon(spec.size, spec.bitsPerPixel == 8);
    const std::vector<bool> clear = ClearPixels(image);
    // Under the mask the colour must be black: the screen is ANDed with the mask
    // and then XORed with the colour, so any other colour would tint it.
    for (std::size_t i = 0; i < clear.size(); ++i) {
        if (clear[i]) image.pixels[i] = kBlack;
    }
    const IndexedImage indexed = spec.bitsPerPixel == 4 ? MapToPalette(image, StandardPalette16())
                                                        : ReduceColours(image, 256, {kBlack});
    return {{spec.size, spec.bitsPerPixel, EncodeIconDib(indexed, spec.bitsPerPixel, clear)},
            Stored(indexed, clear)};
}

IndexedImage LogoIndexed(int percent = 100) {
    return ReduceColours(DrawLogo(percent), 256, {kLogoBackground});
}

// The larger scales' busy frames go in 8-bit run-length form: uncompressed 24-bit
// ones would make the program half a megabyte larger.
IndexedImage BusyIndexed(const Image& frame) { return ReduceColours(frame, 256); }

std::string ScaledName(const std::string& stem, int percent, const std::string& extension) {
    return stem + "-" + std::to_string(percent) + extension;
}

Bytes Rgb(const Image& image) {
    Bytes out;
    for (const Rgba& p : image.pixels) out.insert(out.end(), {p.r, p.g, p.b});
    return out;
}

Bytes Rgba8(const Image& image) {
    Bytes out;
    for (const Rgba& p : image.pixels) out.insert(out.end(), {p.r, p.g, p.b, p.a});
    return out;
}

}  // namespace

std::vector<OutputFile> MakeResourceFiles() {
    std::vector<OutputFile> files;
    const auto frames = DrawBusyFrames();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        files.push_back({"busy-" + std::to_string(i + 1) + ".bmp", EncodeBmp24(frames[i])});
    }
    files.push_back({"logo.bmp", EncodeBmpRle8(LogoIndexed())});
    for (int percent : kPictureScales) {
        if (percent == 100) continue;
        const auto scaled = DrawBusyFrames(percent);
        for (std::size_t i = 0; i < scaled.size(); ++i) {
            files.push_back({ScaledName("busy-" + std::to_string(i + 1), percent, ".bmp"),
                             EncodeBmpRle8(BusyIndexed(scaled[i]))});
        }
        files.push_back({ScaledName("logo", percent, ".bmp"), EncodeBmpRle8(LogoIndexed(percent))});
    }
    std::vector<IconEntry> entries;
    for (IconImage spec : kIconImages) entries.push_back(RenderIconImage(spec).entry);
    files.push_back({"Reflasher.ico", EncodeIco(entries)});
    return files;
}

std::vector<OutputFile> MakeReferencePixels() {
    std::vector<OutputFile> files;
    const auto frames = DrawBusyFrames();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        files.push_back({"busy-" + std::to_string(i + 1) + ".rgb", Rgb(frames[i])});
    }
    const IndexedImage logo = LogoIndexed();
    files.push_back({"logo.rgb", Rgb(Stored(logo, std::vector<bool>(logo.indices.size())))});
    for (int percent : kPictureScales) {
        if (percent == 100) continue;
        const auto scaled = DrawBusyFrames(percent);
        for (std::size_t i = 0; i < scaled.size(); ++i) {
            const IndexedImage frame = BusyIndexed(scaled[i]);
            files.push_back({ScaledName("busy-" + std::to_string(i + 1), percent, ".rgb"),
                             Rgb(Stored(frame, std::vector<bool>(frame.indices.size())))});
        }
        const IndexedImage scaledLogo = LogoIndexed(percent);
        files.push_back({ScaledName("logo", percent, ".rgb"),
                         Rgb(Stored(scaledLogo, std::vector<bool>(scaledLogo.indices.size())))});
    }
    int n = 0;
    for (IconImage spec : kIconImages) {
        files.push_back(
            {"icon-" + std::to_string(n++) + ".rgba", Rgba8(RenderIconImage(spec).pixels)});
    }
    return files;
}

}  // namespace reflasher::art
