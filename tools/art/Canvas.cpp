#include "tools/art/Canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace reflasher::art {

Shape Rect(double left, double top, double right, double bottom) {
    return {left, top, right, bottom,
            [=](double x, double y) { return x >= left && x < right && y >= top && y < bottom; }};
}

Shape RoundedRect(double left, double top, double right, double bottom, double radius) {
    return {left, top, right, bottom, [=](double x, double y) {
                if (x < left || x >= right || y < top || y >= bottom) return false;
                // Distance from the inner rectangle whose corners are the arc centres.
                const double dx = std::max({left + radius - x, 0.0, x - (right - radius)});
                const double dy = std::max({top + radius - y, 0.0, y - (bottom - radius)});
                return dx * dx + dy * dy <= radius * radius;
            }};
}

Shape Circle(double cx, double cy, double radius) {
    return {cx - radius, cy - radius, cx + radius, cy + radius, [=](double x, double y) {
                return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
            }};
}

Shape Polygon(std::vector<Point> corners) {
    double left = corners[0].x, right = left, top = corners[0].y, bottom = top;
    for (const Point& p : corners) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    return {left, top, right, bottom, [corners = std::move(corners)](double x, double y) {
                bool inside = false;
                for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
                    const Point& a = corners[i];
                    const Point& b = corners[j];
                    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
                        inside = !inside;
                    }
                }
                return inside;
            }};
}

Canvas::Canvas(int width, int height, int samplesPerAxis, double scale)
    : width_(width),
      height_(height),
      samples_(samplesPerAxis),
      scale_(scale),
      pixels_(std::size_t(width) * height) {}

void Canvas::Fill(const Shape& shape, Colour colour) {
    const int x0 = std::max(0, static_cast<int>(std::floor(shape.left * scale_)));
    const int y0 = std::max(0, static_cast<int>(std::floor(shape.top * scale_)));
    const int x1 = std::min(width_, static_cast<int>(std::ceil(shape.right * scale_)) + 1);
    const int y1 = std::min(height_, static_cast<int>(std::ceil(shape.bottom * scale_)) + 1);
    const double step = 1.0 / samples_;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < samples_; ++sy) {
                for (int sx = 0; sx < samples_; ++sx) {
                    if (shape.contains((x + (sx + 0.5) * step) / scale_,
                                       (y + (sy + 0.5) * step) / scale_)) {
                        ++hits;
                    }
                }
            }
            if (hits == 0) continue;
            const double alpha = colour.a * hits / (samples_ * samples_);
            Premultiplied& p = pixels_[std::size_t(y) * width_ + x];
            p.r = colour.r * alpha + p.r * (1 - alpha);
            p.g = colour.g * alpha + p.g * (1 - alpha);
            p.b = colour.b * alpha + p.b * (1 - alpha);
            p.a = alpha + p.a * (1 - alpha);
        }
    }
}

Image Canvas::ToImage() const {
    Image image(width_, height_, Rgba{0, 0, 0, 0});
    auto channel = [](double v) {
        return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
    };
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
        const Premultiplied& p = pixels_[i];
        if (p.a <= 0) continue;
        image.pixels[i] = {channel(p.r / p.a), channel(p.g / p.a), channel(p.b / p.a),
                           channel(p.a * 255)};
    }
    return image;
}

}  // namespace reflasher::art
