#include "decoders.h"
#include "dib.h"

#include <algorithm>
#include <vector>

namespace pic {

using namespace detail;

namespace {

constexpr std::size_t kHeader = 128;
constexpr std::size_t kPaletteBlock = 769; // 0x0C, then 256 RGB triples

struct PcxHeader {
    unsigned version = 0, encoding = 0, bits = 0, planes = 0;
    std::int64_t width = 0, height = 0;
    std::uint64_t bytesPerLine = 0;
};

} // namespace

DecodeResult decodePcx(std::span<const std::uint8_t> b)
{
    if (!holds(b, 0, kHeader) || b[0] != 0x0A)
        return DecodeResult::refuse("PCX: file too short for its header");
    PcxHeader h;
    h.version = b[1];
    h.encoding = b[2];
    h.bits = b[3];
    h.width = std::int64_t(le16(b, 8)) - le16(b, 4) + 1;
    h.height = std::int64_t(le16(b, 10)) - le16(b, 6) + 1;
    h.planes = b[65];
    h.bytesPerLine = le16(b, 66);
    if (h.encoding != 1)
        return DecodeResult::refuse("PCX: not run-length encoded");
    const bool mono = h.bits == 1 && h.planes == 1;
    const bool indexed = h.bits == 8 && h.planes == 1;
    const bool rgb = h.bits == 8 && h.planes == 3;
    if (!mono && !indexed && !rgb)
        return DecodeResult::refuse("PCX: " + std::to_string(h.planes) + " planes of " + std::to_string(h.bits)
                                    + " bits are not supported");
    if (!dimensionsAllowed(h.width, h.height))
        return DecodeResult::refuse("PCX: bad picture size");
    if (h.bytesPerLine < dibRowBytesUnpadded(h.width, h.bits))
        return DecodeResult::refuse("PCX: scan line too short for the width");

    // The 256-colour palette sits in the last 769 bytes; the run-length data
    // ends before it. Without it the indices are shown as grey levels.
    std::size_t dataEnd = b.size();
    std::uint32_t palette[256];
    for (unsigned i = 0; i < 256; ++i)
        palette[i] = opaque(i, i, i);
    if (indexed && b.size() >= kHeader + kPaletteBlock && b[b.size() - kPaletteBlock] == 0x0C) {
        dataEnd = b.size() - kPaletteBlock;
        const std::uint8_t* p = b.data() + dataEnd + 1;
        for (unsigned i = 0; i < 256; ++i, p += 3)
            palette[i] = opaque(p[0], p[1], p[2]);
    }

    // Runs never cross a scan line, so every line takes at least one code
    // pair per 63 bytes: the data must be at least that long before the
    // picture is allocated.
    const std::uint64_t lineBytes = h.bytesPerLine * h.planes;
    const std::uint64_t dataBytes = dataEnd - kHeader;
    if (2 * ((lineBytes + 62) / 63) * std::uint64_t(h.height) > dataBytes)
        return DecodeResult::refuse("PCX: run-length data is cut short");

    Image img = makeImage(static_cast<int>(h.width), static_cast<int>(h.height));
    std::vector<std::uint8_t> line(lineBytes);
    std::size_t pos = kHeader;
    const auto width = static_cast<std::size_t>(h.width);
    for (std::int64_t y = 0; y < h.height; ++y) {
        // Expand one scan line; a run is cut at the end of the line.
        std::size_t filled = 0;
        while (filled < lineBytes) {
            if (pos >= dataEnd)
                return DecodeResult::refuse("PCX: run-length data is cut short");
            std::uint8_t v = b[pos++];
            std::size_t run = 1;
            if ((v & 0xC0) == 0xC0) {
                run = v & 0x3F;
                if (pos >= dataEnd)
                    return DecodeResult::refuse("PCX: run-length data is cut short");
                v = b[pos++];
            }
            run = std::min<std::size_t>(run, lineBytes - filled);
            std::fill_n(line.data() + filled, run, v);
            filled += run;
        }
        std::uint32_t* dst = img.pixels.data() + std::size_t(y) * width;
        const std::uint8_t* src = line.data();
        const std::size_t bpl = h.bytesPerLine;
        if (mono) {
            for (std::size_t x = 0; x < width; ++x)
                dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFFFFu : 0xFF000000u;
        } else if (indexed) {
            for (std::size_t x = 0; x < width; ++x)
                dst[x] = palette[src[x]];
        } else {
            for (std::size_t x = 0; x < width; ++x)
                dst[x] = opaque(src[x], src[bpl + x], src[2 * bpl + x]);
        }
    }
    return DecodeResult::accept(std::move(img));
}

} // namespace pic
