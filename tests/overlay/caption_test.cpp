// The caption as drawn on the real widget: mnemonics, centring, clipping,
// shadow effects, rotation, sizes and Chinese text.
#include "overlay/caption_text.h"
#include "overlay_test_util.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRawFont>
#include <QWidget>
#include <climits>
#include <cmath>
#include <gtest/gtest.h>

using namespace overlay;
using namespace overlay::test;

namespace {

const QRgb kTeal = qRgb(0, 128, 128);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

class Caption : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(chineseFaceInstalled());
        parent.resize(183, 183);
    }

    QImage renderCaption(const QString& caption)
    {
        box.setCaption(caption);
        return renderBox(box);
    }

    QWidget parent;
    OverlayWidget box{&parent};
};

// Lowest ink row of each column, -1 where the column has no ink.
std::vector<int> inkBottoms(const QImage& image, QRgb background)
{
    std::vector<int> bottoms(std::size_t(image.width()), -1);
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (!isColour(image, x, y, background))
                bottoms[std::size_t(x)] = y;
    return bottoms;
}

} // namespace

TEST(Mnemonics, ResolvesPrefixesAsSingleLineText)
{
    using U = QList<std::pair<int, int>>;
    struct Case { QString in; QString text; U underlined; };
    const Case cases[] = {
        {"Tamsel", "Tamsel", {}},
        {"A&B", "AB", {{1, 1}}},
        {"A&&B", "A&B", {}},
        {"A&&&B", "A&B", {{2, 1}}},
        {"&A&B", "AB", {{0, 1}, {1, 1}}},
        {"AB&", "AB", {}},
        {"&", "", {}},
        {"&&", "&", {}},
        {"A& B", "A B", {{1, 1}}},
        {"A\nB\r\nC", "A B  C", {}},
        {"A\tB", "A B", {}},
        {QString::fromUtf8("&\U0001F600x"), QString::fromUtf8("\U0001F600x"), {{0, 2}}},
        {QString::fromUtf8("头&像"), QString::fromUtf8("头像"), {{1, 1}}},
        {"", "", {}},
    };
    for (const Case& c : cases) {
        const DrawnCaption d = resolveMnemonics(c.in);
        EXPECT_EQ(d.text, c.text) << c.in.toStdString();
        EXPECT_EQ(d.underlined, c.underlined) << c.in.toStdString();
    }
}

TEST_F(Caption, InitialBoxShowsBlackBoldTamselCentredOnTeal)
{
    const QImage image = renderBox(box);
    ASSERT_EQ(image.size(), QSize(183, 32));
    EXPECT_TRUE(isColour(image, 0, 0, kTeal));
    EXPECT_TRUE(isColour(image, 182, 31, kTeal));
    EXPECT_GT(countColour(image, kBlack), 40); // full-ink stems of bold glyphs

    // Only teal, black and their antialiased mixes: no other colour.
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            ASSERT_EQ(qRed(p), 0) << x << "," << y;
            ASSERT_EQ(qGreen(p), qBlue(p)) << x << "," << y;
        }

    // Centred: the ink's margins are equal within the rounding of the
    // glyphs' side bearings; the glyphs are about 16 pixels high.
    const QRect ink = inkBounds(image, kTeal);
    EXPECT_LE(std::abs(ink.left() - (182 - ink.right())), 3) << ink.left() << " " << ink.right();
    EXPECT_GE(ink.height(), 10);
    EXPECT_LE(ink.height(), 16);
    const QFont font = overlayFont(box.settings());
    const CaptionLayout layout(QStringLiteral("Tamsel"), font);
    const QPoint start = layout.startIn(QRect(0, 0, 183, 32), Align::Centre, Align::Centre);
    EXPECT_LE(std::abs(2 * start.y() + layout.size().height() - 32), 1);
    EXPECT_GE(ink.top(), start.y());
    EXPECT_LE(ink.bottom(), start.y() + layout.size().height());

    // Bold: switching it off thins the strokes.
    box.setFontField(FontField::Bold, 0);
    const QImage regular = renderBox(box);
    int inkBold = 0, inkRegular = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 183; ++x) {
            inkBold += 128 - qGreen(image.pixel(x, y));
            inkRegular += 128 - qGreen(regular.pixel(x, y));
        }
    EXPECT_GT(inkBold, inkRegular * 5 / 4);
}

TEST_F(Caption, SingleAmpersandUnderlinesTheNextLetterAndIsNotDrawn)
{
    const QImage plain = renderCaption("AB");
    const QImage marked = renderCaption("A&B");
    const QFont font = overlayFont(box.settings());
    const CaptionLayout layout(QStringLiteral("AB"), font);
    const QPoint start = layout.startIn(box.rect(), Align::Centre, Align::Centre);
    const int baseline = start.y() + int(std::round(layout.ascent()));
    const int splitX = start.x() + int(layout.textLayout().lineAt(0).cursorToX(1));

    // Above the baseline the two are the same: the ampersand left no trace.
    for (int y = 0; y < baseline - 1; ++y)
        for (int x = 0; x < 183; ++x)
            ASSERT_EQ(marked.pixel(x, y), plain.pixel(x, y)) << x << "," << y;
    // Below it, the second letter has a line and the first has none.
    QRect added;
    for (int y = baseline - 1; y < 32; ++y)
        for (int x = 0; x < 183; ++x)
            if (marked.pixel(x, y) != plain.pixel(x, y))
                added = added.united(QRect(x, y, 1, 1));
    ASSERT_FALSE(added.isEmpty());
    EXPECT_GE(added.left(), splitX - 1);
    EXPECT_GE(added.width(), 6);
}

