// JPEG decoding: the public test pictures against libjpeg-turbo's own djpeg,
// and pictures encoded here with libjpeg for colour spaces, orientation and
// hostile structure.

#include "test_util.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// ---- reference: djpeg's PNM output ---------------------------------------

// Runs djpeg on a file and reads its PPM/PGM output; nullopt when djpeg
// refuses the file.
std::optional<pic::Image> djpeg(const fs::path& file)
{
    const std::string cmd = "djpeg -pnm '" + file.string() + "' 2>/dev/null";
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    Bytes out;
    std::uint8_t buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        out.insert(out.end(), buf, buf + n);
    if (pclose(pipe) != 0 || out.size() < 2)
        return std::nullopt;
    // "P5" or "P6", width, height, maxval, one whitespace, samples.
    std::size_t pos = 2;
    auto number = [&] {
        while (pos < out.size() && std::isspace(out[pos]))
            ++pos;
        int v = 0;
        while (pos < out.size() && std::isdigit(out[pos]))
            v = v * 10 + (out[pos++] - '0');
        return v;
    };
    const bool grey = out[1] == '5';
    pic::Image img;
    img.width = number();
    img.height = number();
    number();
    ++pos;
    const std::size_t channels = grey ? 1 : 3;
    if (out.size() - pos < std::size_t(img.width) * img.height * channels)
        return std::nullopt;
    for (std::size_t i = 0; i < std::size_t(img.width) * img.height; ++i, pos += channels) {
        const std::uint32_t r = out[pos], g = out[pos + (grey ? 0 : 1)], b = out[pos + (grey ? 0 : 2)];
        img.pixels.push_back(0xFF000000u | (r << 16) | (g << 8) | b);
    }
    return img;
}

TEST(JpegCorpus, MatchesDjpeg)
{
    const fs::path dir = testutil::sourceDir() / "tests/corpora/jpeg";
    struct Case {
        const char* file;
        bool accept;
    } cases[] = {
        {"testorig.jpg", true},   // baseline
        {"testimgint.jpg", true}, // progressive
        {"testimgari.jpg", true}, // arithmetic coding
        {"monkey12.jpg", false},  // 12-bit samples: not for the 8-bit library
    };
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir))
        files += e.path().extension() == ".jpg";
    EXPECT_EQ(files, 4) << "a new corpus file needs a row here";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto bytes = testutil::readFile(dir / c.file);
        ASSERT_EQ(pic::recognizeFormat(bytes), pic::Format::Jpeg);
        const pic::DecodeResult r = pic::decodePicture(bytes);
        ASSERT_EQ(r.ok(), c.accept) << r.error;
        if (!c.accept) {
            EXPECT_NE(r.error.find("JPEG"), std::string::npos);
            continue;
        }
        const auto ref = djpeg(dir / c.file);
        ASSERT_TRUE(ref.has_value()) << "djpeg failed";
        EXPECT_EQ(testutil::compareImages(*r.image, *ref), "");
        EXPECT_FALSE(r.image->hasAlpha);
    }
}

// ---- encoding test pictures with libjpeg ----------------------------------

struct EncodeError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

extern "C" void encodeFailed(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<EncodeError*>(cinfo->err)->jump, 1);
}

struct EncodeOptions {
    J_COLOR_SPACE space = JCS_RGB;
    int components = 3;
    bool progressive = false;
    bool adobeMarker = true; // libjpeg's default for CMYK
    Bytes app1;              // written as an APP1 marker when not empty
};

// Encodes `samples` (rows of `components` bytes per pixel) at quality 100.
bool encodeRaw(int w, int h, const Bytes& samples, const EncodeOptions& o, unsigned char*& mem, unsigned long& size)
{
    jpeg_compress_struct c;
    EncodeError err;
    c.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = encodeFailed;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&c);
        return false;
    }
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = w;
    c.image_height = h;
    c.input_components = o.components;
    c.in_color_space = o.space;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    if (o.progressive)
        jpeg_simple_progression(&c);
    c.write_Adobe_marker = o.adobeMarker;
    jpeg_start_compress(&c, TRUE);
    if (!o.app1.empty())
        jpeg_write_marker(&c, JPEG_APP0 + 1, o.app1.data(), unsigned(o.app1.size()));
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(samples.data()) + std::size_t(c.next_scanline) * w * o.components;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return true;
}

