#pragma once
// Helpers shared by the decoder tests: reading files, a PNG decoder built on
// QImage (the one the picture box passes to the icon decoder), and turning
// reference pictures into pic::Image for comparison.

#include "decoders.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testutil {

inline std::filesystem::path sourceDir() { return TP_SOURCE_DIR; }

inline std::vector<std::uint8_t> readFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline pic::Image fromQImage(const QImage& source)
{
    const QImage img = source.convertToFormat(QImage::Format_ARGB32);
    pic::Image out;
    out.width = img.width();
    out.height = img.height();
    out.pixels.resize(std::size_t(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
        std::copy(row, row + out.width, out.pixels.begin() + std::size_t(y) * out.width);
    }
    return out;
}

inline pic::DecodeResult qtPng(std::span<const std::uint8_t> bytes)
{
    QImage img;
    if (!img.loadFromData(bytes.data(), int(bytes.size()), "PNG"))
        return pic::DecodeResult::refuse("PNG: Qt could not read it");
    pic::Image out = fromQImage(img);
    out.hasAlpha = img.hasAlphaChannel();
    return pic::DecodeResult::accept(std::move(out));
}

// The first differing pixel, described, or empty when both are equal.
inline std::string compareImages(const pic::Image& got, const pic::Image& want)
{
    if (got.width != want.width || got.height != want.height)
        return "size " + std::to_string(got.width) + "x" + std::to_string(got.height) + ", expected "
            + std::to_string(want.width) + "x" + std::to_string(want.height);
    if (got.pixels.size() != std::size_t(got.width) * got.height)
        return "pixel buffer of the wrong length";
    for (std::size_t i = 0; i < got.pixels.size(); ++i)
        if (got.pixels[i] != want.pixels[i]) {
            char buf[96];
            std::snprintf(buf, sizeof buf, "pixel (%zu, %zu) is %08X, expected %08X", i % got.width,
                          i / got.width, got.pixels[i], want.pixels[i]);
            return buf;
        }
    return {};
}

} // namespace testutil
