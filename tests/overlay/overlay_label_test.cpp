// The overlay's settings as plain values: initial values, clamping, the
// angle and size conversions and the gradient colours.
#include "overlay/overlay_label.h"

#include <climits>
#include <gtest/gtest.h>

using namespace overlay;

namespace {

int grey(rt::Rgb c)
{
    EXPECT_EQ(rt::redOf(c), rt::greenOf(c));
    EXPECT_EQ(rt::redOf(c), rt::blueOf(c));
    return rt::redOf(c);
}

OverlayLabel withMode(int mode, int width = 183, int height = 32)
{
    OverlayLabel s;
    s.gradientMode = mode;
    s.width = width;
    s.height = height;
    return s;
}

} // namespace

TEST(OverlayLabel, InitialValuesAreTheLayoutsLabel)
{
    const OverlayLabel s;
    EXPECT_EQ(s.caption, QStringLiteral("Tamsel"));
    EXPECT_EQ(s.left, 0);
    EXPECT_EQ(s.top, 140);
    EXPECT_EQ(s.width, 183);
    EXPECT_EQ(s.height, 32);
    EXPECT_EQ(s.textColor, rt::composeRgb(0, 0, 0));
    EXPECT_EQ(s.backColor, rt::composeRgb(0, 128, 128));
    EXPECT_EQ(s.effect, 0);
    EXPECT_EQ(s.fontAngle, 0);
    EXPECT_TRUE(s.fontBold);
    EXPECT_FALSE(s.fontItalic);
    EXPECT_FALSE(s.fontStrikeout);
    EXPECT_FALSE(s.fontUnderline);
    EXPECT_EQ(s.fontHeight, 16);
    EXPECT_TRUE(s.fontFace.isEmpty());
    EXPECT_EQ(s.gradientMode, 0);
    EXPECT_EQ(s.gradientColor1, rt::composeRgb(128, 128, 128));
    EXPECT_EQ(s.gradientColor2, rt::composeRgb(255, 255, 255));
    EXPECT_EQ(s.gradientColor3, rt::composeRgb(128, 128, 128));
    EXPECT_EQ(s.horizontalAlign, Align::Centre);
    EXPECT_EQ(s.verticalAlign, Align::Centre);
    EXPECT_FALSE(s.wordWrap);
}

TEST(OverlayLabel, ComparesEveryField)
{
    const OverlayLabel a;
    OverlayLabel b;
    EXPECT_EQ(a, b);
    b.gradientColor3 = rt::composeRgb(128, 128, 129);
    EXPECT_NE(a, b);
    b = a;
    b.wordWrap = true;
    EXPECT_NE(a, b);
}

TEST(OverlayLabel, ClampsGeometry)
{
    struct Case { int in, coordinate, extent; };
    for (const Case c : {Case{0, 0, 0}, {140, 140, 140}, {32627, 32627, 32627}, {32628, 32627, 32627},
                         {32767, 32627, 32627}, {INT_MAX, 32627, 32627}, {-1, -1, 0}, {-32627, -32627, 0},
                         {-32628, -32627, 0}, {INT_MIN, -32627, 0}}) {
        EXPECT_EQ(clampCoordinate(c.in), c.coordinate) << c.in;
        EXPECT_EQ(clampExtent(c.in), c.extent) << c.in;
    }
}

TEST(OverlayLabel, NormalisesTheAngleIntoOneTurn)
{
    struct Case { int in, out; };
    for (const Case c : {Case{0, 0}, {50, 50}, {3599, 3599}, {3600, 0}, {3601, 1}, {7250, 50}, {-1, 3599},
                         {-3600, 0}, {-3601, 3599}, {INT_MAX, 847}, {INT_MIN, 2752}})
        EXPECT_EQ(normaliseAngle(c.in), c.out) << c.in;
}

