// A small painter: shapes are point-in-shape tests, and each pixel's coverage is
// the share of its sample points inside. One sample per pixel gives the hard
// edges that a keyed-out background needs; more give smooth edges.
#pragma once

#include <functional>
#include <vector>

#include "tools/art/Image.h"

namespace reflasher::art {

struct Point {
    double x, y;
};

struct Shape {
    double left, top, right, bottom;  // bounds, in pixel coordinates
    std::function<bool(double x, double y)> contains;
};

Shape Rect(double left, double top, double right, double bottom);
Shape RoundedRect(double left, double top, double right, double bottom, double radius);
Shape Circle(double cx, double cy, double radius);
Shape Polygon(std::vector<Point> corners);  // even-odd rule

struct Colour {
    double r, g, b, a = 1.0;  // 0..255 for r, g, b; 0..1 for a
};

class Canvas {
public:
    // samplesPerAxis: 1 for hard edges, 4 for 16 samples per pixel. Shapes are
    // given in design units; `scale` pixels make one unit (1.25 at 125%, ...).
    Canvas(int width, int height, int samplesPerAxis, double scale = 1.0);

    void Fill(const Shape& shape, Colour colour);
    Image ToImage() const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    struct Premultiplied {
        double r = 0, g = 0, b = 0, a = 0;
    };
    int width_, height_, samples_;
    double scale_;
    std::vector<Premultiplied> pixels_;
};

}  // namespace reflasher::art
