#include "picture/box/picture_box.h"
#include "picture/gif/gif_builder.h"
#include "runtime/surface.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QPainter>
#include <set>
#include <QTest>
#include <gtest/gtest.h>

using picture::PictureBox;

namespace {

QByteArray encode(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage quadrants(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h / 2, Qt::red);
    p.fillRect(w / 2, 0, w - w / 2, h / 2, Qt::green);
    p.fillRect(0, h / 2, w / 2, h - h / 2, Qt::blue);
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::yellow);
    return img;
}

QImage shown(PictureBox& box) { return rt::captureSurface(box.client()); }

QRgb face(const PictureBox& box) { return box.palette().color(QPalette::Button).rgb(); }

QByteArray twoFrameGif(int delayHundredths)
{
    gif::GifBuilder b;
    b.screen(4, 4, {{255, 0, 0}, {0, 0, 255}});
    b.control(0, delayHundredths).image({0, 0, 4, 4, std::vector<std::uint8_t>(16, 0)});
    b.control(0, delayHundredths).image({0, 0, 4, 4, std::vector<std::uint8_t>(16, 1)});
    b.trailer();
    return QByteArray(reinterpret_cast<const char*>(b.bytes().data()), qsizetype(b.bytes().size()));
}

struct ShownBox : ::testing::Test {
    QWidget window;
    PictureBox* box = new PictureBox(&window);
    void SetUp() override
    {
        box->setGeometry(0, 0, 185, 185);
        window.resize(200, 200);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
};

} // namespace

