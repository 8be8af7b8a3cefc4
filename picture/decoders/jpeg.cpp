// JPEG through libjpeg-turbo's IJG interface, decoding from memory straight
// into the picture's own buffer.
//
// libjpeg reports errors by calling error_exit, which must not return; ours
// jumps back with longjmp. A longjmp must not skip C++ destructors, so the
// calls into the library live in two small functions (readHeader,
// readPixels) that hold no C++ objects: only plain C structs and raw
// pointers. Everything that owns memory lives in decodeJpeg, outside the
// jump's reach.

#include "decoders.h"
#include "bytes.h"
#include "dib.h"

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace pic {

using namespace detail;

namespace {

// A complete Huffman-coded stream spends at least one bit on every 8 x 8
// block of the full-resolution component, so no real file holds more than
// 512 pixels per byte. Anything far beyond that is mostly missing data that
// the library would pad with grey: refuse it before allocating. Arithmetic
// coding can squeeze flat areas much further, so it gets a wider bound.
constexpr std::uint64_t kMaxPixelsPerByteHuffman = 1024;
constexpr std::uint64_t kMaxPixelsPerByteArithmetic = 65536;
// What libjpeg may allocate for itself (the whole-image coefficient buffer
// of progressive files) besides our picture; it has no backing store, so
// beyond this it fails cleanly.
constexpr long kMaxLibraryMemory = 1536L * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr pub; // first, so the library's pointer converts to ours
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

struct Session {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_progress_mgr progress;
};

extern "C" void onError(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (corrupt data the library can step over) are counted, not shown.
extern "C" void onMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        ++cinfo->err->num_warnings;
}

extern "C" void onOutputMessage(j_common_ptr) {}

// Called between scans and rows while the library consumes the input: a
// progressive file can hold thousands of tiny scans, each of which makes the
// library walk the whole coefficient buffer, so their number is capped.
extern "C" void onProgress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxJpegScans) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "more than %d scans", kMaxJpegScans);
        std::longjmp(err->jump, 1);
    }
}

bool readHeader(Session& s, const std::uint8_t* data, std::size_t size)
{
    if (setjmp(s.err.jump))
        return false;
    jpeg_create_decompress(&s.cinfo);
    s.cinfo.mem->max_memory_to_use = kMaxLibraryMemory;
    s.progress.progress_monitor = onProgress;
    s.cinfo.progress = &s.progress;
    jpeg_mem_src(&s.cinfo, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&s.cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&s.cinfo, TRUE);
    return true;
}

// Decodes every row into `out`, `rowBytes` apart.
bool readPixels(Session& s, std::uint8_t* out, std::size_t rowBytes, std::size_t rows)
{
    if (setjmp(s.err.jump))
        return false;
    jpeg_start_decompress(&s.cinfo);
    if (std::size_t(s.cinfo.output_width) * s.cinfo.output_components > rowBytes || s.cinfo.output_height != rows) {
        std::snprintf(s.err.message, sizeof s.err.message, "unexpected output size");
        return false;
    }
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        JSAMPROW row = out + std::size_t(s.cinfo.output_scanline) * rowBytes;
        jpeg_read_scanlines(&s.cinfo, &row, 1);
    }
    jpeg_finish_decompress(&s.cinfo);
    return true;
}

// The EXIF orientation (TIFF tag 0x0112 in IFD0) of an APP1 "Exif" block,
// or 1 when there is none or it cannot be read.
int exifOrientation(Bytes app1)
{
    static constexpr std::uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (app1.size() < 6 || std::memcmp(app1.data(), kExif, 6) != 0)
        return 1;
    const Bytes t = app1.subspan(6);
    if (t.size() < 8)
        return 1;
    const bool little = t[0] == 'I' && t[1] == 'I';
    if (!little && !(t[0] == 'M' && t[1] == 'M'))
        return 1;
    auto u16 = [&](std::size_t at) {
        return little ? le16(t, at) : std::uint16_t((t[at] << 8) | t[at + 1]);
    };
    auto u32 = [&](std::size_t at) {
        return little ? le32(t, at)
                      : (std::uint32_t(t[at]) << 24) | (std::uint32_t(t[at + 1]) << 16)
                            | (std::uint32_t(t[at + 2]) << 8) | t[at + 3];
    };
    if (u16(2) != 42)
        return 1;
    const std::uint64_t ifd = u32(4);
    if (!holds(t, ifd, 2))
        return 1;
    const unsigned entries = u16(ifd);
    for (unsigned i = 0; i < entries; ++i) {
        const std::uint64_t e = ifd + 2 + 12 * std::uint64_t(i);
        if (!holds(t, e, 12))
            break;
        if (u16(e) != 0x0112)
            continue;
        const unsigned type = u16(e + 2), value = u16(e + 8);
        return type == 3 && u32(e + 4) == 1 && value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}

int orientationOf(const jpeg_decompress_struct& cinfo)
{
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1)
            if (int o = exifOrientation(Bytes(m->data, m->data_length)); o != 1)
                return o;
    return 1;
}

