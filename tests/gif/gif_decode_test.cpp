// Composition rules frame by frame on our own small fixtures, the still or
// animated decision, and the fixtures' generator.
#include "picture/gif/gif_builder.h"
#include "picture/gif/gif_composer.h"
#include "picture/gif/gif_decode.h"
#include "tests/gif/fixtures/fixtures.h"
#include "tests/gif/gif_test_util.h"

#include <gtest/gtest.h>

#include <random>

using namespace gif;
using gif::test::letters;

TEST(GifFixtures, CommittedFilesEqualTheGeneratorsOutput)
{
    for (const auto& f : fixtures::all())
        EXPECT_EQ(test::fixture(f.name), f.bytes)
            << f.name << " differs: run gif_make_fixtures tests/gif/fixtures";
}

namespace {

struct Expected {
    const char* file;
    int width, height;
    std::vector<std::string> frames; // letters of the canvas after each frame
    std::vector<int> delaysMs;
    bool animated;
};

const Expected kCases[] = {
    {"still.gif", 4, 4, {"RRGGRRGGBBWWBBWW"}, {50}, false},
    // Anything after the first image but the trailer makes an animation.
    {"still_then_comment.gif", 4, 4, {"RRGGRRGGBBWWBBWW"}, {50}, true},
    {"delays.gif", 2, 1, {"RR", "GG", "BB"}, {50, 50, 70}, true},
    // Disposal 2 clears the red square to transparent; it never returns
    // to the white that lay beneath it.
    {"clear_disposal.gif", 4, 4,
     {"WWWWWWWWWWWWWWWW", "RRWWRRWWWWWWWWWW", "..WW..WWWWBBWWBB"}, {100, 100, 100}, true},
    {"restore_previous.gif", 4, 4,
     {"WWWWWBBWWBBWWWWW", "WWWWWRRWWRRWWWWW", "GWWWWBBWWBBWWWWW"}, {100, 100, 100}, true},
    {"transparency.gif", 3, 1, {"RGB", "RBB"}, {100, 100}, true},
    {"out_of_bounds.gif", 4, 4,
     {"..........GG..GG", "..........GG..GG", "..........GGBBGG"}, {100, 200, 300}, true},
    {"zero_size.gif", 2, 2, {"RRRR", "RRRB"}, {200, 50}, true},
    {"index_beyond_palette.gif", 4, 1, {"RGKK", "BKKB"}, {100, 100}, true},
    {"no_palette.gif", 2, 1, {"K."}, {100}, false},
    {"interlaced.gif", 3, 10, {"RRRGGGBBBWWWRRRGGGBBBWWWRRRGGG"}, {50}, false},
    {"zero_screen.gif", 3, 4, {"..." "..." ".GG" ".GG"}, {50}, false},
    // The first image's data ends after one and a half rows: the full row
    // shows, and the next frame is still read.
    {"short_data.gif", 2, 3, {"RR....", "RR..BB"}, {100, 100}, true},
    {"long_delay.gif", 1, 1, {"R", "G"}, {10000, 10000}, true},
    {"small_animation.gif", 3, 2, {"RGBWRG", "RGBWBG", "R..WWW"}, {50, 50, 30}, true},
};

} // namespace

TEST(GifComposer, ComposesEveryFixtureFrameByFrameAndLoops)
{
    for (const Expected& c : kCases) {
        SCOPED_TRACE(c.file);
        const std::vector<std::uint8_t> bytes = test::fixture(c.file);
        ASSERT_FALSE(bytes.empty());
        Composer composer(bytes);
        pic::Image previous;
        // Two passes: the second shows that the loop starts again on a
        // transparent canvas and gives the same frames.
        for (int pass = 0; pass < 2; ++pass) {
            for (std::size_t i = 0; i < c.frames.size(); ++i) {
                SCOPED_TRACE("pass " + std::to_string(pass) + " frame " + std::to_string(i));
                ASSERT_TRUE(composer.next()) << composer.error();
                EXPECT_EQ(composer.frameIndex(), int(i));
                ASSERT_EQ(composer.image().width, c.width);
                ASSERT_EQ(composer.image().height, c.height);
                EXPECT_EQ(letters(composer.image()), c.frames[i]);
                EXPECT_EQ(composer.delayMs(), c.delaysMs[i]);
                if (i > 0) {
                    EXPECT_EQ(test::outsideChanged(composer, previous), "");
                }
                previous = composer.image();
            }
        }
    }
}

TEST(GifDecode, FirstImageAndStillOrAnimated)
{
    for (const Expected& c : kCases) {
        SCOPED_TRACE(c.file);
        const GifPicture picture = decodeGif(test::fixture(c.file));
        ASSERT_TRUE(picture.first.ok()) << picture.first.error;
        EXPECT_EQ(picture.first.image->width, c.width);
        EXPECT_EQ(picture.first.image->height, c.height);
        EXPECT_EQ(letters(*picture.first.image), c.frames[0]);
        EXPECT_EQ(picture.first.image->hasAlpha, c.frames[0].find('.') != std::string::npos);
        EXPECT_EQ(picture.animated, c.animated);
    }
}