Bytes encode(int w, int h, const Bytes& samples, const EncodeOptions& o = {})
{
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    Bytes out;
    if (encodeRaw(w, h, samples, o, mem, size))
        out.assign(mem, mem + size);
    std::free(mem);
    return out;
}

std::uint32_t channelDistance(std::uint32_t a, std::uint32_t b)
{
    std::uint32_t d = 0;
    for (int shift : {0, 8, 16, 24})
        d = std::max<std::uint32_t>(d, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
    return d;
}

TEST(Jpeg, GreyscaleGivesGreyPixels)
{
    const int w = 24, h = 16;
    Bytes grey(w * h);
    for (int i = 0; i < w * h; ++i)
        grey[i] = std::uint8_t(i * 7);
    const Bytes file = encode(w, h, grey, {.space = JCS_GRAYSCALE, .components = 1, .app1 = {}});
    const pic::DecodeResult r = pic::decodeJpeg(file);
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.image->width, w);
    ASSERT_EQ(r.image->height, h);
    // Grey levels as libjpeg itself decodes them, to R = G = B.
    const fs::path tmp = fs::temp_directory_path() / "tp_decoders_grey.jpg";
    std::ofstream(tmp, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
    const auto ref = djpeg(tmp);
    fs::remove(tmp);
    ASSERT_TRUE(ref.has_value());
    EXPECT_EQ(testutil::compareImages(*r.image, *ref), "");
}

// CMYK pictures of flat ink patches, stored plainly or inverted (as files
// with an Adobe marker are, by Photoshop's convention), come out as RGB.
TEST(Jpeg, CmykShownAsRgb)
{
    struct Patch {
        std::uint8_t c, m, y, k;
        std::uint32_t rgb;
    } patches[] = {
        {255, 0, 0, 0, 0xFF00FFFF},   {0, 255, 0, 0, 0xFFFF00FF},       {0, 0, 255, 0, 0xFFFFFF00},
        {0, 0, 0, 255, 0xFF000000},   {0, 0, 0, 0, 0xFFFFFFFF},         {0, 0, 0, 128, 0xFF7F7F7F},
    };
    const int n = int(std::size(patches)), w = 8 * n, h = 8;
    for (bool adobe : {true, false}) {
        SCOPED_TRACE(adobe ? "Adobe, inverted" : "no Adobe marker, plain");
        Bytes samples;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Patch& p = patches[x / 8];
                for (std::uint8_t v : {p.c, p.m, p.y, p.k})
                    samples.push_back(adobe ? std::uint8_t(255 - v) : v);
            }
        const Bytes file = encode(w, h, samples, {.space = JCS_CMYK, .components = 4, .adobeMarker = adobe, .app1 = {}});
        ASSERT_FALSE(file.empty());
        const pic::DecodeResult r = pic::decodeJpeg(file);
        ASSERT_TRUE(r.ok()) << r.error;
        for (int i = 0; i < n; ++i)
            EXPECT_LE(channelDistance(r.image->pixels[8 * i + 4 + 4 * w], patches[i].rgb), 3u) << "patch " << i;
    }
}

// ---- EXIF orientation ------------------------------------------------------

