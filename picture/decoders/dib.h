#pragma once
// The device-independent bitmap layout shared by BMP files and the images
// inside ICO/CUR files: the 40-byte information header, the colour table
// and uncompressed rows of 1, 4, 8, 24 or 32 bits per pixel.

#include "bytes.h"
#include "image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pic::detail {

struct DibInfo {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0; // as stored: negative means top-down in BMP files
    std::uint16_t planes = 0;
    std::uint16_t bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
};

// Reads the information header at `at` and checks what both users need:
// a known header size that the bytes hold, one plane, no compression, and a
// supported bit count. Answers an empty string or why the header is refused.
std::string readDibInfo(Bytes b, std::size_t at, DibInfo& info);

// Bytes of one stored row, padded to four bytes.
inline std::uint64_t dibRowBytes(std::uint64_t width, unsigned bits)
{
    return (width * bits + 31) / 32 * 4;
}

// Bytes of the last row without its padding, which some writers leave out.
inline std::uint64_t dibRowBytesUnpadded(std::uint64_t width, unsigned bits)
{
    return (width * bits + 7) / 8;
}

// Colour-table entries the header asks for (0 above 8 bits per pixel).
std::uint32_t dibTableEntries(const DibInfo& info);

// Reads up to `entries` RGBQUAD entries at `at`, as many as the bytes hold.
std::vector<std::uint32_t> readColourTable(Bytes b, std::uint64_t at, std::uint32_t entries);

// Writes `out` (already sized width x height) from rows starting at `at`.
// The caller has checked that the bytes hold every row. Indices beyond the
// palette give opaque black. For 32 bits, `withAlpha` takes the fourth byte
// as alpha, otherwise the pixels are opaque.
void decodeDibRows(Bytes b, std::uint64_t at, bool topDown, unsigned bits,
                   const std::vector<std::uint32_t>& palette, bool withAlpha, Image& out);

// Allocates the picture after the dimensions were checked.
Image makeImage(int width, int height);

} // namespace pic::detail
