#pragma once
// Format recognition and the still-picture decoders: BMP, JPEG, ICO/CUR and
// PCX. Plain functions over bytes, no widget, no Qt. Every decoder checks the
// limits of image.h and what the file can really hold before it allocates,
// and answers with a picture or a refusal that says why.
//
// What the decoders accept beyond the bare formats, and why:
// - BMP: information headers of 40, 52, 56, 108 (V4) and 124 (V5) bytes; all
//   of them begin with the 40-byte layout, and only uncompressed data is
//   accepted, so the extra fields (masks, colour space) carry nothing we use.
//   OS/2 headers (12, 16, 64 bytes) and any other size are refused. Negative
//   (top-down) heights are accepted; planes other than 1 are refused. The
//   colour table holds biClrUsed entries (2^bits when 0, at most 2^bits), as
//   many of them as the file really holds; a pixel whose index has no entry
//   is drawn opaque black. The fourth byte of 32-bit pixels is not alpha.
//   bfSize and biSizeImage are ignored; the pixels are read at bfOffBits and
//   must all be in the file (the last row may lack its padding).
// - JPEG: CMYK and YCCK files are shown as RGB; files carrying an Adobe
//   marker store inverted CMYK (as Photoshop writes them), the rest plain.
//   The EXIF orientation is applied. Files whose entropy-coded data is far
//   too short for their size are refused before decoding (see jpeg.cpp), and
//   so are files with more than kMaxJpegScans scans. Corrupt data that the
//   library steps over (a warning, not an error) does not refuse a file: one
//   whose data ends early shows what is there and grey below it.
// - ICO/CUR: the embedded image's own header decides its size and depth; the
//   directory only locates it, and the part of it beyond the file is cut
//   off. A missing AND mask leaves the image opaque. PNG images go to the
//   PngDecoder hook and are refused without one.
// - PCX: 8-bit 1-plane (palette at the end; when the palette is missing the
//   indices are shown as grey levels), 8-bit 3-plane (24-bit RGB) and 1-bit
//   1-plane (0 black, 1 white). Other plane counts are refused. Runs are cut
//   at the end of their scan line; data that ends early is refused.

#include "image.h"

#include <cstdint>
#include <functional>
#include <span>

namespace pic {

enum class Format { None, Bmp, Jpeg, Ico, Cur, Gif, Pcx256, PcxMono };

// Looks at the first six bytes only; fewer than six bytes give None.
Format recognizeFormat(std::span<const std::uint8_t> bytes);

// Decodes the PNG images held inside ICO and CUR files. The picture box
// passes one; the library itself has no PNG decoder.
using PngDecoder = std::function<DecodeResult(std::span<const std::uint8_t>)>;

inline constexpr int kMaxJpegScans = 1000;

DecodeResult decodeBmp(std::span<const std::uint8_t> bytes);
DecodeResult decodeJpeg(std::span<const std::uint8_t> bytes);
DecodeResult decodeIcon(std::span<const std::uint8_t> bytes, const PngDecoder& png = {}); // ICO and CUR
DecodeResult decodePcx(std::span<const std::uint8_t> bytes);

// Recognises the format and decodes any of the above. GIF is the GIF reader's
// business: for it this answers with a refusal.
DecodeResult decodePicture(std::span<const std::uint8_t> bytes, const PngDecoder& png = {});

} // namespace pic
