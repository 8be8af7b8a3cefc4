#pragma once
// The overlay's settings as a plain value, and the arithmetic on them that
// needs no widget: clamping, the angle and size conversions, and the colour
// of a gradient pixel.

#include "runtime/text.h"

#include <QString>

namespace overlay {

// Where the caption sits in its layout box, on one axis.
enum class Align { Near, Centre, Far };

// The font fields that setFontField changes one at a time.
enum class FontField { Angle, Bold, Italic, Strikeout, Underline, Size };

// Geometry bounds: left and top stay within -kMaxCoordinate..kMaxCoordinate,
// width and height within 0..kMaxCoordinate.
inline constexpr int kMaxCoordinate = 32627;

// Gradient tiles are at most this many pixels on each side.
inline constexpr int kGradientTile = 50;

struct OverlayLabel {
    QString caption = QStringLiteral("Tamsel");
    int left = 0;
    int top = 140;
    int width = 183;
    int height = 32;
    rt::Rgb textColor = rt::composeRgb(0, 0, 0);
    rt::Rgb backColor = rt::composeRgb(0, 128, 128);
    int effect = 0;     // 0 none, 1 white copy behind, 2 white copy in front
    int fontAngle = 0;  // tenths of a degree, counter-clockwise, 0..3599
    bool fontBold = true;
    bool fontItalic = false;
    bool fontStrikeout = false;
    bool fontUnderline = false;
    int fontHeight = 16; // em height in pixels; 0 asks for the default height
    QString fontFace;    // empty: the default typeface
    int gradientMode = 0; // 0 solid backColor, 1..4 a gradient direction
    rt::Rgb gradientColor1 = rt::composeRgb(128, 128, 128);
    rt::Rgb gradientColor2 = rt::composeRgb(255, 255, 255);
    rt::Rgb gradientColor3 = rt::composeRgb(128, 128, 128);
    Align horizontalAlign = Align::Centre;
    Align verticalAlign = Align::Centre;
    bool wordWrap = false;

    bool operator==(const OverlayLabel&) const = default;
};

int clampCoordinate(int value); // into -kMaxCoordinate..kMaxCoordinate
int clampExtent(int value);     // into 0..kMaxCoordinate

// value mod 3600, made non-negative.
int normaliseAngle(int tenths);

// Points to pixels at `dotsPerInch`: negative sizes count as 0, halves round
// away from zero, and results beyond the integer range saturate.
int fontHeightForPoints(int points, double dotsPerInch);

// Changes one font field of `label`, keeping the others; `dotsPerInch` is
// used by the size field only.
void applyFontField(OverlayLabel& label, FontField field, int value, double dotsPerInch);

// The gradient colour of column x, row y of the box (`label.width` x
// `label.height`) in `label.gradientMode`; modes other than 1..4 give
// backColor.
rt::Rgb gradientColorAt(const OverlayLabel& label, int x, int y);

} // namespace overlay