// Turns the stored picture upright as its EXIF orientation says.
Image applyOrientation(Image img, int orientation)
{
    const std::size_t w = img.width, h = img.height;
    std::uint32_t* p = img.pixels.data();
    switch (orientation) {
    case 2: // mirrored left to right
        for (std::size_t y = 0; y < h; ++y)
            std::reverse(p + y * w, p + y * w + w);
        return img;
    case 3: // turned half round
        std::reverse(img.pixels.begin(), img.pixels.end());
        return img;
    case 4: // mirrored top to bottom
        for (std::size_t y = 0; y < h / 2; ++y)
            std::swap_ranges(p + y * w, p + y * w + w, p + (h - 1 - y) * w);
        return img;
    case 5: case 6: case 7: case 8:
        break;
    default:
        return img;
    }
    // The quarter turns swap width and height and need a second buffer.
    Image out = makeImage(img.height, img.width);
    std::uint32_t* q = out.pixels.data();
    const std::size_t ow = h; // new width
    for (std::size_t y = 0; y < h; ++y)
        for (std::size_t x = 0; x < w; ++x) {
            std::size_t ox, oy;
            switch (orientation) {
            case 5: ox = y; oy = x; break;                 // transposed
            case 6: ox = h - 1 - y; oy = x; break;         // turned right
            case 7: ox = h - 1 - y; oy = w - 1 - x; break; // transversed
            default: ox = y; oy = w - 1 - x; break;        // turned left
            }
            q[oy * ow + ox] = p[y * w + x];
        }
    out.hasAlpha = img.hasAlpha;
    return out;
}

// Rewrites rows of C, M, Y, K bytes in place as opaque 0xAARRGGBB words.
// Files with an Adobe marker store the inks inverted, as Photoshop does.
void cmykToRgb(Image& img, bool inverted)
{
    auto* bytes = reinterpret_cast<std::uint8_t*>(img.pixels.data());
    for (std::size_t i = 0; i < img.pixels.size(); ++i) {
        std::uint32_t c = bytes[4 * i], m = bytes[4 * i + 1], y = bytes[4 * i + 2], k = bytes[4 * i + 3];
        if (!inverted) {
            c = 255 - c; m = 255 - m; y = 255 - y; k = 255 - k;
        }
        img.pixels[i] = opaque((c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
    }
}

} // namespace

DecodeResult decodeJpeg(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return DecodeResult::refuse("JPEG: empty file");
    Session s{};
    s.cinfo.err = jpeg_std_error(&s.err.pub);
    s.err.pub.error_exit = onError;
    s.err.pub.emit_message = onMessage;
    s.err.pub.output_message = onOutputMessage;
    struct Destroy {
        Session& s;
        ~Destroy() { jpeg_destroy_decompress(&s.cinfo); }
    } destroy{s};

    if (!readHeader(s, bytes.data(), bytes.size()))
        return DecodeResult::refuse(std::string("JPEG: ") + s.err.message);

    jpeg_decompress_struct& c = s.cinfo;
    const std::int64_t width = c.image_width, height = c.image_height;
    if (!dimensionsAllowed(width, height))
        return DecodeResult::refuse("JPEG: picture too large");
    const std::uint64_t perByte = c.arith_code ? kMaxPixelsPerByteArithmetic : kMaxPixelsPerByteHuffman;
    if (std::uint64_t(width) * std::uint64_t(height) > perByte * bytes.size())
        return DecodeResult::refuse("JPEG: file too short for its picture size");

    bool cmyk = false;
    switch (c.jpeg_color_space) {
    case JCS_GRAYSCALE: case JCS_YCbCr: case JCS_RGB:
        // The library writes B, G, R, A bytes, which on a little-endian
        // machine are exactly our 0xAARRGGBB words.
        c.out_color_space = std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;
        break;
    case JCS_CMYK: case JCS_YCCK:
        c.out_color_space = JCS_CMYK;
        cmyk = true;
        break;
    default:
        return DecodeResult::refuse("JPEG: colour space not supported");
    }
    const int orientation = orientationOf(c);

    // Four bytes per pixel either way: BGRA, or CMYK rewritten in place.
    Image img = makeImage(static_cast<int>(width), static_cast<int>(height));
    if (!readPixels(s, reinterpret_cast<std::uint8_t*>(img.pixels.data()), std::size_t(width) * 4, std::size_t(height)))
        return DecodeResult::refuse(std::string("JPEG: ") + s.err.message);
    if (cmyk)
        cmykToRgb(img, c.saw_Adobe_marker);
    return DecodeResult::accept(applyOrientation(std::move(img), orientation));
}

} // namespace pic
