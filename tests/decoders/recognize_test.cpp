#include "decoders.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    pic::Format format;
};

const std::vector<Case> kCases = {
    {"bmp", {'B', 'M', 0, 0, 0, 0}, pic::Format::Bmp},
    {"jpeg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10}, pic::Format::Jpeg},
    {"ico", {0, 0, 1, 0, 1, 0}, pic::Format::Ico},
    {"ico count high byte", {0, 0, 1, 0, 0, 1}, pic::Format::Ico},
    {"ico without images", {0, 0, 1, 0, 0, 0}, pic::Format::None},
    {"cur", {0, 0, 2, 0, 3, 0}, pic::Format::Cur},
    {"cur without images", {0, 0, 2, 0, 0, 0}, pic::Format::None},
    {"gif87a", {'G', 'I', 'F', '8', '7', 'a'}, pic::Format::Gif},
    {"gif89a", {'G', 'I', 'F', '8', '9', 'a', 1, 0}, pic::Format::Gif},
    {"gif88a", {'G', 'I', 'F', '8', '8', 'a'}, pic::Format::None},
    {"gif89b", {'G', 'I', 'F', '8', '9', 'b'}, pic::Format::None},
    {"pcx 256 version 0", {0x0A, 0, 1, 8, 0, 0}, pic::Format::Pcx256},
    {"pcx 256 version 5", {0x0A, 5, 1, 8, 0, 0}, pic::Format::Pcx256},
    {"pcx 256 version 6", {0x0A, 6, 1, 8, 0, 0}, pic::Format::None},
    {"pcx 256 not rle", {0x0A, 5, 0, 8, 0, 0}, pic::Format::None},
    {"pcx mono", {0x0A, 3, 1, 1, 0, 0}, pic::Format::PcxMono},
    {"pcx mono version 5", {0x0A, 5, 1, 1, 0, 0}, pic::Format::None},
    {"pcx 4 bits", {0x0A, 3, 1, 4, 0, 0}, pic::Format::None},
    {"png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, pic::Format::None},
    {"five bytes of bmp", {'B', 'M', 0, 0, 0}, pic::Format::None},
    {"five bytes of jpeg", {0xFF, 0xD8, 0xFF, 0xE0, 0}, pic::Format::None},
    {"empty", {}, pic::Format::None},
    {"text", {'h', 'e', 'l', 'l', 'o', '!'}, pic::Format::None},
};

TEST(RecognizeFormat, FirstSixBytesDecide)
{
    for (const Case& c : kCases)
        EXPECT_EQ(pic::recognizeFormat(c.bytes), c.format) << c.name;
}

TEST(RecognizeFormat, LaterBytesPlayNoPart)
{
    // A BMP signature followed by a whole PNG still counts as BMP, and a PNG
    // stays unrecognised whatever follows.
    std::vector<std::uint8_t> b = {'B', 'M', 0, 0, 0, 0, 0x89, 'P', 'N', 'G'};
    EXPECT_EQ(pic::recognizeFormat(b), pic::Format::Bmp);
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 'B', 'M', 0xFF, 0xD8};
    EXPECT_EQ(pic::recognizeFormat(png), pic::Format::None);
}

TEST(DecodePicture, RefusesWhatItDoesNotDecode)
{
    const std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0};
    const pic::DecodeResult r = pic::decodePicture(gif);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error, "GIF is decoded by the GIF reader");

    for (const Case& c : kCases)
        if (c.format == pic::Format::None) {
            const pic::DecodeResult none = pic::decodePicture(c.bytes);
            EXPECT_FALSE(none.ok()) << c.name;
            EXPECT_FALSE(none.error.empty()) << c.name;
        }
}

} // namespace
