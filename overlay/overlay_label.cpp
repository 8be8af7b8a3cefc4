#include "overlay/overlay_label.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace overlay {

int clampCoordinate(int value) { return std::clamp(value, -kMaxCoordinate, kMaxCoordinate); }

int clampExtent(int value) { return std::clamp(value, 0, kMaxCoordinate); }

int normaliseAngle(int tenths)
{
    const int r = tenths % 3600;
    return r < 0 ? r + 3600 : r;
}

int fontHeightForPoints(int points, double dotsPerInch)
{
    if (points <= 0 || !(dotsPerInch > 0))
        return 0;
    // std::round rounds halves away from zero; the double holds every
    // product of an int and a screen resolution exactly enough to saturate.
    const double pixels = std::round(double(points) * dotsPerInch / 72.0);
    return pixels >= double(INT_MAX) ? INT_MAX : int(pixels);
}

void applyFontField(OverlayLabel& label, FontField field, int value, double dotsPerInch)
{
    switch (field) {
    case FontField::Angle: label.fontAngle = normaliseAngle(value); break;
    case FontField::Bold: label.fontBold = value != 0; break;
    case FontField::Italic: label.fontItalic = value != 0; break;
    case FontField::Strikeout: label.fontStrikeout = value != 0; break;
    case FontField::Underline: label.fontUnderline = value != 0; break;
    case FontField::Size: label.fontHeight = fontHeightForPoints(value, dotsPerInch); break;
    }
}

rt::Rgb gradientColorAt(const OverlayLabel& label, int x, int y)
{
    const int w = label.width;
    const int h = label.height;
    int p = 0;
    int length = 0;
    switch (label.gradientMode) {
    case 1: p = y; length = h; break;
    case 2: p = x; length = w; break;
    case 3: p = x + y; length = 2 * std::min(w, h); break;
    case 4: p = (w - 1 - x) + y; length = 2 * std::min(w, h); break;
    default: return label.backColor;
    }
    p = std::max(p, 0); // pixels outside the box on the near side count as the first

    constexpr int stops = 3;
    const std::array<rt::Rgb, stops> c{label.gradientColor1, label.gradientColor2, label.gradientColor3};
    const int s = length / (stops - 1);
    const int i = s == 0 ? 0 : p / s;
    if (i > stops - 2)
        return c[stops - 1];

    // The third colour is reached only from p = 2 * s on: each segment stops
    // one step short of its end colour.
    const double t = s == 0 ? 0.0 : double(p % s) / double(s);
    auto channel = [t](int from, int to) { return from + int(std::trunc(t * double(to - from))); };
    const rt::Rgb a = c[std::size_t(i)];
    const rt::Rgb b = c[std::size_t(i) + 1];
    return rt::composeRgb(channel(rt::redOf(a), rt::redOf(b)), channel(rt::greenOf(a), rt::greenOf(b)),
                          channel(rt::blueOf(a), rt::blueOf(b)));
}

} // namespace overlay
