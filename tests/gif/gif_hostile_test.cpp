// Damaged and hostile GIF files: every one must be read without a crash or
// a hang, within the memory limits, and show what can sensibly be shown.
#include "picture/gif/gif_builder.h"
#include "picture/gif/gif_composer.h"
#include "picture/gif/gif_decode.h"
#include "tests/gif/fixtures/fixtures.h"
#include "tests/gif/gif_test_util.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace gif;
using gif::test::letters;

namespace {

const std::vector<Rgb> kPalette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

// Reads the picture the way the picture box and the player do: the first
// image, then a few rounds of the animation. Returns the frames of the first
// pass (up to the first wrap) or -1 when nothing can be played.
int playSome(const std::vector<std::uint8_t>& bytes)
{
    const GifPicture picture = decodeGif(bytes);
    Composer composer(bytes);
    int firstPass = 0;
    bool wrapped = false;
    for (int i = 0; i < 12; ++i) {
        if (!composer.next()) {
            EXPECT_EQ(i, 0) << "a composer that has produced a frame keeps producing frames";
            EXPECT_FALSE(picture.first.ok());
            return -1;
        }
        const pic::Image& img = composer.image();
        EXPECT_TRUE(pic::dimensionsAllowed(img.width, img.height));
        EXPECT_EQ(img.pixels.size(), std::size_t(img.width) * std::size_t(img.height));
        if (i > 0 && composer.frameIndex() == 0)
            wrapped = true;
        if (!wrapped)
            firstPass = composer.frameIndex() + 1;
    }
    EXPECT_TRUE(picture.first.ok());
    return firstPass;
}

} // namespace

// Cut at every length, the small animation plays the frames it holds: no
// frame is lost by cutting later, and the first image decides as soon as
// its data is there.
TEST(GifHostile, TruncatedAtEveryLength)
{
    std::size_t start = 0, end = 0;
    const std::vector<std::uint8_t> full = fixtures::smallAnimation(&start, &end);
    const GifPicture whole = decodeGif(full);
    ASSERT_TRUE(whole.first.ok());
    int lastFrames = -1;
    for (std::size_t n = 0; n <= full.size(); ++n) {
        SCOPED_TRACE("first " + std::to_string(n) + " bytes");
        const std::vector<std::uint8_t> cut(full.begin(), full.begin() + std::ptrdiff_t(n));
        const int frames = playSome(cut);
        EXPECT_GE(frames, lastFrames);
        lastFrames = frames;

        const GifPicture picture = decodeGif(cut);
        if (n <= start + 10) { // the descriptor and the code size byte are not all there
            EXPECT_FALSE(picture.first.ok());
        }
        if (n >= end) {
            ASSERT_TRUE(picture.first.ok());
            EXPECT_EQ(picture.first.image->pixels, whole.first.image->pixels);
            EXPECT_EQ(picture.animated, n > end) << "cut right after the first image: still";
        }
    }
    EXPECT_EQ(lastFrames, 3);
}

TEST(GifHostile, SuiteFilesTruncatedAtEveryLength)
{
    for (const auto& entry : std::filesystem::directory_iterator(test::suitePath(""))) {
        if (entry.path().extension() != ".gif")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::vector<std::uint8_t> full = test::readFile(entry.path().string());
        int lastFrames = -1;
        for (std::size_t n = 0; n <= full.size(); ++n) {
            const int frames = playSome({full.begin(), full.begin() + std::ptrdiff_t(n)});
            EXPECT_GE(frames, lastFrames) << n;
            lastFrames = frames;
        }
        EXPECT_GE(lastFrames, 1);
    }
}

// Every byte of the small animation changed in turn, to values that break
// lengths, flags and codes.
TEST(GifHostile, EveryByteDamaged)
{
    const std::vector<std::uint8_t> full = fixtures::smallAnimation();
    for (std::size_t i = 0; i < full.size(); ++i)
        for (std::uint8_t value : {std::uint8_t(0x00), std::uint8_t(0xFF), std::uint8_t(full[i] ^ 0x40)}) {
            std::vector<std::uint8_t> bad = full;
            bad[i] = value;
            playSome(bad);
        }
}

// An image far larger than the screen with little data: only the rows on
// the canvas are decoded, the rest is skipped, and memory stays the
// screen's.
TEST(GifHostile, HugeFrameOnASmallScreen)
{
    GifBuilder b;
    b.screen(4, 2, kPalette);
    ImageBlock img;
    img.width = 65535;
    img.height = 65535;
    img.pixels.assign(std::size_t(65535) * 3, 1); // three rows of green, then the data ends
    b.image(img).trailer();
    const GifPicture picture = decodeGif(b.bytes());
    ASSERT_TRUE(picture.first.ok()) << picture.first.error;
    EXPECT_EQ(letters(*picture.first.image), "GGGGGGGG");
    EXPECT_FALSE(picture.animated);
}

TEST(GifHostile, OddCodeSizesAndControlBlocks)
{
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        bool readable;
        const char* first; // letters of the first frame when readable
    };
    auto withImageData = [](std::vector<std::uint8_t> data) {
        GifBuilder b;
        b.screen(2, 1, kPalette);
        b.raw({0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0});
        b.raw(data).trailer();
        return b.bytes();
    };
    GifBuilder shortControl;
    shortControl.screen(2, 1, kPalette)
        .raw({0x21, 0xF9, 0x03, 0x01, 0x00, 0x00, 0x00}) // a control block of 3 bytes: ignored
        .image({0, 0, 2, 1, {2, 3}, {}, false, 0})
        .trailer();
    GifBuilder transparentBeyond;
    transparentBeyond.screen(2, 1, kPalette)
        .control(0, 0, 200)
        .image({0, 0, 2, 1, {200, 1}, {}, false, 8})
        .trailer();
    const Case cases[] = {
        {"LZW code size 12", withImageData({12, 1, 0xFF, 0}), false, ""},
        {"LZW code size 0", withImageData({0, 2, 0x55, 0x55, 0}), true, nullptr},
        {"LZW code size 1", withImageData({1, 2, 0x4C, 0x01, 0}), true, nullptr},
        {"no data sub-blocks", withImageData({2, 0}), false, ""},
        {"codes that name no table entry", withImageData({2, 3, 0xFF, 0xFF, 0xFF, 0}), true, nullptr},
        {"control block of the wrong length", shortControl.bytes(), true, "BW"},
        {"transparent colour beyond the palette", transparentBeyond.bytes(), true, ".G"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const GifPicture picture = decodeGif(c.bytes);
        playSome(c.bytes);
        if (!c.readable) {
            EXPECT_FALSE(picture.first.ok());
            continue;
        }
        // Whether damaged data yields a row is up to the LZW decoder; what
        // it yields must be a sane picture.
        if (!picture.first.ok())
            continue;
        EXPECT_EQ(picture.first.image->width, 2);
        EXPECT_EQ(picture.first.image->height, 1);
        if (c.first) {
            EXPECT_EQ(letters(*picture.first.image), c.first);
        }
    }
}