TEST(GifDecode, WhatFollowsTheFirstImageDecides)
{
    std::size_t start = 0, end = 0;
    const std::vector<std::uint8_t> full = fixtures::smallAnimation(&start, &end);
    auto upToFirst = [&](std::vector<std::uint8_t> tail) {
        std::vector<std::uint8_t> bytes(full.begin(), full.begin() + std::ptrdiff_t(end));
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        return decodeGif(bytes);
    };
    struct Case {
        const char* what;
        std::vector<std::uint8_t> tail;
        bool animated;
    };
    const Case cases[] = {
        {"trailer", {0x3B}, false},
        {"trailer and junk after it", {0x3B, 0x2C, 0x21}, false},
        {"nothing: the file ends after the first image", {}, false},
        {"an extension block", {0x21, 0xFE, 0x01, 'x', 0x00, 0x3B}, true},
        {"an image descriptor", {0x2C}, true},
        {"an extension introducer, cut off", {0x21}, true},
        {"a byte that starts no block", {0x00, 0x3B}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const GifPicture picture = upToFirst(c.tail);
        ASSERT_TRUE(picture.first.ok()) << picture.first.error;
        EXPECT_EQ(letters(*picture.first.image), "RGBWRG");
        EXPECT_EQ(picture.animated, c.animated);
    }
}

TEST(GifDecode, RefusesFilesWithoutAReadableImage)
{
    std::size_t start = 0, end = 0;
    const std::vector<std::uint8_t> full = fixtures::smallAnimation(&start, &end);
    GifBuilder zeroOnly;
    zeroOnly.screen(2, 2, {{1, 2, 3}}).image({0, 0, 0, 5, {}, {}, false, 2}).trailer();
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"header only", {'G', 'I', 'F', '8', '9', 'a'}},
        {"not a GIF", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D}},
        {"screen and trailer only", std::vector<std::uint8_t>(full.begin(), full.begin() + 13)},
        {"cut inside the first image descriptor",
         std::vector<std::uint8_t>(full.begin(), full.begin() + std::ptrdiff_t(start + 5))},
        {"only images of zero size", zeroOnly.bytes()},
        {"logical screen beyond the size limit", test::fixture("huge_screen.gif")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const GifPicture picture = decodeGif(c.bytes);
        EXPECT_FALSE(picture.first.ok());
        EXPECT_FALSE(picture.first.error.empty());
        EXPECT_FALSE(picture.animated);
        Composer composer(c.bytes);
        EXPECT_FALSE(composer.next());
        EXPECT_FALSE(composer.next());
    }
}

// The builder's LZW encoder against giflib's decoder, on data that fills the
// code table (random pixels) and on data that compresses to long runs.
TEST(GifBuilder, LzwDataDecodesToThePixelsWritten)
{
    std::vector<Rgb> grey(256);
    for (int i = 0; i < 256; ++i)
        grey[std::size_t(i)] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
    std::mt19937 random(7);
    const int w = 301, h = 211;
    struct Case {
        const char* what;
        int codeSize;
        std::vector<std::uint8_t> pixels;
    };
    std::vector<Case> cases;
    for (int bits : {2, 5, 8}) {
        Case c{"random", bits, {}};
        for (int i = 0; i < w * h; ++i)
            c.pixels.push_back(std::uint8_t(random() % (1u << bits)));
        cases.push_back(std::move(c));
    }
    cases.push_back({"one colour", 8, std::vector<std::uint8_t>(std::size_t(w * h), 77)});
    Case stripes{"stripes", 8, {}};
    for (int i = 0; i < w * h; ++i)
        stripes.pixels.push_back(std::uint8_t((i / 13) % 256));
    cases.push_back(std::move(stripes));

    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + ", code size " + std::to_string(c.codeSize));
        GifBuilder b;
        b.screen(w, h, grey).image({0, 0, w, h, c.pixels, {}, false, c.codeSize}).trailer();
        Composer composer(b.bytes());
        ASSERT_TRUE(composer.next()) << composer.error();
        const pic::Image& img = composer.image();
        ASSERT_EQ(img.pixels.size(), c.pixels.size());
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < c.pixels.size(); ++i)
            wrong += (img.pixels[i] & 0xFF) != c.pixels[i];
        EXPECT_EQ(wrong, 0u);
        EXPECT_FALSE(composer.moreFollows());
    }
}

TEST(GifComposer, TakingTheImageEndsTheComposer)
{
    const std::vector<std::uint8_t> bytes = test::fixture("delays.gif");
    Composer composer(bytes);
    ASSERT_TRUE(composer.next());
    const pic::Image image = composer.takeImage();
    EXPECT_EQ(letters(image), "RR");
    EXPECT_FALSE(composer.next());
}
