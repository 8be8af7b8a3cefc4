// Every GIF of the public gif-test-suite (tests/corpora/gif-test-suite),
// composed frame by frame and compared with the suite's expected frames.
//
// The suite's frames are PNG pictures whose unwritten pixels are fully
// transparent, meant to be shown over the page's background; we compare the
// way the picture box shows a frame: both images laid over the box's
// background colour must give the same colours, and the same pixels must be
// transparent.
#include "picture/gif/gif_composer.h"
#include "picture/gif/gif_decode.h"
#include "tests/gif/gif_test_util.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include <gtest/gtest.h>

using namespace gif;

namespace {

struct SuiteCase {
    const char* name;           // file name without ".gif"
    std::vector<int> delays;    // delay fields in hundredths of a second
    bool animated;
};

// Delays as the files hold them (frame count = number of delays).
const SuiteCase kSuite[] = {
    {"static_nontransparent", {0}, false},
    {"static_transparent", {0}, false},
    {"animated_noloop", {100, 100, 100, 100}, true},
    {"animated_loop", {100, 100, 100, 100}, true},
    {"animated_loop_interlaced", {100, 100, 100, 100}, true},
    {"animated_loop_variable_delay", {100, 100, 10, 100}, true},
    {"animated_transparent_loop", {100, 100, 100, 100}, true},
    {"animated_transparent_restoreprev_loop", {100, 100, 100, 100}, true},
    {"animated_transparent_firstframerestoreprev_loop", {100, 100, 100, 100}, true},
    {"animated_transparent_frame_norestore_loop", {100, 100, 100, 100}, true},
    {"animated_transparent_frame_restorebackground_loop", {100, 100, 100, 100}, true},
    {"animated_transparent_frame_restoreprev_loop", {100, 100, 100, 100}, true},
    {"animated_transparent_loop_frames_out_of_bounds", {100, 100, 100, 100}, true},
};

QImage wrap(const pic::Image& image)
{
    return QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                  image.width * 4, QImage::Format_ARGB32);
}

QImage over(const QImage& image, QColor background)
{
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(background);
    QPainter p(&out);
    p.drawImage(0, 0, image);
    return out;
}

// Describes the first pixels that differ, or returns "" when none do.
std::string compare(const QImage& expected, const pic::Image& actual, QColor background)
{
    if (expected.width() != actual.width || expected.height() != actual.height)
        return "size differs";
    const QImage want = expected.convertToFormat(QImage::Format_ARGB32);
    const QImage got = wrap(actual);
    const QImage wantShown = over(want, background);
    const QImage gotShown = over(got, background);
    std::string diff;
    int count = 0;
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x) {
            const bool wantClear = qAlpha(want.pixel(x, y)) == 0;
            const bool gotClear = qAlpha(got.pixel(x, y)) == 0;
            if (wantClear == gotClear && wantShown.pixel(x, y) == gotShown.pixel(x, y))
                continue;
            if (++count <= 5)
                diff += "(" + std::to_string(x) + "," + std::to_string(y) + ") want "
                    + QString::number(want.pixel(x, y), 16).toStdString() + " got "
                    + QString::number(got.pixel(x, y), 16).toStdString() + "; ";
        }
    if (count > 0)
        diff += std::to_string(count) + " pixels differ";
    return diff;
}

} // namespace

TEST(GifSuite, EveryFrameEqualsTheSuitesExpectedFrame)
{
    const QColor background = QApplication::palette().color(QPalette::Button);
    for (const SuiteCase& c : kSuite) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint8_t> bytes = test::readFile(test::suitePath(std::string(c.name) + ".gif"));
        ASSERT_FALSE(bytes.empty());
        Composer composer(bytes);
        pic::Image previous;
        const std::size_t frames = c.delays.size();
        for (std::size_t i = 0; i < frames + 1; ++i) {
            const std::size_t frame = i % frames; // one frame past the end: the loop starts again
            SCOPED_TRACE("frame " + std::to_string(i));
            ASSERT_TRUE(composer.next()) << composer.error();
            EXPECT_EQ(composer.frameIndex(), int(frame));
            EXPECT_EQ(composer.delayMs(), frameDelayMs(c.delays[frame]));
            const std::string png = frames == 1 ? std::string(c.name) + ".png"
                                                : std::string(c.name) + "-" + std::to_string(frame) + ".png";
            const QImage expected(QString::fromStdString(test::suitePath("frames/" + png)));
            ASSERT_FALSE(expected.isNull()) << png;
            EXPECT_EQ(compare(expected, composer.image(), background), "");
            if (frame > 0) {
                EXPECT_EQ(test::outsideChanged(composer, previous), "");
            }
            previous = composer.image();
        }

        const GifPicture picture = decodeGif(bytes);
        ASSERT_TRUE(picture.first.ok()) << picture.first.error;
        EXPECT_EQ(picture.animated, c.animated);
    }
}
