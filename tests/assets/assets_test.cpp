#include "assets/assets.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <set>
#include <utility>

namespace {

QByteArray readResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Reads a picture and tells its format as the reader saw it.
QImage readPicture(const QString& path, QByteArray* format = nullptr)
{
    QImageReader reader(path);
    if (format)
        *format = reader.format();
    return reader.read();
}

int chroma(QRgb c) { return std::max({qRed(c), qGreen(c), qBlue(c)}) - std::min({qRed(c), qGreen(c), qBlue(c)}); }

} // namespace

TEST(StartPhoto, IsAPale200By200ColourJpegOfSkySeaAndSand)
{
    const QByteArray bytes = readResource(assets::kStartPhoto);
    ASSERT_GE(bytes.size(), 3);
    EXPECT_TRUE(bytes.startsWith("\xFF\xD8\xFF")); // a JPEG by its bytes, not just by its name
    QByteArray format;
    const QImage photo = readPicture(assets::kStartPhoto, &format);
    EXPECT_EQ(format, "jpeg");
    ASSERT_EQ(photo.size(), QSize(200, 200));
    EXPECT_FALSE(photo.isGrayscale());

    // Pale and washed out: bright on average, no deep shadows, low contrast.
    double sum = 0, sumSq = 0;
    int darkest = 255;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const int g = qGray(photo.pixel(x, y));
            sum += g;
            sumSq += double(g) * g;
            darkest = std::min(darkest, g);
        }
    const double mean = sum / 40000, spread = std::sqrt(sumSq / 40000 - mean * mean);
    EXPECT_GT(mean, 170);
    EXPECT_LT(spread, 35);
    EXPECT_GT(darkest, 60);

    // Blue sky at the top, sand (warmer than blue) at the bottom.
    auto averageRow = [&](int y) {
        long r = 0, b = 0;
        for (int x = 0; x < 200; ++x) {
            r += qRed(photo.pixel(x, y));
            b += qBlue(photo.pixel(x, y));
        }
        return std::pair<long, long>(r / 200, b / 200);
    };
    const auto [skyRed, skyBlue] = averageRow(5);
    const auto [sandRed, sandBlue] = averageRow(195);
    EXPECT_GT(skyBlue, skyRed + 20);
    EXPECT_GT(sandRed, sandBlue + 20);
}

// The eight arrow pictures: a red (normal) or green (hot) arrow on light
// grey, pointing the button's way, inside the 32 x 43 part that the buttons
// show.
TEST(ArrowPictures, EightArrowsOfTheirSizeColourAndDirection)
{
    using assets::Arrow;
    const Arrow directions[] = {Arrow::Up, Arrow::Down, Arrow::Left, Arrow::Right};
    for (Arrow direction : directions) {
        std::vector<bool> masks[2];
        for (bool hot : {false, true}) {
            const QString path = assets::arrowPicture(direction, hot);
            SCOPED_TRACE(path.toStdString());
            QByteArray format;
            const QImage arrow = readPicture(path, &format);
            EXPECT_EQ(format, "jpeg");
            ASSERT_EQ(arrow.size(), QSize(33, 44));

            std::vector<bool> mask(33 * 44);
            int count = 0, dominant = 0;
            QRect box;
            std::vector<int> rows(44), columns(33);
            for (int y = 0; y < 44; ++y)
                for (int x = 0; x < 33; ++x) {
                    const QRgb c = arrow.pixel(x, y);
                    // Anything clearly off the light grey ground is arrow.
                    if (chroma(c) < 60 && qGray(c) > 170)
                        continue;
                    ++count;
                    mask[size_t(y * 33 + x)] = true;
                    box |= QRect(x, y, 1, 1);
                    ++rows[size_t(y)];
                    ++columns[size_t(x)];
                    const int want = hot ? qGreen(c) : qRed(c);
                    if (2 * want > qRed(c) + qGreen(c) + qBlue(c))
                        ++dominant;
                }
            masks[hot] = mask;
            ASSERT_GT(count, 150);
            EXPECT_GT(dominant, count * 3 / 4); // the rest: the dark edge
            // The ground is light grey, the arrow stays off the column and
            // row that the buttons cut.
            for (QPoint corner : {QPoint(0, 0), QPoint(32, 0), QPoint(0, 43), QPoint(32, 43)}) {
                const QRgb c = arrow.pixel(corner);
                EXPECT_GT(qGray(c), 190);
                EXPECT_LT(chroma(c), 16);
            }
            EXPECT_LT(box.right(), 32);
            EXPECT_LT(box.bottom(), 43);

            // The head is the widest part: it lies at the end the arrow
            // points to.
            const bool vertical = direction == Arrow::Up || direction == Arrow::Down;
            const std::vector<int>& across = vertical ? rows : columns;
            const int first = vertical ? box.top() : box.left();
            const int last = vertical ? box.bottom() : box.right();
            const int widest = int(std::max_element(across.begin(), across.end()) - across.begin());
            const bool towardsStart = widest < (first + last) / 2;
            EXPECT_EQ(towardsStart, direction == Arrow::Up || direction == Arrow::Left);
        }
        // Hot and normal are the same arrow.
        int differ = 0, arrowPixels = 0;
        for (size_t i = 0; i < masks[0].size(); ++i) {
            differ += masks[0][i] != masks[1][i];
            arrowPixels += masks[0][i];
        }
        EXPECT_LT(differ, arrowPixels / 10);
    }
}

