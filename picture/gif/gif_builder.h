#pragma once
// Writes GIF files block by block, with any field value the format can hold,
// including the faulty ones a reader must survive (frames outside the logical
// screen, zero sizes, colour indices beyond the palette, missing trailers).
// Used to make the test fixtures and the benchmark's animation; the program
// itself never writes GIF files.

#include <cstdint>
#include <string_view>
#include <vector>

namespace gif {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

// One image block. `pixels` are colour indices, row by row from the top,
// normally width * height of them; fewer or more are written as given, which
// makes images whose data ends early or runs long.
struct ImageBlock {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    std::vector<Rgb> localPalette; // empty: no local colour table
    bool interlaced = false;       // rows are written in the four-pass order
    int minCodeSize = 0;           // LZW minimum code size; 0 picks the smallest that fits
};

class GifBuilder {
public:
    // Header and logical screen descriptor; an empty palette writes no
    // global colour table. Tables are padded to a power of two with black.
    GifBuilder& screen(int width, int height, const std::vector<Rgb>& globalPalette,
                       int backgroundIndex = 0, bool gif89 = true);
    // Graphic control extension for the next image.
    GifBuilder& control(int disposal, int delayHundredths, int transparentIndex = -1);
    // Application extension asking for `count` loops (0: forever).
    GifBuilder& loop(int count = 0);
    GifBuilder& comment(std::string_view text);
    GifBuilder& image(const ImageBlock& block);
    GifBuilder& trailer();
    GifBuilder& raw(const std::vector<std::uint8_t>& bytes);

    const std::vector<std::uint8_t>& bytes() const { return out_; }

private:
    void word(int value);
    void palette(const std::vector<Rgb>& colours, int bits);
    std::vector<std::uint8_t> out_;
};

// LZW-compresses colour indices as a GIF image's data: the code-size byte,
// the data sub-blocks and the terminating empty block.
std::vector<std::uint8_t> compressIndices(const std::vector<std::uint8_t>& indices, int minCodeSize);

// Bits of the smallest colour table that holds `colours` entries (at least 1).
int paletteBits(std::size_t colours);

} // namespace gif
