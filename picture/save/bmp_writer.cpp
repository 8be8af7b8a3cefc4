#include "picture/save/bmp_writer.h"

#include <cstdint>
#include <limits>

namespace picture {

namespace {

void put16(char* at, std::uint16_t v)
{
    at[0] = char(v & 0xFF);
    at[1] = char(v >> 8);
}

void put32(char* at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace

QByteArray encodeBmp24(const QImage& image)
{
    if (image.isNull())
        return {};
    const qint64 width = image.width();
    const qint64 height = image.height();
    const qint64 stride = bmpStride(width);
    // Sizes in 64 bits first: the header stores them in 32.
    const qint64 imageSize = stride * height;
    const qint64 fileSize = kBmpHeaderSize + imageSize;
    if (fileSize > std::numeric_limits<std::uint32_t>::max()
        || fileSize > std::numeric_limits<qsizetype>::max())
        return {};

    const QImage rgb = image.format() == QImage::Format_RGB32 ? image
                                                               : image.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull())
        return {};

    QByteArray out(qsizetype(fileSize), '\0'); // padding bytes and reserved fields stay 0
    char* h = out.data();
    h[0] = 'B';
    h[1] = 'M';
    put32(h + 2, std::uint32_t(fileSize));
    put32(h + 10, kBmpHeaderSize);
    put32(h + 14, 40);
    put32(h + 18, std::uint32_t(width));
    put32(h + 22, std::uint32_t(height)); // positive: bottom-up rows
    put16(h + 26, 1);
    put16(h + 28, 24);
    put32(h + 34, std::uint32_t(imageSize));

    char* row = h + kBmpHeaderSize;
    for (qint64 y = height - 1; y >= 0; --y, row += stride) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(int(y)));
        char* dst = row;
        for (qint64 x = 0; x < width; ++x) {
            const QRgb p = src[x];
            *dst++ = char(qBlue(p));
            *dst++ = char(qGreen(p));
            *dst++ = char(qRed(p));
        }
    }
    return out;
}

} // namespace picture
