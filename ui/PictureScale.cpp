#include "ui/PictureScale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "resources/resource.h"

namespace reflasher {
namespace {

constexpr int kScales[] = {100, 125, 150, 175, 200};

GdiBitmap LoadSized(Gdi& gdi, int resourceId, int width100, int height100, int dpi, bool keyed) {
    const GdiBitmap drawn = gdi.LoadBitmapResource(resourceId);
    if (!drawn) return drawn;
    const int width = ScaledLength(width100, dpi), height = ScaledLength(height100, dpi);
    int drawnWidth = 0, drawnHeight = 0;
    if (!gdi.BitmapSize(drawn, &drawnWidth, &drawnHeight) ||
        (drawnWidth == width && drawnHeight == height)) {
        return drawn;
    }
    const GdiBitmap scaled = gdi.ScaleBitmap(drawn, width, height, keyed);
    if (!scaled) return drawn;
    gdi.DeleteBitmap(drawn);
    return scaled;
}

GdiBitmap LoadScaled(Gdi& gdi, int resourceId, int width100, int height100, int dpi, bool keyed,
                     const std::optional<PictureInk>& ink) {
    const GdiBitmap sized = LoadSized(gdi, resourceId, width100, height100, dpi, keyed);
    if (!sized || !ink) return sized;
    // Inked after scaling, so the picture keeps two clean colours. One that can't be
    // inked is left out rather than shown in its own colours.
    const GdiBitmap inked = gdi.InkBitmap(sized, *ink, keyed);
    gdi.DeleteBitmap(sized);
    return inked;
}

int SetBase(int percent) {
    switch (percent) {
        case 125: return IDB_PICTURES_125;
        case 150: return IDB_PICTURES_150;
        case 175: return IDB_PICTURES_175;
        case 200: return IDB_PICTURES_200;
        default: return 0;  // 100: the original resources
    }
}

}  // namespace

int NearestPictureScale(int dpi) {
    int best = kScales[0];
    for (int percent : kScales) {
        // Compared in 1/96 percent steps, so there is no rounding: |dpi*100 - percent*96|.
        const int distance = std::abs(dpi * 100 - percent * kDefaultDpi);
        const int bestDistance = std::abs(dpi * 100 - best * kDefaultDpi);
        if (distance <= bestDistance) best = percent;
    }
    return best;
}

int ScaledLength(int length100, int dpi) {
    if (dpi <= 0) dpi = kDefaultDpi;
    return std::max(1, (length100 * dpi + kDefaultDpi / 2) / kDefaultDpi);
}

int BusyFrameResource(int frame, int percent) {
    const int base = SetBase(percent);
    return base == 0 ? IDB_BUSY_FRAME_1 + frame : base + 1 + frame;
}

int LogoResource(int percent) {
    const int base = SetBase(percent);
    return base == 0 ? IDB_LOGO : base + 5;
}

GdiBitmap LoadBusyFrame(Gdi& gdi, int frame, int dpi, const std::optional<PictureInk>& ink) {
    return LoadScaled(gdi, BusyFrameResource(frame, NearestPictureScale(dpi)), kBusyWidth,
                      kBusyHeight, dpi, false, ink);
}

GdiBitmap LoadLogo(Gdi& gdi, int dpi, const std::optional<PictureInk>& ink) {
    return LoadScaled(gdi, LogoResource(NearestPictureScale(dpi)), kLogoWidth, kLogoHeight, dpi,
                      true, ink);
}

Pixels ScalePixels(const Pixels& source, int width, int height, const std::uint32_t* key) {
    Pixels out{width, height, std::vector<std::uint32_t>(std::size_t(std::max(width, 0)) *
                                                         std::size_t(std::max(height, 0)))};
    if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0) return out;
    const double sx = double(source.width) / width;
    const double sy = double(source.height) / height;
    for (int y = 0; y < height; ++y) {
        const double top = y * sy, bottom = (y + 1) * sy;
        for (int x = 0; x < width; ++x) {
            const double left = x * sx, right = (x + 1) * sx;
            double r = 0, g = 0, b = 0, opaque = 0, all = 0;
            for (int v = int(top); v < int(std::ceil(bottom)) && v < source.height; ++v) {
                const double h = std::min(bottom, v + 1.0) - std::max(top, double(v));
                for (int u = int(left); u < int(std::ceil(right)) && u < source.width; ++u) {
                    const double w = (std::min(right, u + 1.0) - std::max(left, double(u))) * h;
                    const std::uint32_t p = source.rgb[std::size_t(v) * source.width + u];
                    all += w;
                    if (key != nullptr && p == *key) continue;
                    r += w * ((p >> 16) & 0xFF);
                    g += w * ((p >> 8) & 0xFF);
                    b += w * (p & 0xFF);
                    opaque += w;
                }
            }
            std::uint32_t& target = out.rgb[std::size_t(y) * width + x];
            if (key != nullptr && opaque * 2 < all) {
                target = *key;
                continue;
            }
            auto channel = [&](double sum) {
                return std::uint32_t(std::clamp(std::lround(sum / opaque), 0L, 255L));
            };
            target = channel(r) << 16 | channel(g) << 8 | channel(b);
            // A blend may land on the key by chance; one step off keeps it drawn.
            if (key != nullptr && target == *key) target ^= 1;
        }
    }
    return out;
}

}  // namespace reflasher