TEST(OverlayLabel, ConvertsPointsToPixelsRoundingHalvesAway)
{
    struct Case { int points; double dpi; int pixels; };
    for (const Case c : {Case{12, 96, 16}, {25, 96, 33}, {50, 96, 67}, {1, 96, 1}, {0, 96, 0}, {-5, 96, 0},
                         {INT_MIN, 96, 0}, {3, 84, 4},   // 3.5 rounds up
                         {1, 108, 2},                    // 1.5 rounds up
                         {5, 100.8, 7},                  // 7.0
                         {12, 120, 20}, {INT_MAX, 96, INT_MAX}})
        EXPECT_EQ(fontHeightForPoints(c.points, c.dpi), c.pixels) << c.points << " pt at " << c.dpi;
}

TEST(OverlayLabel, FontFieldChangesOnlyItsField)
{
    struct Case { FontField field; int value; OverlayLabel expected; };
    auto with = [](auto change) { OverlayLabel s; change(s); return s; };
    const Case cases[] = {
        {FontField::Angle, 50, with([](OverlayLabel& s) { s.fontAngle = 50; })},
        {FontField::Angle, -10, with([](OverlayLabel& s) { s.fontAngle = 3590; })},
        {FontField::Bold, 0, with([](OverlayLabel& s) { s.fontBold = false; })},
        {FontField::Bold, 7, with([](OverlayLabel&) {})},
        {FontField::Italic, -1, with([](OverlayLabel& s) { s.fontItalic = true; })},
        {FontField::Strikeout, 1, with([](OverlayLabel& s) { s.fontStrikeout = true; })},
        {FontField::Underline, 1, with([](OverlayLabel& s) { s.fontUnderline = true; })},
        {FontField::Size, 25, with([](OverlayLabel& s) { s.fontHeight = 33; })},
        {FontField::Size, 0, with([](OverlayLabel& s) { s.fontHeight = 0; })},
        {FontField::Size, -4, with([](OverlayLabel& s) { s.fontHeight = 0; })},
    };
    for (const Case& c : cases) {
        OverlayLabel s;
        applyFontField(s, c.field, c.value, 96);
        EXPECT_EQ(s, c.expected) << int(c.field) << " := " << c.value;
    }
}

TEST(Gradient, TopToBottomRowLevelsOfTheInitialBox)
{
    const OverlayLabel s = withMode(1);
    struct Case { int row, level; };
    for (const Case c : {Case{0, 128}, {1, 135}, {8, 191}, {15, 247}, {16, 255}, {17, 248}, {24, 192}, {31, 136}})
        for (int x : {0, 91, 182})
            EXPECT_EQ(grey(gradientColorAt(s, x, c.row)), c.level) << "row " << c.row << " column " << x;
}

TEST(Gradient, ThirdColourIsReachedOnlyFromTwoSegmentsOn)
{
    // Distinct stops show which segment a pixel falls in.
    OverlayLabel s = withMode(1);
    s.gradientColor1 = rt::composeRgb(0, 0, 0);
    s.gradientColor2 = rt::composeRgb(100, 100, 100);
    s.gradientColor3 = rt::composeRgb(200, 200, 200);
    for (int y = 0; y < 32; ++y)
        EXPECT_NE(gradientColorAt(s, 0, y), s.gradientColor3) << "row " << y; // 32 / 2 = 16, 31 / 16 = 1
    s.height = 33;                                                            // s = 16, row 32 is p = 2 s
    EXPECT_EQ(gradientColorAt(s, 0, 31), rt::composeRgb(193, 193, 193));
    EXPECT_EQ(gradientColorAt(s, 0, 32), s.gradientColor3);
}

TEST(Gradient, DiagonalModesSpreadOverTwiceTheShorterSide)
{
    const OverlayLabel s3 = withMode(3);
    const OverlayLabel s4 = withMode(4);
    struct Case { int p, level; };
    for (const Case c : {Case{0, 128}, {1, 131}, {32, 255}, {33, 252}, {63, 132}, {64, 128}, {200, 128}}) {
        // The same p reached through different columns and rows.
        for (int y : {0, 15, 31}) {
            const int x3 = c.p - y;
            if (x3 < 0 || x3 > 182)
                continue;
            EXPECT_EQ(grey(gradientColorAt(s3, x3, y)), c.level) << "mode 3 p " << c.p << " row " << y;
            EXPECT_EQ(grey(gradientColorAt(s4, 182 - x3, y)), c.level) << "mode 4 p " << c.p << " row " << y;
        }
    }
    // Everything from x + y = 64 on is exactly the third colour.
    OverlayLabel distinct = s3;
    distinct.gradientColor3 = rt::composeRgb(1, 2, 3);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 183; ++x)
            EXPECT_EQ(gradientColorAt(distinct, x, y) == distinct.gradientColor3, x + y >= 64) << x << "," << y;
}

