#pragma once
// Bounds-checked little-endian reads shared by the decoders. Offsets and
// lengths are 64-bit so that sums of header fields cannot wrap.

#include <cstddef>
#include <cstdint>
#include <span>

namespace pic::detail {

using Bytes = std::span<const std::uint8_t>;

// True when [offset, offset + length) lies inside the bytes.
inline bool holds(Bytes b, std::uint64_t offset, std::uint64_t length)
{
    return offset <= b.size() && length <= b.size() - offset;
}

// Callers check holds() first; these never read outside the span.
inline std::uint16_t le16(Bytes b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

inline std::uint32_t le32(Bytes b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8)
        | (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

inline std::int32_t le32s(Bytes b, std::size_t at)
{
    return static_cast<std::int32_t>(le32(b, at));
}

inline constexpr std::uint32_t opaque(std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

} // namespace pic::detail