namespace {

struct IconImage {
    int width, height, colours, planes, bpp;
    quint32 bytes, offset;
};

// Little-endian fields; the callers check the sizes first.
quint16 le16(const QByteArray& b, qsizetype at) { return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8); }
quint32 le32(const QByteArray& b, qsizetype at) { return le16(b, at) | quint32(le16(b, at + 2)) << 16; }

} // namespace

// The icon file as a Windows loader reads it: the directory, then each
// image's BITMAPINFOHEADER, palette, colour bitmap and AND mask.
TEST(ProgramIcon, HoldsTheNineImagesInTheirSizesAndDepths)
{
    const QByteArray ico = readResource(assets::kIcon);
    ASSERT_GE(ico.size(), 6);
    EXPECT_EQ(le16(ico, 0), 0);
    EXPECT_EQ(le16(ico, 2), 1); // icon, not cursor
    const int count = le16(ico, 4);
    ASSERT_EQ(count, 9);
    ASSERT_GE(ico.size(), 6 + 16 * count);

    std::set<std::pair<int, int>> seen;
    std::vector<std::pair<quint32, quint32>> spans;
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        const qsizetype e = 6 + 16 * i;
        IconImage img{uchar(ico[e]) ? uchar(ico[e]) : 256, uchar(ico[e + 1]) ? uchar(ico[e + 1]) : 256,
                      uchar(ico[e + 2]), le16(ico, e + 4), le16(ico, e + 6), le32(ico, e + 8), le32(ico, e + 12)};
        seen.insert({img.width, img.bpp});
        EXPECT_EQ(img.width, img.height);
        EXPECT_EQ(uchar(ico[e + 3]), 0);
        EXPECT_EQ(img.planes, 1);
        EXPECT_EQ(img.colours, img.bpp < 8 ? 1 << img.bpp : 0);
        ASSERT_LE(quint64(img.offset) + img.bytes, quint64(ico.size()));
        spans.push_back({img.offset, img.offset + img.bytes});

        const QByteArray dib = ico.mid(img.offset, img.bytes);
        ASSERT_GE(dib.size(), 40);
        EXPECT_EQ(le32(dib, 0), 40u);
        EXPECT_EQ(qint32(le32(dib, 4)), img.width);
        EXPECT_EQ(qint32(le32(dib, 8)), 2 * img.height); // colour bitmap and mask
        EXPECT_EQ(le16(dib, 12), 1);
        EXPECT_EQ(le16(dib, 14), img.bpp);
        EXPECT_EQ(le32(dib, 16), 0u); // uncompressed
        const int paletteBytes = img.bpp <= 8 ? 4 * (1 << img.bpp) : 0;
        const int xorStride = ((img.width * img.bpp + 31) / 32) * 4;
        const int andStride = ((img.width + 31) / 32) * 4;
        ASSERT_EQ(dib.size(), 40 + paletteBytes + (xorStride + andStride) * img.height);

        // The AND mask (bottom-up): corners transparent, centre opaque.
        const qsizetype mask = 40 + paletteBytes + qsizetype(xorStride) * img.height;
        auto maskBit = [&](int x, int y) {
            const int row = img.height - 1 - y;
            return (uchar(dib[mask + row * andStride + x / 8]) >> (7 - x % 8)) & 1;
        };
        EXPECT_EQ(maskBit(0, 0), 1);
        EXPECT_EQ(maskBit(img.width - 1, img.height - 1), 1);
        EXPECT_EQ(maskBit(img.width / 2, img.height / 2), 0);
        if (img.bpp == 32) {
            auto alpha = [&](int x, int y) {
                return uchar(dib[40 + (img.height - 1 - y) * xorStride + x * 4 + 3]);
            };
            EXPECT_EQ(alpha(0, 0), 0);
            EXPECT_EQ(alpha(img.width / 2, img.height / 2), 255);
        }
    }
    const std::set<std::pair<int, int>> expected{{16, 1}, {16, 8}, {16, 32}, {32, 4}, {32, 8},
                                                 {32, 32}, {48, 4}, {48, 8}, {48, 32}};
    EXPECT_EQ(seen, expected);
    std::sort(spans.begin(), spans.end());
    EXPECT_GE(spans.front().first, quint32(6 + 16 * count));
    for (size_t i = 1; i < spans.size(); ++i)
        EXPECT_LE(spans[i - 1].second, spans[i].first) << "images overlap";
}

