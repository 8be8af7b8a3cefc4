#pragma once
// The saved picture's file format: an uncompressed 24-bit Windows BMP, rows
// bottom-up, pixels blue-green-red, each row padded to a multiple of four
// bytes, no colour table. A plain function over an image, no widget.

#include <QByteArray>
#include <QImage>

namespace picture {

inline constexpr int kBmpHeaderSize = 54; // file header 14 + information header 40

// Bytes of one stored row: width x 3, rounded up to a multiple of 4.
constexpr qint64 bmpStride(qint64 width) { return (width * 3 + 3) / 4 * 4; }

// The whole file for `image`. Transparency is dropped as a conversion to
// RGB32 drops it. Empty for a null image, or for one whose file would not
// fit the format's 32-bit size fields.
QByteArray encodeBmp24(const QImage& image);

} // namespace picture
