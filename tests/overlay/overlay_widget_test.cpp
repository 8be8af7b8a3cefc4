// The overlay widget: its operations on the settings, geometry, properties
// read through the run-time services, repaint rules, the gradient as painted
// and the painted-on layer of the parent's surface.
#include "overlay_test_util.h"
#include "runtime/surface.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <climits>
#include <functional>
#include <gtest/gtest.h>

using namespace overlay;
using namespace overlay::test;

namespace {

class Overlay : public ::testing::Test {
protected:
    void SetUp() override { parent.resize(183, 183); }

    // Covers the parent's painted-on layer with opaque red.
    void paintLayerRed()
    {
        QImage red(parent.size(), QImage::Format_ARGB32_Premultiplied);
        red.fill(Qt::red);
        rt::paintedLayer(&parent).put(red);
    }

    // Checks that the layer is clear exactly inside `erased` (parent
    // coordinates) and still red elsewhere.
    ::testing::AssertionResult layerErasedExactly(const QRegion& erased)
    {
        const QImage& layer = rt::paintedLayer(&parent).image();
        for (int y = 0; y < layer.height(); ++y)
            for (int x = 0; x < layer.width(); ++x) {
                const bool clear = qAlpha(layer.pixel(x, y)) == 0;
                if (clear != erased.contains(QPoint(x, y)))
                    return ::testing::AssertionFailure()
                           << "layer at " << x << "," << y << (clear ? " erased" : " kept");
            }
        return ::testing::AssertionSuccess();
    }

    QWidget parent;
    OverlayWidget box{&parent};
};

// Counts the paint events of a widget and remembers their areas.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QWidget* w) { w->installEventFilter(this); }
    QList<QRect> rects;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            rects.append(static_cast<QPaintEvent*>(e)->rect());
        return false;
    }
};

} // namespace

TEST_F(Overlay, StartsWithTheInitialSettingsAtItsPlace)
{
    EXPECT_EQ(box.objectName(), QStringLiteral("标签1"));
    EXPECT_EQ(box.parentWidget(), &parent);
    EXPECT_EQ(box.geometry(), QRect(0, 140, 183, 32));
    EXPECT_EQ(box.settings(), OverlayLabel{});
}

TEST_F(Overlay, EachOperationChangesOnlyItsSetting)
{
    struct Case {
        const char* name;
        std::function<void(OverlayWidget&)> apply;
        std::function<void(OverlayLabel&)> expect;
    };
    const rt::Rgb c = rt::composeRgb(12, 34, 56);
    const Case cases[] = {
        {"caption", [](auto& o) { o.setCaption(QString::fromUtf8("头像")); },
         [](auto& s) { s.caption = QString::fromUtf8("头像"); }},
        {"empty caption", [](auto& o) { o.setCaption(QString()); }, [](auto& s) { s.caption.clear(); }},
        {"text colour", [c](auto& o) { o.setTextColor(c); }, [c](auto& s) { s.textColor = c; }},
        {"back colour", [c](auto& o) { o.setBackColor(c); }, [c](auto& s) { s.backColor = c; }},
        {"effect", [](auto& o) { o.setEffect(2); }, [](auto& s) { s.effect = 2; }},
        {"gradient mode", [](auto& o) { o.setGradientMode(4); }, [](auto& s) { s.gradientMode = 4; }},
        {"gradient 1", [c](auto& o) { o.setGradientColor(1, c); }, [c](auto& s) { s.gradientColor1 = c; }},
        {"gradient 2", [c](auto& o) { o.setGradientColor(2, c); }, [c](auto& s) { s.gradientColor2 = c; }},
        {"gradient 3", [c](auto& o) { o.setGradientColor(3, c); }, [c](auto& s) { s.gradientColor3 = c; }},
        {"gradient 4", [c](auto& o) { o.setGradientColor(4, c); }, [](auto&) {}},
        {"angle", [](auto& o) { o.setFontField(FontField::Angle, 3650); }, [](auto& s) { s.fontAngle = 50; }},
        {"bold", [](auto& o) { o.setFontField(FontField::Bold, 0); }, [](auto& s) { s.fontBold = false; }},
        {"italic", [](auto& o) { o.setFontField(FontField::Italic, 1); }, [](auto& s) { s.fontItalic = true; }},
        {"strikeout", [](auto& o) { o.setFontField(FontField::Strikeout, 1); },
         [](auto& s) { s.fontStrikeout = true; }},
        {"underline", [](auto& o) { o.setFontField(FontField::Underline, 1); },
         [](auto& s) { s.fontUnderline = true; }},
        {"left", [](auto& o) { o.setLeft(-1); }, [](auto& s) { s.left = -1; }},
        {"top", [](auto& o) { o.setTop(142); }, [](auto& s) { s.top = 142; }},
        {"width", [](auto& o) { o.setWidth(0); }, [](auto& s) { s.width = 0; }},
        {"height", [](auto& o) { o.setHeight(33); }, [](auto& s) { s.height = 33; }},
    };
    for (const Case& k : cases) {
        QWidget host;
        host.resize(183, 183);
        OverlayWidget o(&host);
        k.apply(o);
        OverlayLabel expected;
        k.expect(expected);
        EXPECT_EQ(o.settings(), expected) << k.name;
    }
}