// Decoded by Qt's own icon reader, every image shows the cog: a dark disc
// round a light ring, on a transparent ground.
TEST(ProgramIcon, EveryImageDecodesToADarkCogWithALightRing)
{
    QImageReader reader(assets::kIcon);
    ASSERT_EQ(reader.imageCount(), 9);
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(image.isNull());
        const int s = image.width();
        ASSERT_TRUE(s == 16 || s == 32 || s == 48);
        const int c = s / 2;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        const QRgb ring = image.pixel(c + int(s * 0.19), c);
        const QRgb disc = image.pixel(c + int(s * 0.30), c);
        EXPECT_EQ(qAlpha(ring), 255);
        EXPECT_EQ(qAlpha(disc), 255);
        EXPECT_GT(qGray(ring), 160);
        EXPECT_LT(qGray(disc), 120);
    }
    const QList<QSize> sizes = QIcon(assets::kIcon).availableSizes();
    for (int s : {16, 32, 48})
        EXPECT_TRUE(sizes.contains(QSize(s, s))) << s;
}

TEST(ProgramIcon, DesktopPictureIs48By48WithTransparency)
{
    QByteArray format;
    const QImage icon = readPicture(assets::kIconPng, &format);
    EXPECT_EQ(format, "png");
    ASSERT_EQ(icon.size(), QSize(48, 48));
    EXPECT_TRUE(icon.hasAlphaChannel());
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(24, 24)), 255);
}

TEST(DesktopEntry, StartsTheInstalledProgramWithItsIcon)
{
    QFile file(QStringLiteral(TP_SOURCE_DIR "/assets/tamselpelorin.desktop"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), "[Desktop Entry]");
    // The program's installed name and the icon's installed name.
    for (const char* line : {"Type=Application", "Exec=tamselpelorin", "Icon=tamselpelorin", "Name=TamselPelorin"})
        EXPECT_TRUE(lines.contains(QString::fromLatin1(line))) << line;
}
