// Our own small BMP, ICO, CUR and PCX files (made by make_fixtures.py), each
// with the picture it was made from or "refused" in NAME.expect.

#include "test_util.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

namespace fs = std::filesystem;

fs::path fixturesDir() { return testutil::sourceDir() / "tests/decoders/fixtures"; }

// Reads NAME.expect: nullopt for "refused", else the expected picture.
std::optional<pic::Image> readExpectation(const fs::path& p)
{
    std::ifstream in(p);
    std::string first;
    in >> first;
    if (first == "refused")
        return std::nullopt;
    pic::Image img;
    img.width = std::stoi(first);
    in >> img.height;
    std::string word;
    while (in >> word)
        img.pixels.push_back(std::uint32_t(std::stoul(word, nullptr, 16)));
    return img;
}

TEST(Fixtures, DecodeAsMade)
{
    int count = 0;
    for (const auto& entry : fs::directory_iterator(fixturesDir())) {
        const fs::path file = entry.path();
        if (file.extension() == ".expect")
            continue;
        SCOPED_TRACE(file.filename().string());
        ++count;
        fs::path expectFile = file;
        expectFile.replace_extension(".expect");
        ASSERT_TRUE(fs::exists(expectFile));
        const auto want = readExpectation(expectFile);
        const auto bytes = testutil::readFile(file);
        ASSERT_NE(pic::recognizeFormat(bytes), pic::Format::None);
        const pic::DecodeResult r = pic::decodePicture(bytes, testutil::qtPng);
        ASSERT_EQ(r.ok(), want.has_value()) << r.error;
        if (!want) {
            EXPECT_FALSE(r.error.empty());
            continue;
        }
        ASSERT_EQ(want->pixels.size(), std::size_t(want->width) * want->height) << "bad .expect file";
        EXPECT_EQ(testutil::compareImages(*r.image, *want), "");
        const bool transparent = std::any_of(want->pixels.begin(), want->pixels.end(),
                                             [](std::uint32_t p) { return p >> 24 != 0xFF; });
        EXPECT_EQ(r.image->hasAlpha, transparent);
    }
    EXPECT_GT(count, 40);
}

TEST(Fixtures, FormatsAsRecognised)
{
    const std::pair<const char*, pic::Format> cases[] = {
        {"ico_24_mask.ico", pic::Format::Ico},   {"cur_24_mask.cur", pic::Format::Cur},
        {"pcx_256.pcx", pic::Format::Pcx256},    {"pcx_rgb24.pcx", pic::Format::Pcx256},
        {"pcx_mono.pcx", pic::Format::PcxMono},  {"bmp_24_top_down.bmp", pic::Format::Bmp},
    };
    for (const auto& [name, format] : cases)
        EXPECT_EQ(pic::recognizeFormat(testutil::readFile(fixturesDir() / name)), format) << name;
}

TEST(Icon, PngImageNeedsTheHook)
{
    const auto bytes = testutil::readFile(fixturesDir() / "ico_png.ico");
    const pic::DecodeResult without = pic::decodeIcon(bytes);
    EXPECT_FALSE(without.ok());
    EXPECT_NE(without.error.find("PNG"), std::string::npos);

    // The hook gets exactly the embedded PNG, from its signature on.
    std::size_t seen = 0;
    const pic::DecodeResult with = pic::decodeIcon(bytes, [&](std::span<const std::uint8_t> png) {
        seen = png.size();
        EXPECT_EQ(png[0], 0x89);
        EXPECT_EQ(png[1], 'P');
        return testutil::qtPng(png);
    });
    EXPECT_TRUE(with.ok()) << with.error;
    EXPECT_EQ(seen, bytes.size() - 6 - 16);
}

TEST(Icon, HookAnsweringNonsenseIsRefused)
{
    const auto bytes = testutil::readFile(fixturesDir() / "ico_png.ico");
    const pic::DecodeResult r = pic::decodeIcon(bytes, [](std::span<const std::uint8_t>) {
        pic::Image bad;
        bad.width = 100;
        bad.height = 100; // and no pixels
        return pic::DecodeResult::accept(std::move(bad));
    });
    EXPECT_FALSE(r.ok());
}

// Cutting a valid file anywhere never crashes, and a file whose pixels are
// cut short is refused rather than shown with made-up pixels.
TEST(Fixtures, EveryPrefixOfAcceptedFilesIsSafe)
{
    for (const char* name : {"bmp_4_odd_width.bmp", "bmp_24_v5_header.bmp", "ico_choice_32x16.ico",
                             "ico_24_mask.ico", "cur_24_mask.cur", "pcx_256.pcx", "pcx_rgb24.pcx", "pcx_mono.pcx"}) {
        SCOPED_TRACE(name);
        const auto bytes = testutil::readFile(fixturesDir() / name);
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            const std::span<const std::uint8_t> prefix(bytes.data(), n);
            const pic::DecodeResult r = pic::decodePicture(prefix, testutil::qtPng);
            if (r.ok()) {
                EXPECT_EQ(r.image->pixels.size(), std::size_t(r.image->width) * r.image->height);
            }
        }
    }
    // BMP: every prefix short of the last row's pixels is refused.
    const auto bmp = testutil::readFile(fixturesDir() / "bmp_24_bottom_up.bmp");
    for (std::size_t n = 0; n + 3 < bmp.size(); ++n)
        EXPECT_FALSE(pic::decodeBmp(std::span(bmp.data(), n)).ok()) << n;
}

} // namespace
