#include "picture/gif/gif_builder.h"

#include <algorithm>
#include <unordered_map>

namespace gif {

int paletteBits(std::size_t colours)
{
    int bits = 1;
    while ((std::size_t(1) << bits) < colours && bits < 8)
        ++bits;
    return bits;
}

namespace {

// Packs variable-width codes least significant bit first and cuts the byte
// stream into sub-blocks of at most 255 bytes.
class CodeWriter {
public:
    void put(int code, int width)
    {
        acc_ |= std::uint32_t(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            data_.push_back(std::uint8_t(acc_ & 0xFF));
            acc_ >>= 8;
            bits_ -= 8;
        }
    }
    std::vector<std::uint8_t> finish(int minCodeSize)
    {
        if (bits_ > 0)
            data_.push_back(std::uint8_t(acc_ & 0xFF));
        std::vector<std::uint8_t> out;
        out.push_back(std::uint8_t(minCodeSize));
        for (std::size_t i = 0; i < data_.size(); i += 255) {
            const std::size_t n = std::min<std::size_t>(255, data_.size() - i);
            out.push_back(std::uint8_t(n));
            out.insert(out.end(), data_.begin() + std::ptrdiff_t(i), data_.begin() + std::ptrdiff_t(i + n));
        }
        out.push_back(0);
        return out;
    }

private:
    std::vector<std::uint8_t> data_;
    std::uint32_t acc_ = 0;
    int bits_ = 0;
};

} // namespace

std::vector<std::uint8_t> compressIndices(const std::vector<std::uint8_t>& indices, int minCodeSize)
{
    const int clear = 1 << minCodeSize;
    const int eoi = clear + 1;
    CodeWriter w;
    int width = minCodeSize + 1;
    int next = clear + 2;
    std::unordered_map<std::uint32_t, int> table;
    w.put(clear, width);
    if (indices.empty()) {
        w.put(eoi, width);
        return w.finish(minCodeSize);
    }
    const int mask = clear - 1;
    int prefix = indices[0] & mask;
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const int c = indices[i] & mask;
        const std::uint32_t key = std::uint32_t(prefix) << 8 | std::uint32_t(c);
        if (auto it = table.find(key); it != table.end()) {
            prefix = it->second;
            continue;
        }
        w.put(prefix, width);
        // The decoder widens its codes once the entry this step adds no
        // longer fits; it learns of the entry one code later than we do.
        if (next >= (1 << width) && width < 12)
            ++width;
        if (next < 4096) {
            table.emplace(key, next++);
        } else {
            w.put(clear, width);
            table.clear();
            width = minCodeSize + 1;
            next = clear + 2;
        }
        prefix = c;
    }
    w.put(prefix, width);
    if (next >= (1 << width) && width < 12)
        ++width;
    w.put(eoi, width);
    return w.finish(minCodeSize);
}

void GifBuilder::word(int value)
{
    out_.push_back(std::uint8_t(value & 0xFF));
    out_.push_back(std::uint8_t((value >> 8) & 0xFF));
}

void GifBuilder::palette(const std::vector<Rgb>& colours, int bits)
{
    for (int i = 0; i < (1 << bits); ++i) {
        const Rgb c = std::size_t(i) < colours.size() ? colours[std::size_t(i)] : Rgb{};
        out_.insert(out_.end(), {c.r, c.g, c.b});
    }
}

GifBuilder& GifBuilder::screen(int width, int height, const std::vector<Rgb>& globalPalette,
                               int backgroundIndex, bool gif89)
{
    const char* stamp = gif89 ? "GIF89a" : "GIF87a";
    out_.insert(out_.end(), stamp, stamp + 6);
    word(width);
    word(height);
    const int bits = paletteBits(globalPalette.size());
    std::uint8_t flags = std::uint8_t((7 << 4) | (bits - 1));
    if (!globalPalette.empty())
        flags |= 0x80;
    out_.push_back(flags);
    out_.push_back(std::uint8_t(backgroundIndex));
    out_.push_back(0); // aspect ratio
    if (!globalPalette.empty())
        palette(globalPalette, bits);
    return *this;
}

GifBuilder& GifBuilder::control(int disposal, int delayHundredths, int transparentIndex)
{
    out_.insert(out_.end(), {0x21, 0xF9, 0x04});
    std::uint8_t flags = std::uint8_t((disposal & 7) << 2);
    if (transparentIndex >= 0)
        flags |= 1;
    out_.push_back(flags);
    word(delayHundredths);
    out_.push_back(std::uint8_t(transparentIndex >= 0 ? transparentIndex : 0));
    out_.push_back(0);
    return *this;
}

GifBuilder& GifBuilder::loop(int count)
{
    const char* app = "NETSCAPE2.0";
    out_.insert(out_.end(), {0x21, 0xFF, 0x0B});
    out_.insert(out_.end(), app, app + 11);
    out_.insert(out_.end(), {0x03, 0x01});
    word(count);
    out_.push_back(0);
    return *this;
}

GifBuilder& GifBuilder::comment(std::string_view text)
{
    out_.insert(out_.end(), {0x21, 0xFE});
    for (std::size_t i = 0; i < text.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, text.size() - i);
        out_.push_back(std::uint8_t(n));
        out_.insert(out_.end(), text.begin() + std::ptrdiff_t(i), text.begin() + std::ptrdiff_t(i + n));
    }
    out_.push_back(0);
    return *this;
}

GifBuilder& GifBuilder::image(const ImageBlock& block)
{
    out_.push_back(0x2C);
    word(block.left);
    word(block.top);
    word(block.width);
    word(block.height);
    const int bits = paletteBits(block.localPalette.size());
    std::uint8_t flags = 0;
    if (!block.localPalette.empty())
        flags |= std::uint8_t(0x80 | (bits - 1));
    if (block.interlaced)
        flags |= 0x40;
    out_.push_back(flags);
    if (!block.localPalette.empty())
        palette(block.localPalette, bits);

    int codeSize = block.minCodeSize;
    if (codeSize == 0) {
        const std::uint8_t top =
            block.pixels.empty() ? 0 : *std::max_element(block.pixels.begin(), block.pixels.end());
        codeSize = std::max(2, paletteBits(std::size_t(top) + 1));
    }

    std::vector<std::uint8_t> order = block.pixels;
    const std::size_t w = std::size_t(std::max(block.width, 0));
    if (block.interlaced && w > 0 && block.pixels.size() == w * std::size_t(block.height)) {
        order.clear();
        static const int start[] = {0, 4, 2, 1};
        static const int step[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = start[pass]; y < block.height; y += step[pass])
                order.insert(order.end(), block.pixels.begin() + std::ptrdiff_t(std::size_t(y) * w),
                             block.pixels.begin() + std::ptrdiff_t(std::size_t(y + 1) * w));
    }
    const std::vector<std::uint8_t> data = compressIndices(order, codeSize);
    out_.insert(out_.end(), data.begin(), data.end());
    return *this;
}

GifBuilder& GifBuilder::trailer()
{
    out_.push_back(0x3B);
    return *this;
}

GifBuilder& GifBuilder::raw(const std::vector<std::uint8_t>& bytes)
{
    out_.insert(out_.end(), bytes.begin(), bytes.end());
    return *this;
}

} // namespace gif
