#pragma once
// Shared helpers of the overlay tests: rendering the real widget at a
// device-pixel ratio of 1 and looking at its pixels.

#include "overlay/overlay_widget.h"

#include <QFontDatabase>
#include <QImage>
#include <gtest/gtest.h>

namespace overlay::test {

inline const QString kChineseFace = QStringLiteral("WenQuanYi Micro Hei");

// Text rendering tests depend on a face that carries Chinese glyphs.
inline ::testing::AssertionResult chineseFaceInstalled()
{
    if (QFontDatabase::families().contains(kChineseFace))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the font \"WenQuanYi Micro Hei\" (Debian package fonts-wqy-microhei) is not installed";
}

inline QImage renderBox(OverlayWidget& box)
{
    QImage image(box.size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(1.0);
    image.fill(QColor(255, 0, 255)); // never a colour the box paints in these tests
    box.render(&image);
    return image;
}

inline QRgb rgbOf(rt::Rgb c) { return qRgb(rt::redOf(c), rt::greenOf(c), rt::blueOf(c)); }

inline QRgb pixelOr(const QImage& image, int x, int y, QRgb outside)
{
    return image.rect().contains(x, y) ? (image.pixel(x, y) | 0xFF000000u) : outside;
}

inline bool isColour(const QImage& image, int x, int y, QRgb c)
{
    return image.rect().contains(x, y) && (image.pixel(x, y) | 0xFF000000u) == (c | 0xFF000000u);
}

// The bounding box of every pixel that differs from `background`.
inline QRect inkBounds(const QImage& image, QRgb background)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!isColour(image, x, y, background))
                r = r.united(QRect(x, y, 1, 1));
    return r;
}

inline int countColour(const QImage& image, QRgb c)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += isColour(image, x, y, c);
    return n;
}

} // namespace overlay::test