// A TIFF block with one IFD0 entry: the orientation tag.
Bytes exifBlock(int orientation, bool bigEndian, std::uint16_t type = 3)
{
    Bytes b = {'E', 'x', 'i', 'f', 0, 0};
    auto put16 = [&](unsigned v) {
        if (bigEndian) b.insert(b.end(), {std::uint8_t(v >> 8), std::uint8_t(v)});
        else b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
    };
    auto put32 = [&](std::uint32_t v) {
        if (bigEndian) { put16(v >> 16); put16(v & 0xFFFF); }
        else { put16(v & 0xFFFF); put16(v >> 16); }
    };
    b.insert(b.end(), bigEndian ? std::initializer_list<std::uint8_t>{'M', 'M'} : std::initializer_list<std::uint8_t>{'I', 'I'});
    put16(42);
    put32(8);        // IFD0 right after the header
    put16(2);        // two entries: a harmless one, then the orientation
    put16(0x010F);   // Make, ASCII, 4 bytes inline
    put16(2); put32(4); b.insert(b.end(), {'a', 'b', 'c', 0});
    put16(0x0112);
    put16(type); put32(1); put16(orientation); put16(0);
    put32(0);        // no next IFD
    return b;
}

// 32 x 16, four flat quadrants: red, green / blue, white.
constexpr std::uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF;
Bytes quadrants()
{
    Bytes s;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            const std::uint32_t p = y < 8 ? (x < 16 ? R : G) : (x < 16 ? B : W);
            s.insert(s.end(), {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)});
        }
    return s;
}

TEST(Jpeg, ExifOrientationStandsThePictureUpright)
{
    struct Case {
        int orientation;
        int width, height;
        std::uint32_t topLeft, topRight, bottomLeft, bottomRight;
    } cases[] = {
        {1, 32, 16, R, G, B, W}, {2, 32, 16, G, R, W, B}, {3, 32, 16, W, B, G, R}, {4, 32, 16, B, W, R, G},
        {5, 16, 32, R, B, G, W}, {6, 16, 32, B, R, W, G}, {7, 16, 32, W, G, B, R}, {8, 16, 32, G, W, R, B},
    };
    const Bytes samples = quadrants();
    for (bool bigEndian : {false, true})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.orientation) + (bigEndian ? " MM" : " II"));
            const Bytes file = encode(32, 16, samples, {.app1 = exifBlock(c.orientation, bigEndian)});
            const pic::DecodeResult r = pic::decodeJpeg(file);
            ASSERT_TRUE(r.ok()) << r.error;
            const pic::Image& img = *r.image;
            ASSERT_EQ(img.width, c.width);
            ASSERT_EQ(img.height, c.height);
            auto at = [&](int x, int y) { return img.pixels[std::size_t(y) * img.width + x]; };
            EXPECT_LE(channelDistance(at(2, 2), c.topLeft), 8u);
            EXPECT_LE(channelDistance(at(img.width - 3, 2), c.topRight), 8u);
            EXPECT_LE(channelDistance(at(2, img.height - 3), c.bottomLeft), 8u);
            EXPECT_LE(channelDistance(at(img.width - 3, img.height - 3), c.bottomRight), 8u);
        }
}

TEST(Jpeg, BrokenExifIsIgnored)
{
    const Bytes samples = quadrants();
    std::vector<Bytes> blocks = {
        exifBlock(9, false),                    // out of range
        exifBlock(0, true),                     // out of range
        exifBlock(6, false, 4),                 // wrong type
        {'E', 'x', 'i', 'f', 0, 0, 'I', 'I'},   // cut short
        {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 0xF0, 0xFF, 0xFF, 0x7F}, // IFD far away
        {'X', 'M', 'P', 0, 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0},
    };
    Bytes manyEntries = exifBlock(6, false);
    manyEntries[6 + 8] = 0xFF; // IFD0 claims 65535 entries
    manyEntries[6 + 9] = 0xFF;
    for (std::size_t cut = 6; cut < 6 + 8 + 2 + 24; ++cut) // short of the orientation entry
        blocks.emplace_back(manyEntries.begin(), manyEntries.begin() + cut);
    for (const Bytes& app1 : blocks) {
        const pic::DecodeResult r = pic::decodeJpeg(encode(32, 16, samples, {.app1 = app1}));
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(r.image->width, 32);
    }
}

// ---- hostile structure -----------------------------------------------------

constexpr std::size_t kNotFound = std::size_t(-1);