TEST(PictureTargetRect, ThreeDisplayModes)
{
    const QSize client(183, 183);
    const struct { QSize picture; int mode; QRect expected; } cases[] = {
        {{200, 200}, 0, {0, 0, 200, 200}},  // own size, clipped by the client area
        {{10, 20}, 1, {0, 0, 183, 183}},    // stretched, proportions not kept
        {{4000, 100}, 1, {0, 0, 183, 183}},
        {{100, 50}, 2, {41, 66, 100, 50}},  // centred, integer division
        {{366, 183}, 2, {0, 46, 183, 91}},  // shrunk by min(183/366, 183/183), truncated
        {{200, 400}, 2, {46, 0, 91, 183}},
        {{183, 183}, 2, {0, 0, 183, 183}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(picture::pictureTargetRect(client, c.picture, c.mode), c.expected)
            << c.picture.width() << "x" << c.picture.height() << " mode " << c.mode;
}

TEST_F(ShownBox, AcceptedPicturesFillTheClientArea)
{
    const QImage source = quadrants(40, 60);
    for (const char* format : {"BMP", "JPG"}) {
        SCOPED_TRACE(format);
        box->setPicture(encode(source, format));
        ASSERT_FALSE(box->decodedPicture().isNull()) << box->lastError().toStdString();
        const QImage img = shown(*box);
        ASSERT_EQ(img.size(), QSize(183, 183));
        // Corners of the stretched picture, well inside each quadrant.
        EXPECT_NEAR(qRed(img.pixel(10, 10)), 255, 40);
        EXPECT_NEAR(qGreen(img.pixel(172, 10)), 255, 40);
        EXPECT_NEAR(qBlue(img.pixel(10, 172)), 255, 40);
        EXPECT_NEAR(qRed(img.pixel(172, 172)), 255, 40);
        EXPECT_NEAR(qGreen(img.pixel(172, 172)), 255, 40);
    }
}

TEST_F(ShownBox, ContentDecidesNotTheName)
{
    const struct { QByteArray bytes; bool shown; } cases[] = {
        {encode(quadrants(8, 8), "PNG"), false},
        {QByteArray("BM\0\0\0", 5), false}, // fewer than six bytes
        {QByteArray(), false},
        {QByteArray("GIF89a-not-really"), false},
        {encode(quadrants(8, 8), "BMP"), true},
    };
    for (const auto& c : cases) {
        box->setPicture(c.bytes);
        EXPECT_EQ(!box->decodedPicture().isNull(), c.shown);
        if (!c.shown)
            EXPECT_EQ(shown(*box).pixel(90, 90), face(*box));
    }
}

TEST_F(ShownBox, DisplayModeIsClampedAndRepaints)
{
    box->setPicture(encode(quadrants(20, 20), "BMP"));
    box->setDisplayMode(-5);
    EXPECT_EQ(box->displayMode(), 0);
    QImage img = shown(*box);
    EXPECT_EQ(img.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(25, 25), face(*box)); // beyond the picture's own size
    box->setDisplayMode(7);
    EXPECT_EQ(box->displayMode(), 2);
    img = shown(*box);
    EXPECT_EQ(img.pixel(81 + 2, 81 + 2), qRgb(255, 0, 0)); // centred at (81, 81)
    EXPECT_EQ(img.pixel(80, 80), face(*box));
}

TEST_F(ShownBox, NewPictureErasesWhatAFilterPainted)
{
    box->setPicture(encode(quadrants(20, 20), "BMP"));
    QImage white(183, 183, QImage::Format_RGB32);
    white.fill(Qt::white);
    rt::paintedLayer(box->client()).put(white);
    EXPECT_EQ(shown(*box).pixel(10, 10), qRgb(255, 255, 255));
    box->setPicture(box->picture()); // the same file again decodes again
    EXPECT_NE(shown(*box).pixel(10, 10), qRgb(255, 255, 255));
}

TEST_F(ShownBox, StillGifHasNoPlayer)
{
    gif::GifBuilder b;
    b.screen(2, 2, {{0, 255, 0}}).image({0, 0, 2, 2, {0, 0, 0, 0}}).trailer();
    box->setPicture(QByteArray(reinterpret_cast<const char*>(b.bytes().data()), qsizetype(b.bytes().size())));
    EXPECT_FALSE(box->isAnimated());
    EXPECT_EQ(shown(*box).pixel(90, 90), qRgb(0, 255, 0));
    // A filter's output stays: nothing redraws a still picture by itself.
    QImage black(183, 183, QImage::Format_RGB32);
    black.fill(Qt::black);
    rt::paintedLayer(box->client()).put(black);
    QTest::qWait(200);
    EXPECT_EQ(shown(*box).pixel(90, 90), qRgb(0, 0, 0));
}

TEST_F(ShownBox, AnimatedGifPlaysAndAFilterVanishesWithTheNextFrame)
{
    box->setPicture(twoFrameGif(0)); // delay 0 means 50 ms
    ASSERT_TRUE(box->isAnimated());
    QTest::qWait(50);
    QImage black(183, 183, QImage::Format_RGB32);
    black.fill(Qt::black);
    rt::paintedLayer(box->client()).put(black);
    std::set<QRgb> seen;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 2000 && seen.size() < 2) {
        QTest::qWait(20);
        const QRgb p = shown(*box).pixel(90, 90);
        if (p != qRgb(0, 0, 0))
            seen.insert(p);
    }
    EXPECT_TRUE(seen.count(qRgb(255, 0, 0)));
    EXPECT_TRUE(seen.count(qRgb(0, 0, 255)));
}

TEST_F(ShownBox, NewAssignmentStopsThePlayerPromptly)
{
    box->setPicture(twoFrameGif(1000)); // ten seconds a frame
    QTest::qWait(100);                  // painted: the player runs and waits
    QElapsedTimer t;
    t.start();
    box->setPicture(encode(quadrants(8, 8), "BMP"));
    EXPECT_LT(t.elapsed(), 100);
    EXPECT_FALSE(box->isAnimated());
    QTest::qWait(100);
    EXPECT_EQ(shown(*box).pixel(10, 10), qRgb(255, 0, 0)); // the new picture, no old frame
}

TEST_F(ShownBox, DestroyingTheBoxStopsThePlayerPromptly)
{
    box->setPicture(twoFrameGif(1000));
    QTest::qWait(100);
    QElapsedTimer t;
    t.start();
    delete box;
    box = nullptr;
    EXPECT_LT(t.elapsed(), 100);
    QTest::qWait(50); // no queued frame touches the deleted box
}
