#pragma once
// Direct pixel access to a 32-bit surface (0xAARRGGBB words, rows `stride`
// words apart), with the canvas rules: white outside, writes outside ignored.

#include <cstddef>
#include <cstdint>

namespace filters {

struct ColorTriple {
    std::int32_t r = 0;
    std::int32_t g = 0;
    std::int32_t b = 0;
    friend bool operator==(const ColorTriple&, const ColorTriple&) = default;
};

class PixelView {
public:
    PixelView(std::uint32_t* bits, int width, int height, std::ptrdiff_t strideWords)
        : bits_(bits), width_(width), height_(height), stride_(strideWords) {}

    int width() const { return width_; }
    int height() const { return height_; }

    bool contains(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }

    ColorTriple readPixel(int x, int y) const
    {
        if (!contains(x, y))
            return {255, 255, 255};
        const std::uint32_t p = bits_[y * stride_ + x];
        return {std::int32_t((p >> 16) & 0xFF), std::int32_t((p >> 8) & 0xFF), std::int32_t(p & 0xFF)};
    }

    // Each channel keeps its low 8 bits, as a colour value is composed.
    void writePixel(int x, int y, const ColorTriple& t)
    {
        if (!contains(x, y))
            return;
        bits_[y * stride_ + x] = 0xFF000000u | ((std::uint32_t(t.r) & 0xFF) << 16)
                               | ((std::uint32_t(t.g) & 0xFF) << 8) | (std::uint32_t(t.b) & 0xFF);
    }

private:
    std::uint32_t* bits_;
    int width_;
    int height_;
    std::ptrdiff_t stride_;
};

} // namespace filters