TEST_F(Caption, PrefixCasesMatchTheirResolvedText)
{
    // A trailing prefix is dropped; a doubled one draws one ampersand, as
    // Qt draws "A&B" literally.
    EXPECT_EQ(renderCaption("AB&"), renderCaption("AB"));
    EXPECT_EQ(renderCaption("&&"), renderCaption("&&&"));

    const QImage doubled = renderCaption("A&&B");
    QImage expected(183, 32, QImage::Format_RGB32);
    expected.fill(kTeal);
    {
        const QFont font = overlayFont(box.settings());
        const CaptionLayout layout(QStringLiteral("A&&B"), font);
        const QPoint start = layout.startIn(box.rect(), Align::Centre, Align::Centre);
        QPainter p(&expected);
        p.setFont(font);
        p.setPen(QColor(kBlack));
        p.drawText(QPointF(start.x(), start.y() + layout.ascent()), QStringLiteral("A&B"));
    }
    EXPECT_EQ(doubled, expected);
    EXPECT_NE(doubled, renderCaption("AB"));
}

TEST_F(Caption, LineBreaksAndTabsStayOnOneLine)
{
    const QImage spaced = renderCaption("A B C");
    EXPECT_EQ(renderCaption("A\nB\rC"), spaced);
    EXPECT_EQ(renderCaption("A\tB\tC"), spaced);
    const CaptionLayout layout(QStringLiteral("one\ntwo\u2028three"), overlayFont(box.settings()));
    EXPECT_EQ(layout.textLayout().lineCount(), 1);
}

TEST_F(Caption, WideCaptionIsCutEquallyAtBothSides)
{
    const QString caption = QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWW");
    const QImage narrow = renderCaption(caption);

    OverlayWidget wide(&parent);
    wide.setWidth(183 + 2 * 200);
    wide.setCaption(caption);
    const QImage wideImage = renderBox(wide);
    const QRect ink = inkBounds(wideImage, kTeal);
    // The line is wider than the narrow box and overhangs it on both sides.
    ASSERT_LT(ink.left(), 200);
    ASSERT_GT(ink.right(), 200 + 182);
    EXPECT_LE(std::abs((200 - ink.left()) - (ink.right() - (200 + 182))), 3);
    // The narrow box shows exactly the middle of the same line.
    EXPECT_EQ(narrow, wideImage.copy(200, 0, 183, 32));
}

TEST_F(Caption, SizeLargerThanTheBoxShowsTheMiddleOfTheLine)
{
    box.setCaption(QStringLiteral("HHHHH"));
    box.setFontField(FontField::Size, 50); // 67 pixels in a 32-pixel box
    const QImage image = renderBox(box);
    const QRect ink = inkBounds(image, kTeal);
    EXPECT_EQ(ink.top(), 0);
    EXPECT_EQ(ink.bottom(), 31);
    EXPECT_GT(countColour(image, kBlack), 500);
}

TEST_F(Caption, SizeZeroGivesTheDefaultHeight)
{
    box.setFontField(FontField::Size, 0);
    ASSERT_EQ(box.settings().fontHeight, 0);
    const QImage image = renderBox(box);
    const QRect ink = inkBounds(image, kTeal);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.height(), 6);
    const QFont font = overlayFont(box.settings());
    EXPECT_EQ(QFontInfo(font).pixelSize(), QFontInfo(QGuiApplication::font()).pixelSize());
}

TEST_F(Caption, SizeNoFontCanBeMadeForFallsBackToTheInterfaceFont)
{
    box.setFontField(FontField::Size, INT_MAX);
    ASSERT_EQ(box.settings().fontHeight, INT_MAX);
    EXPECT_EQ(overlayFont(box.settings()), QGuiApplication::font());
    const QRect ink = inkBounds(renderBox(box), kTeal);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LE(ink.height(), 20); // the interface font's size, not a giant one

    // The largest size that still makes a font draws the middle of the line.
    box.setCaption(QStringLiteral("HHH"));
    box.setFontField(FontField::Size, 12288); // 16384 pixels
    ASSERT_EQ(box.settings().fontHeight, 16384);
    EXPECT_NE(overlayFont(box.settings()), QGuiApplication::font());
    EXPECT_GT(countColour(renderBox(box), kBlack), 1000);
}

