#pragma once
// The four pixel filters. Each walks the surface column by column, x and y
// both up to and including the width and height (the last column and row
// lie outside: they read white and their writes are dropped), in place, so
// pixels already processed are read with their new values. All arithmetic
// is double precision, truncated toward zero.

#include "filters/pixel_view.h"

#include <array>

namespace filters {

// Blur: the 3 x 3 neighbourhood summed and divided by 10 (not 9), so every
// pass also darkens by a tenth.
struct Blur {
    std::array<ColorTriple, 10> sampleBlock{}; // 0..8 samples, 9 the result

    void operator()(PixelView& v, int x, int y)
    {
        const double fx = x, fy = y;
        const int xs[3] = {int(fx - 1), x, int(fx + 1)};
        const int ys[3] = {int(fy - 1), y, int(fy + 1)};
        int slot = 0;
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                sampleBlock[slot++] = v.readPixel(xs[col], ys[row]);
        double r = 0, g = 0, b = 0;
        for (int i = 0; i < 9; ++i) {
            r += sampleBlock[i].r;
            g += sampleBlock[i].g;
            b += sampleBlock[i].b;
        }
        sampleBlock[9] = {std::int32_t(r / 10), std::int32_t(g / 10), std::int32_t(b / 10)};
        v.writePixel(x, y, sampleBlock[9]);
    }
};

// Darken: each channel squared over 256.
struct Darken {
    std::array<ColorTriple, 3> triples{};

    void operator()(PixelView& v, int x, int y)
    {
        triples[0] = v.readPixel(x, y);
        const ColorTriple& s = triples[0];
        triples[2] = {std::int32_t(double(s.r) * s.r / 256), std::int32_t(double(s.g) * s.g / 256),
                    std::int32_t(double(s.b) * s.b / 256)};
        v.writePixel(x, y, triples[2]);
    }
};

// Yellow: red, then green, then blue, each from the values as they stand
// after the step before.
struct Yellow {
    std::array<ColorTriple, 3> triples{};

    void operator()(PixelView& v, int x, int y)
    {
        ColorTriple& s = triples[0];
        s = v.readPixel(x, y);
        s.r = std::int32_t(double(s.g) * s.b / 256);
        s.g = std::int32_t(double(s.b) * s.r / 256);
        s.b = std::int32_t(double(s.r) * s.g / 256);
        v.writePixel(x, y, s);
    }
};

// Black and white: the weighted sum, products formed first, added left to
// right, then truncated.
struct Gray {
    ColorTriple sample{};

    void operator()(PixelView& v, int x, int y)
    {
        sample = v.readPixel(x, y);
        const double rr = sample.r * 0.3;
        const double gg = sample.g * 0.59;
        const double bb = sample.b * 0.11;
        const std::int32_t level = std::int32_t(rr + gg + bb);
        v.writePixel(x, y, {level, level, level});
    }
};

// The common frame: x outer, y inner, both inclusive; `columnDone(x)` after
// every column.
template <class Kernel, class ColumnDone>
void runFilter(PixelView& view, Kernel& kernel, ColumnDone&& columnDone)
{
    const int w = view.width(), h = view.height();
    for (int x = 0; x <= w; ++x) {
        for (int y = 0; y <= h; ++y)
            kernel(view, x, y);
        columnDone(x);
    }
}

} // namespace filters
