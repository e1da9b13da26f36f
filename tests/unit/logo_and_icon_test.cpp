// The logo drawn through counted drawing calls: one transparent copy of bitmap 199
// at its natural size at (0, 0) keyed on cyan, nothing left alive after 1 or 100
// draws, nothing drawn and nothing leaked when a step fails. And where the
// minimised dialog puts its icon.
#include <gtest/gtest.h>

#include "tests/unit/CountingGdi.h"
#include "ui/portable/IconPosition.h"
#include "ui/portable/LogoDrawing.h"

namespace reflasher::fakes {
namespace {

const GdiDc kPaintDc{reinterpret_cast<void*>(0x7000)};

TEST(Logo, DrawnWholeAtTheTopLeftAtNaturalSizeKeyedOnCyan) {
    CountingGdi gdi;
    DrawLogo(gdi, kPaintDc);
    ASSERT_EQ(gdi.draws.size(), 1u);
    const DrawCall& d = gdi.draws[0];
    EXPECT_EQ(d.target, kPaintDc);
    EXPECT_EQ(d.sourceBitmapId, 199);
    EXPECT_EQ((std::vector<int>{d.x, d.y, d.width, d.height}), (std::vector<int>{0, 0, 96, 69}));
    EXPECT_EQ((std::vector<int>{d.sourceX, d.sourceY, d.sourceWidth, d.sourceHeight}),
              (std::vector<int>{0, 0, 96, 69}));
    EXPECT_EQ(d.transparent, 0x00FFFF00u);  // red 0, green 255, blue 255
    EXPECT_NE(d.source, kPaintDc);
}

TEST(Logo, OneAndAHundredDrawsLeaveNothingAlive) {
    for (int draws : {1, 100}) {
        CountingGdi gdi;
        for (int i = 0; i < draws; ++i) DrawLogo(gdi, kPaintDc);
        EXPECT_EQ(gdi.draws.size(), static_cast<std::size_t>(draws));
        EXPECT_EQ(gdi.LiveBitmaps(), 0u) << draws << " draws";
        EXPECT_EQ(gdi.LiveDcs(), 0u) << draws << " draws";
        EXPECT_EQ(gdi.SelectedObjects(), 0u) << draws << " draws";
        EXPECT_EQ(gdi.Misuses(), std::vector<std::string>()) << draws << " draws";
    }
}

TEST(Logo, AFailedStepDrawsNothingAndLeaksNothing) {
    struct Case {
        const char* step;
        bool CountingGdi::*failure;
    };
    for (const Case& c :
         {Case{"memory DC", &CountingGdi::failCreateDc}, Case{"bitmap", &CountingGdi::failLoad},
          Case{"size", &CountingGdi::failSize}, Case{"selection", &CountingGdi::failSelect}}) {
        CountingGdi gdi;
        gdi.*c.failure = true;
        DrawLogo(gdi, kPaintDc);
        EXPECT_TRUE(gdi.draws.empty()) << c.step;
        EXPECT_EQ(gdi.LiveBitmaps(), 0u) << c.step;
        EXPECT_EQ(gdi.LiveDcs(), 0u) << c.step;
        EXPECT_EQ(gdi.Misuses(), std::vector<std::string>()) << c.step;
    }
}

TEST(IconPosition, CentredWithTheDivisionTruncatedTowardZero) {
    struct Case {
        int width, height, icon;
        IconPoint expected;
    };
    for (const Case& c : {
             Case{6, 6, 32, {-12, -12}},     // -12.5 -> -12, not -13
             Case{0, 0, 32, {-15, -15}},     // -15.5 -> -15
             Case{31, 32, 32, {0, 0}},       // 0 / 2 and 1 / 2
             Case{100, 61, 32, {34, 15}},    // 34.5 -> 34, 15
             Case{300, 200, 48, {126, 76}},  // 126.5 -> 126, 76.5 -> 76
         }) {
        EXPECT_EQ(IconPosition(c.width, c.height, c.icon, c.icon), c.expected)
            << c.width << " x " << c.height << ", icon " << c.icon;
    }
    static_assert(IconPosition(6, 100, 32, 32).x == -12);
}

}  // namespace
}  // namespace reflasher::fakes