TEST_F(Caption, EffectsPutAWhiteCopyOnePixelAway)
{
    // A larger size gives many fully inked pixels beside clear ones.
    box.setHeight(60);
    box.setFontField(FontField::Size, 30);
    const QImage none = renderBox(box);
    box.setEffect(1);
    const QImage behind = renderBox(box);
    box.setEffect(2);
    const QImage inFront = renderBox(box);

    auto black = [](const QImage& im, int x, int y) { return isColour(im, x, y, kBlack); };
    auto clear = [](const QImage& im, int x, int y) { return pixelOr(im, x, y, kTeal) == kTeal; };
    int whiteBehind = 0, whiteInFront = 0;
    for (int y = 0; y < none.height(); ++y)
        for (int x = 0; x < none.width(); ++x) {
            // Effect 1: the text stays, the copy lies right and below, behind it.
            ASSERT_EQ(black(behind, x, y), black(none, x, y)) << "effect 1 at " << x << "," << y;
            if (clear(none, x, y) && black(none, x - 1, y - 1)) {
                ASSERT_TRUE(isColour(behind, x, y, kWhite)) << "effect 1 at " << x << "," << y;
            }
            if (isColour(behind, x, y, kWhite)) {
                ++whiteBehind;
                ASSERT_TRUE(black(none, x - 1, y - 1)) << "effect 1 at " << x << "," << y;
            }

            // Effect 2: the text moves right and down; the copy stays where
            // the text was.
            ASSERT_EQ(black(inFront, x, y), black(none, x - 1, y - 1)) << "effect 2 at " << x << "," << y;
            if (black(none, x, y) && clear(none, x - 1, y - 1)) {
                ASSERT_TRUE(isColour(inFront, x, y, kWhite)) << "effect 2 at " << x << "," << y;
            }
            if (isColour(inFront, x, y, kWhite)) {
                ++whiteInFront;
                ASSERT_TRUE(black(none, x, y)) << "effect 2 at " << x << "," << y;
            }
        }
    EXPECT_GT(whiteBehind, 20);
    EXPECT_GT(whiteInFront, 5); // only the slivers above and left of the strokes
}

TEST_F(Caption, AngleTurnsTheBaselineCounterClockwiseAboutTheStart)
{
    box.setHeight(120);
    box.setCaption(QStringLiteral("MMMMMMMMMM"));
    const QImage upright = renderBox(box);
    box.setFontField(FontField::Angle, 50);
    const QImage turned = renderBox(box);

    // The bottoms of the glyphs trace the baseline; compare its two ends.
    auto ends = [](const QImage& image) {
        const std::vector<int> b = inkBottoms(image, kTeal);
        int first = 0, last = int(b.size()) - 1;
        while (first < last && b[std::size_t(first)] < 0) ++first;
        while (last > first && b[std::size_t(last)] < 0) --last;
        // The lowest point near each end, a few columns in from the edge
        // of the ink so the serif-less M's slanted strokes do not matter.
        auto lowest = [&](int from, int to) {
            int v = -1;
            for (int x = from; x <= to; ++x) v = std::max(v, b[std::size_t(x)]);
            return v;
        };
        struct Ends { int leftX, rightX, leftBottom, rightBottom; };
        return Ends{first, last, lowest(first, first + 8), lowest(last - 8, last)};
    };
    const auto u = ends(upright);
    const auto t = ends(turned);
    EXPECT_LE(std::abs(u.leftBottom - u.rightBottom), 1);

    const double run = double(t.rightX - t.leftX);
    const double expectedDrop = std::tan(5.0 * M_PI / 180.0) * run; // about 11 pixels
    EXPECT_NEAR(double(t.leftBottom - t.rightBottom), expectedDrop, 3.0);
    // Turned about the start point: the left end keeps its place, the right
    // end rises.
    EXPECT_LE(std::abs(t.leftBottom - u.leftBottom), 2);
    EXPECT_LE(std::abs(t.leftX - u.leftX), 3);
    EXPECT_LT(t.rightBottom, u.rightBottom - 6);
}

TEST_F(Caption, ChineseCaptionIsDrawnWithRealGlyphs)
{
    const QString caption = QString::fromUtf8("头像文字");
    const CaptionLayout layout(caption, overlayFont(box.settings()));
    const QList<QGlyphRun> runs = layout.textLayout().glyphRuns();
    ASSERT_FALSE(runs.isEmpty());
    int glyphs = 0;
    for (const QGlyphRun& run : runs) {
        EXPECT_TRUE(run.rawFont().supportsCharacter(QChar(0x5934))) << run.rawFont().familyName().toStdString();
        for (quint32 index : run.glyphIndexes()) {
            EXPECT_NE(index, 0u) << "missing glyph in " << run.rawFont().familyName().toStdString();
            ++glyphs;
        }
    }
    EXPECT_EQ(glyphs, 4);

    const QImage image = renderCaption(caption);
    const QRect ink = inkBounds(image, kTeal);
    EXPECT_GE(ink.height(), 12);
    EXPECT_GE(ink.width(), 4 * 12);
    EXPECT_GT(countColour(image, kBlack), 60);
}
