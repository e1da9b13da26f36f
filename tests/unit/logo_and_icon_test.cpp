// The logo drawn through counted drawing calls: one transparent copy of bitmap 199
// at its natural size at (0, 0) keyed on cyan, nothing left alive after 1 or 100
// draws, nothing drawn and nothing leaked when a step fails. And where the
// minimised dialog puts its icon. The picture set for a display's DPI, and the
// smooth scaling between the drawn sets. The pictures' colours under high contrast.
#include <gtest/gtest.h>

#include "tests/unit/CountingGdi.h"
#include "ui/HighContrast.h"
#include "ui/IconPosition.h"
#include "ui/LogoDrawing.h"
#include "ui/PictureScale.h"

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

TEST(PictureScale, EachDpiTakesTheNearestDrawnSetAndItsOwnSize) {
    struct Case {
        int dpi, set, busyWidth, busyHeight;
    };
    const Case cases[] = {
        {72, 100, 40, 53},    // below 100%: the 100% set, scaled down
        {96, 100, 53, 71},    {120, 125, 66, 89},  {144, 150, 80, 107},
        {168, 175, 93, 124},  {192, 200, 106, 142},
        {108, 125, 60, 80},   // 112.5%: halfway, the larger set
        {107, 100, 59, 79},   // 111.5%: nearer 100
        {110, 125, 61, 81},   // 114.6%: nearer 125
        {240, 200, 133, 178},  // 250%: the largest set, scaled up
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(NearestPictureScale(c.dpi), c.set);
        EXPECT_EQ(ScaledLength(kBusyWidth, c.dpi), c.busyWidth);
        EXPECT_EQ(ScaledLength(kBusyHeight, c.dpi), c.busyHeight);
    }
    EXPECT_EQ(ScaledLength(53, 0), 53);  // no DPI known: 96
}

TEST(Logo, DrawnFromTheSetForTheDpiAndScaledOnlyBetweenSets) {
    struct Case {
        int dpi, resource, width, height;
        bool scaled;
    };
    for (const Case& c : {Case{96, 199, 96, 69, false}, Case{144, 315, 144, 104, false},
                          Case{192, 335, 192, 138, false}, Case{110, 305, 110, 79, true}}) {
        SCOPED_TRACE(c.dpi);
        CountingGdi gdi;
        DrawLogo(gdi, kPaintDc, c.dpi);
        ASSERT_EQ(gdi.draws.size(), 1u);
        EXPECT_EQ(gdi.draws[0].sourceBitmapId, c.resource);
        EXPECT_EQ(gdi.draws[0].width, c.width);
        EXPECT_EQ(gdi.draws[0].height, c.height);
        EXPECT_EQ(gdi.draws[0].sourceWidth, c.width);  // drawn 1:1, already at its size
        ASSERT_EQ(gdi.scales.size(), c.scaled ? 1u : 0u);
        if (c.scaled) {
            EXPECT_TRUE(gdi.scales[0].keyed);  // the cyan surround stays exact
        }
        EXPECT_EQ(gdi.LiveBitmaps(), 0u);  // the set's bitmap and its scaled copy both go
        EXPECT_TRUE(gdi.Misuses().empty());
    }
}

TEST(PictureScale, SmoothScalingAveragesAndKeepsTheKeyExact) {
    constexpr std::uint32_t kCyan = 0x00FFFF, kRed = 0xFF0000, kBlue = 0x0000FF;
    // Two columns, red and blue: halved, one pixel of their mean.
    Pixels pair{2, 1, {kRed, kBlue}};
    EXPECT_EQ(ScalePixels(pair, 1, 1).rgb, (std::vector<std::uint32_t>{0x800080}));
    // Doubled, each source pixel covers its own two.
    EXPECT_EQ(ScalePixels(pair, 4, 1).rgb, (std::vector<std::uint32_t>{kRed, kRed, kBlue, kBlue}));
    // Keyed: cyan neither tints red nor survives as a blend; mostly cyan stays cyan.
    Pixels edge{3, 1, {kCyan, kCyan, kRed}};
    EXPECT_EQ(ScalePixels(edge, 1, 1, &kCyan).rgb, (std::vector<std::uint32_t>{kCyan}));
    Pixels redEdge{3, 1, {kCyan, kRed, kRed}};
    EXPECT_EQ(ScalePixels(redEdge, 1, 1, &kCyan).rgb, (std::vector<std::uint32_t>{kRed}));
    // A blend that lands on the key by chance is moved off it, so it is still drawn.
    constexpr std::uint32_t kGrey = 0x808080;
    Pixels blackWhite{2, 1, {0x000000, 0xFFFFFF}};
    EXPECT_EQ(ScalePixels(blackWhite, 1, 1).rgb[0], kGrey);
    EXPECT_EQ(ScalePixels(blackWhite, 1, 1, &kGrey).rgb[0], kGrey ^ 1);
    // Nothing to scale from or to: an empty or blank picture, no crash.
    EXPECT_TRUE(ScalePixels(Pixels{}, 0, 0).rgb.empty());
    EXPECT_EQ(ScalePixels(Pixels{}, 2, 2).rgb.size(), 4u);
}

// Under high contrast the pictures take the theme's text colour on its window colour:
// grounds, paper, empty dot places and lettering the window colour; outlines, the
// head, the dots and the lights the text colour (pixels of the drawn pictures).
TEST(HighContrast, PicturesTakeTheThemesTextColourOnItsWindowColour) {
    EXPECT_EQ(PictureInkFor(false, 0x00FFFF, 0x800000), std::nullopt);
    const PictureInk ink = PictureInkFor(true, 0x00FFFF, 0x800000).value();  // 0x00BBGGRR
    constexpr std::uint32_t kText = 0xFFFF00, kWindow = 0x000080, kCyan = 0x00FFFF;
    Pixels pixels{13, 1, {0xE2E8F0, 0xFFFFFF, 0xD0D6E0, 0xF0F4FA, 0x788292, 0x243046, 0x8C96A6,
                          0x1C3F94, 0xEC7000, 0xAAB0BC, 0x00A848, 0xD82828, kCyan}};
    InkPixels(pixels, ink, &kCyan);
    std::vector<std::uint32_t> expected(4, kWindow);
    expected.insert(expected.end(), 8, kText);
    expected.push_back(kCyan);  // the logo's surround is still left out
    EXPECT_EQ(pixels.rgb, expected);
    // A theme colour that is the key itself is moved off it, so it is still drawn.
    InkPixels(pixels, PictureInk{0xFFFF00, 0}, &kCyan);
    EXPECT_EQ(pixels.rgb[0], kCyan ^ 1);  // was kWindow, dark: now text
}

TEST(Logo, UnderHighContrastDrawnInkedAndStillKeyedOnCyan) {
    CountingGdi gdi;
    DrawLogo(gdi, kPaintDc, 96, PictureInk{0xFFFFFF, 0x000000});
    ASSERT_EQ(gdi.draws.size(), 1u);
    EXPECT_EQ(gdi.draws[0].transparent, kLogoTransparentColor);
    ASSERT_EQ(gdi.inks.size(), 1u);
    EXPECT_TRUE(gdi.inks[0].second);
    EXPECT_EQ(gdi.LiveBitmaps(), 0u);
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