TEST_F(Overlay, SizeIsConvertedWithTheScreensLogicalResolution)
{
    const double dpi = box.screen()->logicalDotsPerInchY();
    for (int points : {12, 25, 50}) {
        box.setFontField(FontField::Size, points);
        EXPECT_EQ(box.settings().fontHeight, fontHeightForPoints(points, dpi)) << points;
    }
    if (dpi == 96) { // the offscreen platform's resolution
        box.setFontField(FontField::Size, 25);
        EXPECT_EQ(box.settings().fontHeight, 33);
    }
}

TEST_F(Overlay, GeometryIsClampedAndTakesEffectAtOnce)
{
    struct Case { void (OverlayWidget::*set)(int); int in; QRect expected; };
    const Case cases[] = {
        {&OverlayWidget::setLeft, -32628, QRect(-32627, 140, 183, 32)},
        {&OverlayWidget::setLeft, INT_MIN, QRect(-32627, 140, 183, 32)},
        {&OverlayWidget::setLeft, 32628, QRect(32627, 140, 183, 32)},
        {&OverlayWidget::setTop, INT_MAX, QRect(0, 32627, 183, 32)},
        {&OverlayWidget::setTop, -40000, QRect(0, -32627, 183, 32)},
        {&OverlayWidget::setTop, 142, QRect(0, 142, 183, 32)},
        {&OverlayWidget::setWidth, -1, QRect(0, 140, 0, 32)},
        {&OverlayWidget::setWidth, 32628, QRect(0, 140, 32627, 32)},
        {&OverlayWidget::setHeight, INT_MIN, QRect(0, 140, 183, 0)},
        {&OverlayWidget::setHeight, INT_MAX, QRect(0, 140, 183, 32627)},
        {&OverlayWidget::setHeight, 1, QRect(0, 140, 183, 1)},
    };
    for (const Case& c : cases) {
        QWidget host;
        host.resize(183, 183);
        OverlayWidget o(&host);
        (o.*c.set)(c.in);
        EXPECT_EQ(o.geometry(), c.expected) << c.in;
        const OverlayLabel s = o.settings();
        EXPECT_EQ(QRect(s.left, s.top, s.width, s.height), c.expected) << c.in;
    }
}

TEST_F(Overlay, RunTimeServicesReadAndWriteThroughTheOverlay)
{
    EXPECT_EQ(rt::readInt(&box, rt::Property::Left), 0);
    EXPECT_EQ(rt::readInt(&box, rt::Property::Top), 140);
    EXPECT_EQ(rt::readInt(&box, rt::Property::Width), 183);
    EXPECT_EQ(rt::readInt(&box, rt::Property::Height), 32);
    EXPECT_EQ(rt::readText(&box), QStringLiteral("Tamsel"));
    EXPECT_EQ(rt::readInt(&box, rt::Property::FontField, int(FontField::Size)), 16);
    EXPECT_EQ(rt::readInt(&box, rt::Property::FontField, int(FontField::Bold)), 1);

    // Writes go through the overlay's own operations, clamping included.
    rt::writeProperty(&box, rt::Property::Top, -50000);
    rt::writeProperty(&box, rt::Property::Width, 40000);
    rt::writeProperty(&box, rt::Property::Text, QStringLiteral("A&B"));
    rt::writeProperty(&box, rt::Property::FontField, int(FontField::Angle), -1);
    EXPECT_EQ(box.geometry(), QRect(0, -32627, 32627, 32));
    EXPECT_EQ(rt::readText(&box), QStringLiteral("A&B"));
    EXPECT_EQ(box.settings().fontAngle, 3599);

    // A nudge reads the current value afresh each time.
    rt::writeProperty(&box, rt::Property::Top, rt::readInt(&box, rt::Property::Top) - 1);
    EXPECT_EQ(box.y(), -32627);
    rt::writeProperty(&box, rt::Property::Width, rt::readInt(&box, rt::Property::Width) + 1);
    EXPECT_EQ(box.width(), 32627);
}

TEST_F(Overlay, PaintsTheGradientOfTheWholeBoxInEveryMode)
{
    box.setCaption(QString());
    box.setGradientColor(1, rt::composeRgb(10, 20, 30));
    box.setGradientColor(2, rt::composeRgb(250, 130, 0));
    box.setGradientColor(3, rt::composeRgb(0, 255, 90));
    // 123 rows: the tiles of 50 rows end part-way down; 1 row: a segment
    // length of 0 in mode 1, so the first colour throughout.
    for (int height : {123, 1}) {
        box.setHeight(height);
        for (int mode = 0; mode <= 4; ++mode) {
            box.setGradientMode(mode);
            const OverlayLabel s = box.settings();
            const QImage image = renderBox(box);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    ASSERT_EQ(image.pixel(x, y), rgbOf(gradientColorAt(s, x, y)))
                        << "mode " << mode << " height " << height << " at " << x << "," << y;
            if (height == 1 && mode == 1) {
                EXPECT_EQ(countColour(image, qRgb(10, 20, 30)), 183);
            }
        }
    }
}

