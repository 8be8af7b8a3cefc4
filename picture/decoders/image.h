#pragma once
// A decoded picture as plain data, shared by every decoder, the GIF player
// and the picture box. No widget, no Qt.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pic {

// Pixels are 0xAARRGGBB words (straight, not premultiplied alpha), rows top
// down, `width` words per row. On little-endian machines this is the memory
// layout of QImage::Format_ARGB32, so the picture box wraps it without a copy.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool hasAlpha = false; // some pixel is not fully opaque (icons, GIF transparency)
};

// Limits that every decoder checks, in 64-bit arithmetic, before allocating.
inline constexpr std::int64_t kMaxSide = 65535;
inline constexpr std::int64_t kMaxPixels = 128'000'000;

inline bool dimensionsAllowed(std::int64_t width, std::int64_t height)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide
        && width * height <= kMaxPixels;
}

// A decoder's answer: a picture, or a refusal that says why.
struct DecodeResult {
    std::optional<Image> image;
    std::string error; // empty when image holds a picture

    static DecodeResult refuse(std::string why) { return {std::nullopt, std::move(why)}; }
    static DecodeResult accept(Image img) { return {std::move(img), {}}; }
    bool ok() const { return image.has_value(); }
};

} // namespace pic
