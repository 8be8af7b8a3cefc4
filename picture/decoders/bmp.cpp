#include "decoders.h"
#include "dib.h"

#include <climits>

namespace pic {

using namespace detail;

DecodeResult decodeBmp(std::span<const std::uint8_t> b)
{
    constexpr std::size_t kFileHeader = 14;
    if (!holds(b, 0, kFileHeader + 40) || b[0] != 'B' || b[1] != 'M')
        return DecodeResult::refuse("BMP: file too short for its headers");
    DibInfo info;
    if (std::string why = readDibInfo(b, kFileHeader, info); !why.empty())
        return DecodeResult::refuse("BMP: " + why);
    if (info.width <= 0 || info.height == 0 || info.height == INT_MIN)
        return DecodeResult::refuse("BMP: width or height is zero or negative");
    const bool topDown = info.height < 0;
    const std::int64_t width = info.width;
    const std::int64_t height = topDown ? -std::int64_t(info.height) : info.height;
    if (!dimensionsAllowed(width, height))
        return DecodeResult::refuse("BMP: picture too large");

    // bfSize and biSizeImage are often wrong; only the bytes really present
    // count. Every row must be there before anything is allocated.
    const std::uint64_t offset = le32(b, 10);
    const std::uint64_t needed = dibRowBytes(width, info.bits) * (height - 1)
        + dibRowBytesUnpadded(width, info.bits);
    if (!holds(b, offset, needed))
        return DecodeResult::refuse("BMP: pixel data is cut short");

    const auto palette = readColourTable(b, kFileHeader + info.headerSize, dibTableEntries(info));
    Image img = makeImage(static_cast<int>(width), static_cast<int>(height));
    decodeDibRows(b, offset, topDown, info.bits, palette, false, img);
    return DecodeResult::accept(std::move(img));
}

} // namespace pic