TEST_F(Overlay, PaintsOnlyTheAreaToRepaintWithColoursOfTheWholeBox)
{
    box.setCaption(QString());
    box.setHeight(140);
    box.setGradientMode(3);
    const OverlayLabel s = box.settings();
    const QRect area(37, 45, 90, 61); // meets nine tiles, none fully
    QImage image(box.size(), QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));
    {
        QPainter p(&image);
        box.paintOverlay(p, area);
        box.paintOverlay(p, QRect()); // nothing to repaint
        box.paintOverlay(p, QRect(500, 0, 10, 10)); // outside the box
    }
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb want = area.contains(x, y) ? rgbOf(gradientColorAt(s, x, y)) : qRgb(255, 0, 255);
            ASSERT_EQ(image.pixel(x, y), want) << x << "," << y;
        }
}

TEST_F(Overlay, ModeZeroRestoresTheSolidColourAndKeepsTheGradient)
{
    ASSERT_TRUE(chineseFaceInstalled()); // the caption is drawn too
    box.setGradientColor(1, rt::composeRgb(200, 0, 0));
    box.setGradientMode(3);
    const QImage gradient = renderBox(box);
    const OverlayLabel withGradient = box.settings();

    box.setGradientMode(0);
    const QImage solid = renderBox(box);
    EXPECT_TRUE(isColour(solid, 0, 0, qRgb(0, 128, 128)));
    EXPECT_TRUE(isColour(solid, 182, 31, qRgb(0, 128, 128)));
    OverlayLabel expected = withGradient;
    expected.gradientMode = 0;
    EXPECT_EQ(box.settings(), expected);

    box.setGradientMode(3);
    EXPECT_EQ(renderBox(box), gradient);
    EXPECT_TRUE(isColour(gradient, 0, 0, qRgb(200, 0, 0)));
}

TEST_F(Overlay, SettingChangeRepaintsTheWholeBoxAtTheNextPaint)
{
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QCoreApplication::processEvents();
    PaintSpy spy(&box);

    box.setTextColor(rt::composeRgb(255, 0, 0));
    EXPECT_TRUE(spy.rects.isEmpty()); // nothing is drawn synchronously
    box.setFontField(FontField::Italic, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !spy.rects.isEmpty(); }, 2000));
    QCoreApplication::processEvents();
    ASSERT_EQ(spy.rects.size(), 1); // two changes, one repaint
    EXPECT_EQ(spy.rects.front(), box.rect());
}

TEST_F(Overlay, SettingChangeErasesTheLayerOverTheBoxOnly)
{
    paintLayerRed();
    box.setEffect(1);
    EXPECT_TRUE(layerErasedExactly(QRect(0, 140, 183, 32)));

    // The parent's capture shows the box's own pixels there again.
    rt::paintedLayer(&parent).eraseAll();
    paintLayerRed();
    box.setCaption(QString());
    const QImage shown = rt::captureSurface(&parent);
    EXPECT_TRUE(isColour(shown, 5, 150, qRgb(0, 128, 128)));
    EXPECT_TRUE(isColour(shown, 5, 139, qRgb(255, 0, 0)));
}

TEST_F(Overlay, MoveAndResizeEraseTheOldAndTheNewBox)
{
    paintLayerRed();
    box.setTop(100);
    EXPECT_TRUE(layerErasedExactly(QRegion(0, 140, 183, 32) + QRegion(0, 100, 183, 32)));

    paintLayerRed();
    box.setWidth(40);
    EXPECT_TRUE(layerErasedExactly(QRect(0, 100, 183, 32)));

    paintLayerRed();
    box.setLeft(-10);
    EXPECT_TRUE(layerErasedExactly(QRegion(0, 100, 40, 32))); // the new box is partly off the surface

    // A move that stays where the box is erases nothing.
    paintLayerRed();
    box.setLeft(-10);
    EXPECT_TRUE(layerErasedExactly(QRegion()));
}

TEST_F(Overlay, MovesByOtherMeansAlsoEraseAndClamp)
{
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    paintLayerRed();
    rt::moveControl(&box, 20, 10, 50, 60);
    EXPECT_TRUE(layerErasedExactly(QRegion(0, 140, 183, 32) + QRegion(20, 10, 50, 60)));

    rt::moveControl(&box, std::nullopt, std::nullopt, 50000, std::nullopt);
    EXPECT_EQ(box.geometry(), QRect(20, 10, 32627, 60));
}

TEST_F(Overlay, ShowsAtItsPlaceInTheParentsCapture)
{
    ASSERT_TRUE(chineseFaceInstalled());
    QImage parentAlone = rt::captureSurface(&parent);
    const QImage alone = renderBox(box);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 183; ++x)
            ASSERT_EQ(parentAlone.pixel(x, 140 + y), alone.pixel(x, y)) << x << "," << y;
}
