#include <vector>

#include "tools/art/Canvas.h"
#include "tools/art/Pictures.h"

namespace reflasher::art {
namespace {

const Colour kBackground{226, 232, 240};
const Colour kRail{120, 130, 146};
const Colour kCarriage{36, 48, 70};
const Colour kPin{22, 24, 30};
const Colour kPaperEdge{140, 150, 166};
const Colour kPaper{255, 255, 255};
const Colour kDotPosition{208, 214, 224};
const Colour kEmbossed{28, 63, 148};
const Colour kStruck{236, 112, 0};

constexpr double kColumns[2] = {19.5, 34.5};
constexpr double kRows[3] = {44.5, 54.5, 64.5};
constexpr double kDotRadius = 4.0;
constexpr double kRailTop = 7, kRailBottom = 10;

struct Dot {
    int column, row;
};
// Dots 1, 4, 5, 2 of the cell: round the square clockwise, leaving the letter "g".
constexpr Dot kStrikes[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

void DrawFrame(Canvas& c, int frame) {
    c.Fill(Rect(0, 0, c.width(), c.height()), kBackground);
    c.Fill(Rect(2, kRailTop, kBusyWidth - 2, kRailBottom), kRail);

    c.Fill(Rect(5, 35, 48, 70), kPaperEdge);
    c.Fill(Rect(6, 36, 47, 69), kPaper);
    for (double x : kColumns) {
        for (double y : kRows) c.Fill(Circle(x, y, 2.0), kDotPosition);
    }
    for (int i = 0; i <= frame; ++i) {
        const Dot d = kStrikes[i];
        c.Fill(Circle(kColumns[d.column], kRows[d.row], kDotRadius),
               i == frame ? kStruck : kEmbossed);
    }

    // The head rides on the rail above the struck column; its pin reaches down to the dot.
    const Dot d = kStrikes[frame];
    const double x = kColumns[d.column];
    const double tip = kRows[d.row] - kDotRadius - 0.5;
    c.Fill(Rect(x - 1.5, 16, x + 1.5, tip - 4), kPin);
    c.Fill(Polygon({{x - 1.5, tip - 4}, {x + 1.5, tip - 4}, {x, tip}}), kPin);
    c.Fill(RoundedRect(x - 9, 3, x + 9, 18, 3), kCarriage);
    c.Fill(Rect(x - 5, 8, x + 5, 10), kRail);  // the rail showing through the carriage's window
    // Short strokes beside the tip mark the moment of impact.
    c.Fill(Polygon({{x - 8, tip - 1}, {x - 4, tip}, {x - 8, tip + 1}}), kStruck);
    c.Fill(Polygon({{x + 8, tip - 1}, {x + 4, tip}, {x + 8, tip + 1}}), kStruck);
}

}  // namespace

std::array<Image, 4> DrawBusyFrames(int percent) {
    std::array<Image, 4> frames;
    for (int i = 0; i < 4; ++i) {
        // The larger sets are drawn with hard edges: smooth ones would break every
        // run of their run-length form and make the program too large.
        Canvas canvas(ScaledLength(kBusyWidth, percent), ScaledLength(kBusyHeight, percent),
                      percent == 100 ? 4 : 1, percent / 100.0);
        DrawFrame(canvas, i);
        frames[i] = canvas.ToImage();
    }
    return frames;
}

}  // namespace reflasher::art