std::size_t findMarker(const Bytes& b, std::uint8_t marker, std::size_t from = 0, bool last = false)
{
    std::size_t found = kNotFound;
    for (std::size_t i = from; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == marker) {
            found = i;
            if (!last)
                break;
        }
    return found;
}

TEST(Jpeg, AbsurdScanCountIsRefused)
{
    Bytes samples(64 * 64 * 3);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::uint8_t(i * 31 + i / 190);
    const Bytes file = encode(64, 64, samples, {.progressive = true, .app1 = {}});
    ASSERT_TRUE(pic::decodeJpeg(file).ok());
    // Repeat the last scan: each copy is a scan the library must process.
    const std::size_t sos = findMarker(file, 0xDA, 0, true), eoi = findMarker(file, 0xD9, sos);
    ASSERT_NE(sos, kNotFound);
    ASSERT_NE(eoi, kNotFound);
    auto repeated = [&](int copies) {
        Bytes out(file.begin(), file.begin() + eoi);
        for (int i = 0; i < copies; ++i)
            out.insert(out.end(), file.begin() + sos, file.begin() + eoi);
        out.insert(out.end(), file.begin() + eoi, file.end());
        return out;
    };
    EXPECT_TRUE(pic::decodeJpeg(repeated(20)).ok());
    const pic::DecodeResult r = pic::decodeJpeg(repeated(pic::kMaxJpegScans + 50));
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error.find("scans"), std::string::npos) << r.error;
}

// Writes new dimensions into the first SOF0/SOF2 segment.
Bytes withSize(Bytes b, unsigned w, unsigned h)
{
    std::size_t sof = findMarker(b, 0xC0);
    if (sof == kNotFound)
        sof = findMarker(b, 0xC2);
    b[sof + 5] = std::uint8_t(h >> 8); b[sof + 6] = std::uint8_t(h);
    b[sof + 7] = std::uint8_t(w >> 8); b[sof + 8] = std::uint8_t(w);
    return b;
}

TEST(Jpeg, SizesTheFileCannotHoldAreRefused)
{
    const Bytes samples(16 * 16 * 3, 128);
    const Bytes small = encode(16, 16, samples);
    ASSERT_TRUE(pic::decodeJpeg(small).ok());
    // Within the picture limits, but a few hundred bytes cannot hold them.
    for (auto [w, h] : {std::pair{20000u, 6000u}, {65535u, 1900u}, {8000u, 8000u}}) {
        const pic::DecodeResult r = pic::decodeJpeg(withSize(small, w, h));
        EXPECT_FALSE(r.ok()) << w << "x" << h;
    }
    // Beyond the limits whatever the file holds.
    EXPECT_FALSE(pic::decodeJpeg(withSize(small, 65535, 65535)).ok());
    EXPECT_FALSE(pic::decodeJpeg(withSize(small, 0, 16)).ok());
    EXPECT_FALSE(pic::decodeJpeg(withSize(small, 16, 0)).ok());
}

TEST(Jpeg, DamagedFilesAreRefusedOrDecodedWhole)
{
    const auto bytes = testutil::readFile(testutil::sourceDir() / "tests/corpora/jpeg/testorig.jpg");
    ASSERT_FALSE(bytes.empty());
    for (std::size_t n = 0; n < bytes.size(); n += 97) {
        const pic::DecodeResult r = pic::decodeJpeg(std::span(bytes.data(), n));
        if (r.ok())
            EXPECT_EQ(r.image->pixels.size(), std::size_t(r.image->width) * r.image->height);
        else
            EXPECT_FALSE(r.error.empty());
    }
    // The start-of-image alone, or followed by rubbish.
    EXPECT_FALSE(pic::decodeJpeg(Bytes{0xFF, 0xD8}).ok());
    EXPECT_FALSE(pic::decodeJpeg(Bytes{0xFF, 0xD8, 0xFF, 0xD9, 0, 0}).ok());
    EXPECT_FALSE(pic::decodeJpeg(Bytes{}).ok());
}

} // namespace
