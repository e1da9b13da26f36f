#include <array>
#include <map>
#include <string>

#include "tools/art/Canvas.h"
#include "tools/art/Pictures.h"

namespace reflasher::art {
namespace {

Colour Solid(Rgba c) { return {double(c.r), double(c.g), double(c.b)}; }

const Colour kPaper{255, 255, 255};
const Colour kPaperEdge{150, 156, 166};
const Colour kBrailleDot{40, 40, 50};
const Colour kLid{170, 176, 188};
const Colour kSlot{18, 20, 24};
const Colour kBody{60, 66, 80};
const Colour kTrim{112, 120, 134};
const Colour kLettering{240, 244, 250};
const Colour kBezel{24, 26, 30};
const Colour kDisplayBar{0, 104, 128};
const Colour kGreen{0, 168, 72};
const Colour kRed{216, 40, 40};
const Colour kFoot{30, 32, 38};

// Braille cells as dot sets: bit n-1 set for dot n (dots 1-3 down the left column, 4-6 the right).
int Cell(char letter) {
    static const std::map<char, int> cells = {{'a', 0b000001}, {'d', 0b011001}, {'e', 0b010001},
                                              {'f', 0b001011}, {'h', 0b010011}, {'l', 0b000111},
                                              {'o', 0b010101}, {'r', 0b010111}, {'s', 0b001110},
                                              {'v', 0b100111}, {'x', 0b101101}};
    const auto it = cells.find(letter);
    return it == cells.end() ? 0 : it->second;
}

void BrailleLine(Canvas& c, const std::string& text, int left, int top) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int bits = Cell(text[i]);
        for (int dot = 0; dot < 6; ++dot) {
            if ((bits & (1 << dot)) == 0) continue;
            const int x = left + int(i) * 7 + (dot / 3) * 3;
            const int y = top + (dot % 3) * 3;
            c.Fill(Rect(x, y, x + 2, y + 2), kBrailleDot);
        }
    }
}

// Capitals 3 pixels wide and 5 high, rows top first, bit 2 the left column.
void Lettering(Canvas& c, const std::string& text, int left, int top) {
    using Glyph = std::array<int, 5>;
    static const std::map<char, Glyph> glyphs = {{'D', {6, 5, 5, 5, 6}}, {'O', {2, 5, 5, 5, 2}},
                                                 {'V', {5, 5, 5, 2, 2}}, {'R', {6, 5, 6, 5, 5}},
                                                 {'E', {7, 4, 6, 4, 7}}, {'X', {5, 5, 2, 5, 5}}};
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Glyph& rows = glyphs.at(text[i]);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 3; ++x) {
                if (rows[y] & (4 >> x)) {
                    const int px = left + int(i) * 4 + x;
                    c.Fill(Rect(px, top + y, px + 1, top + y + 1), kLettering);
                }
            }
        }
    }
}

}  // namespace

Image DrawLogo(int percent) {
    // One sample per pixel: every pixel is exactly one of the colours above, and
    // no edge pixel blends into the keyed-out background, at every scale.
    Canvas c(ScaledLength(kLogoWidth, percent), ScaledLength(kLogoHeight, percent), 1,
             percent / 100.0);
    c.Fill(Rect(0, 0, c.width(), c.height()), Solid(kLogoBackground));

    // The embossed sheet leaving the machine, tractor holes along both edges.
    c.Fill(Rect(23, 2, 73, 28), kPaperEdge);
    c.Fill(Rect(24, 3, 72, 28), kPaper);
    for (int y = 5; y < 26; y += 5) {
        c.Fill(Rect(26, y, 28, y + 2), Solid(kLogoBackground));
        c.Fill(Rect(68, y, 70, y + 2), Solid(kLogoBackground));
    }
    BrailleLine(c, "dovrex", 31, 6);
    BrailleLine(c, "flash", 31, 16);

    c.Fill(RoundedRect(8, 26, 88, 34, 3), kLid);
    c.Fill(Rect(8, 30, 88, 34), kLid);
    c.Fill(Rect(20, 27, 76, 29), kSlot);
    c.Fill(RoundedRect(6, 33, 90, 62, 3), kBody);
    c.Fill(Rect(6, 33, 90, 35), kTrim);
    Lettering(c, "DOVREX", 12, 39);
    c.Fill(Rect(12, 52, 54, 54), kTrim);  // output flap

    c.Fill(Rect(59, 38, 85, 48), kBezel);
    c.Fill(Rect(60, 39, 84, 47), Solid(kLogoDisplay));
    c.Fill(Rect(62, 42, 75, 44), kDisplayBar);

    c.Fill(Circle(66.5, 55.5, 2.7), Solid(kLogoYellowButton));
    c.Fill(Circle(74.5, 55.5, 2.7), kGreen);
    c.Fill(Circle(82.5, 55.5, 2.7), kRed);

    c.Fill(Rect(12, 62, 22, 66), kFoot);
    c.Fill(Rect(74, 62, 84, 66), kFoot);
    return c.ToImage();
}

}  // namespace reflasher::art
