#include "dib.h"

#include <algorithm>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace pic::detail {

std::string readDibInfo(Bytes b, std::size_t at, DibInfo& info)
{
    if (!holds(b, at, 40))
        return "the information header is cut short";
    info.headerSize = le32(b, at);
    // 40 is the classic header; 52, 56, 108 (V4) and 124 (V5) extend it with
    // fields that matter only for compressed or colour-managed data.
    switch (info.headerSize) {
    case 40: case 52: case 56: case 108: case 124:
        break;
    default:
        return "information header of " + std::to_string(info.headerSize) + " bytes is not supported";
    }
    if (!holds(b, at, info.headerSize))
        return "the information header is cut short";
    info.width = le32s(b, at + 4);
    info.height = le32s(b, at + 8);
    info.planes = le16(b, at + 12);
    info.bits = le16(b, at + 14);
    info.compression = le32(b, at + 16);
    info.clrUsed = le32(b, at + 32);
    if (info.planes != 1)
        return "plane count " + std::to_string(info.planes) + " is not 1";
    if (info.compression != 0)
        return "compression " + std::to_string(info.compression) + " is not supported";
    switch (info.bits) {
    case 1: case 4: case 8: case 24: case 32:
        break;
    default:
        return std::to_string(info.bits) + " bits per pixel are not supported";
    }
    return {};
}

std::uint32_t dibTableEntries(const DibInfo& info)
{
    if (info.bits > 8)
        return 0;
    const std::uint32_t full = 1u << info.bits;
    return info.clrUsed == 0 || info.clrUsed > full ? full : info.clrUsed;
}

std::vector<std::uint32_t> readColourTable(Bytes b, std::uint64_t at, std::uint32_t entries)
{
    std::vector<std::uint32_t> table;
    if (at >= b.size())
        return table;
    const std::uint64_t held = (b.size() - at) / 4;
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(entries, held));
    table.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t p = static_cast<std::size_t>(at) + 4 * i;
        table.push_back(opaque(b[p + 2], b[p + 1], b[p]));
    }
    return table;
}

void decodeDibRows(Bytes b, std::uint64_t at, bool topDown, unsigned bits,
                   const std::vector<std::uint32_t>& palette, bool withAlpha, Image& out)
{
    const auto width = static_cast<std::size_t>(out.width);
    const auto height = static_cast<std::size_t>(out.height);
    const std::uint64_t stride = dibRowBytes(width, bits);
    const std::uint32_t mask = bits <= 8 ? (1u << bits) - 1 : 0;
    auto lookup = [&](std::uint32_t index) {
        return index < palette.size() ? palette[index] : 0xFF000000u;
    };
    for (std::size_t row = 0; row < height; ++row) {
        const std::uint8_t* src = b.data() + at + row * stride;
        const std::size_t y = topDown ? row : height - 1 - row;
        std::uint32_t* dst = out.pixels.data() + y * width;
        switch (bits) {
        case 1: case 4: case 8:
            for (std::size_t x = 0; x < width; ++x) {
                const std::size_t bit = x * bits;
                const unsigned shift = 8 - bits - (bit & 7);
                dst[x] = lookup((src[bit >> 3] >> shift) & mask);
            }
            break;
        case 24:
            for (std::size_t x = 0; x < width; ++x, src += 3)
                dst[x] = opaque(src[2], src[1], src[0]);
            break;
        case 32:
            for (std::size_t x = 0; x < width; ++x, src += 4) {
                const std::uint32_t alpha = withAlpha ? src[3] : 0xFFu;
                dst[x] = (alpha << 24) | (std::uint32_t(src[2]) << 16) | (std::uint32_t(src[1]) << 8) | src[0];
            }
            break;
        }
    }
}

Image makeImage(int width, int height)
{
    Image img;
    img.width = width;
    img.height = height;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    img.pixels.reserve(count);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // A large picture is touched page by page on its first write, and on
    // virtual machines each page fault is dear: a 24-megapixel buffer costs
    // more in 4 KiB faults than its JPEG takes to decode. Huge pages, where
    // the system grants them, cut the number of faults by 512.
    constexpr std::uintptr_t kHuge = 2u << 20;
    if (count * sizeof(std::uint32_t) >= 4 * kHuge) {
        const auto first = reinterpret_cast<std::uintptr_t>(img.pixels.data());
        const std::uintptr_t begin = (first + kHuge - 1) & ~(kHuge - 1);
        const std::uintptr_t end = (first + count * sizeof(std::uint32_t)) & ~(kHuge - 1);
        if (end > begin)
            madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
#endif
    img.pixels.resize(count);
    return img;
}

} // namespace pic::detail
