#include "decoders.h"
#include "dib.h"

#include <algorithm>

namespace pic {

using namespace detail;

namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

DecodeResult decodeIconDib(Bytes b)
{
    DibInfo info;
    if (std::string why = readDibInfo(b, 0, info); !why.empty())
        return DecodeResult::refuse("icon: " + why);
    // The stored height covers the colour image and the AND mask below it.
    const std::int64_t width = info.width;
    const std::int64_t height = info.height / 2;
    if (info.height < 0 || !dimensionsAllowed(width, height))
        return DecodeResult::refuse("icon: bad image size");

    const std::uint64_t tableEntries = info.bits <= 8 && info.clrUsed == 0 ? (1u << info.bits) : info.clrUsed;
    const std::uint64_t xorAt = info.headerSize + 4 * tableEntries;
    const std::uint64_t xorRow = dibRowBytes(width, info.bits);
    if (!holds(b, xorAt, xorRow * (height - 1) + dibRowBytesUnpadded(width, info.bits)))
        return DecodeResult::refuse("icon: image data is cut short");

    const auto palette = readColourTable(b, info.headerSize, dibTableEntries(info));
    Image img = makeImage(static_cast<int>(width), static_cast<int>(height));
    bool alphaUsed = false;
    if (info.bits == 32) {
        // Icons with an alpha channel carry it in the fourth byte; older
        // 32-bit icons leave it zero and rely on the mask instead.
        for (std::int64_t row = 0; row < height && !alphaUsed; ++row) {
            const std::uint8_t* p = b.data() + xorAt + row * xorRow;
            for (std::int64_t x = 0; x < width; ++x)
                if (p[4 * x + 3] != 0) {
                    alphaUsed = true;
                    break;
                }
        }
    }
    decodeDibRows(b, xorAt, false, info.bits, palette, alphaUsed, img);

    // The AND mask, one bit per pixel, bottom-up: 1 means transparent.
    const std::uint64_t maskAt = xorAt + xorRow * height;
    const std::uint64_t maskRow = dibRowBytes(width, 1);
    if (!alphaUsed && holds(b, maskAt, maskRow * height)) {
        for (std::int64_t row = 0; row < height; ++row) {
            const std::uint8_t* m = b.data() + maskAt + row * maskRow;
            std::uint32_t* dst = img.pixels.data() + (height - 1 - row) * width;
            for (std::int64_t x = 0; x < width; ++x)
                if (m[x >> 3] & (0x80 >> (x & 7)))
                    dst[x] = 0;
        }
    }
    img.hasAlpha = std::any_of(img.pixels.begin(), img.pixels.end(),
                               [](std::uint32_t p) { return (p >> 24) != 0xFF; });
    return DecodeResult::accept(std::move(img));
}

} // namespace

DecodeResult decodeIcon(std::span<const std::uint8_t> b, const PngDecoder& png)
{
    if (!holds(b, 0, 6) || le16(b, 0) != 0 || (le16(b, 2) != 1 && le16(b, 2) != 2))
        return DecodeResult::refuse("icon: not an icon directory");
    // Only directory entries that the file really holds take part.
    const std::size_t count = std::min<std::size_t>(le16(b, 4), (b.size() - 6) / 16);
    if (count == 0)
        return DecodeResult::refuse("icon: empty directory");

    // The first 32-pixel-wide entry with 16 colours or more, else the last.
    std::size_t chosen = count - 1;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t e = 6 + 16 * i;
        if (b[e] == 32 && b[e + 2] >= 16) {
            chosen = i;
            break;
        }
    }
    const std::size_t e = 6 + 16 * chosen;
    const std::uint64_t size = le32(b, e + 8);
    const std::uint64_t offset = le32(b, e + 12);
    if (offset >= b.size())
        return DecodeResult::refuse("icon: image lies beyond the end of the file");
    // The directory's size only bounds the image; its own header decides.
    const Bytes image = b.subspan(offset, std::min<std::uint64_t>(size, b.size() - offset));

    if (image.size() >= 8 && std::equal(std::begin(kPngSignature), std::end(kPngSignature), image.begin())) {
        if (!png)
            return DecodeResult::refuse("icon: PNG image and no PNG decoder");
        DecodeResult r = png(image);
        if (!r.ok())
            return r;
        if (!dimensionsAllowed(r.image->width, r.image->height)
            || r.image->pixels.size() != std::size_t(r.image->width) * std::size_t(r.image->height))
            return DecodeResult::refuse("icon: PNG image of a bad size");
        r.image->hasAlpha = std::any_of(r.image->pixels.begin(), r.image->pixels.end(),
                                        [](std::uint32_t p) { return (p >> 24) != 0xFF; });
        return r;
    }
    return decodeIconDib(image);
}

} // namespace pic