TEST(Gradient, LeftToRightUsesTheWidth)
{
    const OverlayLabel s = withMode(2); // s = 91
    EXPECT_EQ(grey(gradientColorAt(s, 0, 5)), 128);
    EXPECT_EQ(grey(gradientColorAt(s, 90, 5)), 128 + int(90.0 / 91 * 127));
    EXPECT_EQ(grey(gradientColorAt(s, 91, 5)), 255);
    EXPECT_EQ(grey(gradientColorAt(s, 181, 5)), 255 - int(90.0 / 91 * 127));
    EXPECT_EQ(grey(gradientColorAt(s, 182, 5)), 128); // p = 2 s: the third colour exactly
    for (int y = 0; y < 32; ++y)
        EXPECT_EQ(gradientColorAt(s, 40, y), gradientColorAt(s, 40, 0));
}

TEST(Gradient, ChannelsMoveIndependentlyAndTruncateTowardZero)
{
    OverlayLabel s = withMode(1, 10, 20); // s = 10
    s.gradientColor1 = rt::composeRgb(10, 200, 0);
    s.gradientColor2 = rt::composeRgb(13, 100, 255);
    s.gradientColor3 = rt::composeRgb(0, 0, 0);
    // t = 0.5: +1.5 -> +1, -50, +127.5 -> +127
    EXPECT_EQ(gradientColorAt(s, 0, 5), rt::composeRgb(11, 150, 127));
    // second segment, t = 0.9: 13 - 11.7 -> 2, 100 - 90 -> 10, 255 - 229.5 -> 26
    EXPECT_EQ(gradientColorAt(s, 0, 19), rt::composeRgb(2, 10, 26));
}

TEST(Gradient, DegenerateBoxesGiveTheFirstColour)
{
    // s = 0 in every case: a one-pixel-high box in mode 1, one pixel wide in
    // mode 2, and a diagonal with a zero side.
    struct Case { int mode, width, height; };
    for (const Case c : {Case{1, 183, 1}, {2, 1, 32}, {3, 183, 0}, {4, 0, 32}, {1, 183, 0}}) {
        OverlayLabel s = withMode(c.mode, c.width, c.height);
        s.gradientColor1 = rt::composeRgb(9, 8, 7);
        for (int x = 0; x < std::max(c.width, 1); x += 37)
            EXPECT_EQ(gradientColorAt(s, x, 0), s.gradientColor1) << c.mode << " " << c.width << "x" << c.height;
    }
}

TEST(Gradient, NoGradientModeGivesTheSolidColour)
{
    for (int mode : {0, 5, -1}) {
        const OverlayLabel s = withMode(mode);
        EXPECT_EQ(gradientColorAt(s, 10, 10), s.backColor) << mode;
    }
}

TEST(Gradient, LargestBoxStaysInRange)
{
    // p reaches 2 x 32626 = 65252, just short of 2 s = 65254.
    OverlayLabel s = withMode(4, kMaxCoordinate, kMaxCoordinate);
    s.gradientColor3 = rt::composeRgb(1, 2, 3);
    EXPECT_EQ(gradientColorAt(s, kMaxCoordinate - 1, 0), s.gradientColor1);
    EXPECT_EQ(gradientColorAt(s, 0, kMaxCoordinate - 1), rt::composeRgb(2, 3, 4));
    s.gradientMode = 3;
    EXPECT_EQ(gradientColorAt(s, kMaxCoordinate - 1, kMaxCoordinate - 1), rt::composeRgb(2, 3, 4));
}
