#include "picture/save/bmp_writer.h"

#include <QImage>
#include <gtest/gtest.h>
#include <cstdint>

using picture::encodeBmp24;

namespace {

std::uint32_t le32(const QByteArray& b, int at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | std::uint8_t(b[at + i]);
    return v;
}

int le16(const QByteArray& b, int at) { return std::uint8_t(b[at]) | (std::uint8_t(b[at + 1]) << 8); }

// Every pixel different, so a swapped row, column or channel shows.
QImage pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7 + 1) & 0xFF, (y * 13 + 2) & 0xFF, (x + y * 3 + 3) & 0xFF));
    return img;
}

} // namespace

TEST(BmpWriter, HeaderFieldsAndPaddingForSeveralWidths)
{
    const struct { int width, stride; } cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {185, 556}};
    const int height = 3;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        const QImage img = pattern(c.width, height);
        const QByteArray b = encodeBmp24(img);
        const int imageSize = c.stride * height;
        ASSERT_EQ(b.size(), 54 + imageSize);
        EXPECT_EQ(b.left(2), QByteArray("BM"));
        EXPECT_EQ(le32(b, 2), std::uint32_t(54 + imageSize)); // file size
        EXPECT_EQ(le32(b, 6), 0u);                            // both reserved fields
        EXPECT_EQ(le32(b, 10), 54u);                          // pixel data offset
        EXPECT_EQ(le32(b, 14), 40u);                          // information header size
        EXPECT_EQ(le32(b, 18), std::uint32_t(c.width));
        EXPECT_EQ(le32(b, 22), std::uint32_t(height));        // positive: bottom-up
        EXPECT_EQ(le16(b, 26), 1);                            // planes
        EXPECT_EQ(le16(b, 28), 24);                           // bits per pixel
        EXPECT_EQ(le32(b, 30), 0u);                           // no compression
        EXPECT_EQ(le32(b, 34), std::uint32_t(imageSize));
        for (int at : {38, 42, 46, 50})                       // resolutions, colours used / important
            EXPECT_EQ(le32(b, at), 0u) << "at " << at;

        for (int row = 0; row < height; ++row) {
            const int y = height - 1 - row; // first stored row is the picture's bottom row
            const int base = 54 + row * c.stride;
            for (int x = 0; x < c.width; ++x) {
                const QRgb p = img.pixel(x, y);
                EXPECT_EQ(std::uint8_t(b[base + 3 * x]), qBlue(p));
                EXPECT_EQ(std::uint8_t(b[base + 3 * x + 1]), qGreen(p));
                EXPECT_EQ(std::uint8_t(b[base + 3 * x + 2]), qRed(p));
            }
            for (int pad = 3 * c.width; pad < c.stride; ++pad)
                EXPECT_EQ(b[base + pad], '\0') << "padding of row " << row;
        }
    }
}

TEST(BmpWriter, OnePixelBytesAreBlueGreenRed)
{
    QImage img(1, 2, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(0x11, 0x22, 0x33)); // top
    img.setPixel(0, 1, qRgb(0xAA, 0xBB, 0xCC)); // bottom
    const QByteArray b = encodeBmp24(img);
    ASSERT_EQ(b.size(), 54 + 8);
    EXPECT_EQ(b.mid(54), QByteArray::fromHex("ccbbaa00" "33221100"));
}

TEST(BmpWriter, QtReadsBackTheSamePixelsFromAnyInputFormat)
{
    const QImage img = pattern(37, 11);
    for (auto format : {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_RGB888,
                        QImage::Format_ARGB32_Premultiplied}) {
        SCOPED_TRACE(int(format));
        const QByteArray b = encodeBmp24(img.convertToFormat(format));
        QImage back;
        ASSERT_TRUE(back.loadFromData(b, "BMP"));
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), img);
    }
}

TEST(BmpWriter, NullImageGivesNothing)
{
    EXPECT_TRUE(encodeBmp24(QImage()).isEmpty());
}
