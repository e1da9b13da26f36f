#include "tools/art/Canvas.h"
#include "tools/art/Pictures.h"

namespace reflasher::art {
namespace {

const Colour kTile{28, 63, 148};
const Colour kTileEdge{16, 36, 92};
const Colour kRaised{255, 255, 255};
const Colour kFlat{110, 140, 210};
const Colour kFlash{255, 200, 24};
const Colour kFlashEdge{150, 90, 0};

}  // namespace

Image DrawAppIcon(int size, bool smooth) {
    Canvas c(size, size, smooth ? 4 : 1);
    const double s = size / 16.0;  // the design is laid out on a 16-unit grid
    auto at = [s](double x, double y) { return Point{x * s, y * s}; };

    c.Fill(RoundedRect(0, 0, size, size, 3 * s), kTileEdge);
    // The edge ring is one pixel wide at every size, so even 16 x 16 shows it.
    c.Fill(RoundedRect(1, 1, size - 1, size - 1, 3 * s - 1), kTile);

    // Cell dots 1, 2, 4, 5 raised (the letter "g"), 3 and 6 flat.
    const double columns[2] = {4.0, 8.0};  // on grid lines, so dots stay symmetric at 16 x 16
    const double rows[3] = {4.0, 8.0, 12.0};
    for (int col = 0; col < 2; ++col) {
        for (int row = 0; row < 3; ++row) {
            const bool raised = row < 2;
            const Point centre = at(columns[col], rows[row]);
            c.Fill(Circle(centre.x, centre.y, (raised ? 1.5 : 0.9) * s), raised ? kRaised : kFlat);
        }
    }

    // The flash: a bolt down the right side.
    const std::vector<Point> bolt = {at(12.9, 1.8), at(10.1, 8.6), at(12.0, 8.6), at(10.7, 14.4),
                                     at(14.5, 6.9), at(12.5, 6.9), at(14.3, 1.8)};
    // From 32 x 32 up the bolt gets a dark rim about one pixel wide; at 16 x 16 a
    // rim would leave almost no yellow.
    const bool rimmed = size >= 32;
    if (rimmed) c.Fill(Polygon(bolt), kFlashEdge);
    const Point middle = at(12.3, 8.1);
    const double shrink = rimmed ? 1.0 - 1.3 / (6.5 * s) : 1.0;
    std::vector<Point> inner;
    for (const Point& p : bolt) {
        inner.push_back(
            {middle.x + (p.x - middle.x) * shrink, middle.y + (p.y - middle.y) * shrink});
    }
    c.Fill(Polygon(inner), kFlash);

    Image image = c.ToImage();
    if (!smooth) {
        // Hard-edged images carry only fully opaque or fully clear pixels.
        for (Rgba& p : image.pixels) p.a = p.a >= 128 ? 255 : 0;
    }
    return image;
}

}  // namespace reflasher::art
