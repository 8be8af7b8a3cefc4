#include "runtime/controls.h"
#include "runtime/surface.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <gtest/gtest.h>

using namespace rt;

TEST(Controls, ReadAndWriteStandardKinds)
{
    QWidget parent;
    auto* edit = new QLineEdit("185", &parent);
    auto* box = new QCheckBox("字体加粗", &parent);
    auto* slider = new QSlider(Qt::Horizontal, &parent);
    slider->setRange(0, 50);
    auto* combo = new QComboBox(&parent);
    combo->addItems({"a", "b"});

    EXPECT_EQ(readText(edit), "185");
    writeProperty(edit, Property::Text, QString("abc"));
    EXPECT_EQ(readText(edit), "abc");

    EXPECT_EQ(readInt(box, Property::Checked), 0);
    writeProperty(box, Property::Checked, 1);
    EXPECT_EQ(readInt(box, Property::Checked), 1);

    writeProperty(slider, Property::Position, 25);
    EXPECT_EQ(readInt(slider, Property::Position), 25);
    writeProperty(slider, Property::Position, 99);
    EXPECT_EQ(readInt(slider, Property::Position), 50);

    EXPECT_EQ(readInt(combo, Property::SelectedIndex), 0);
    combo->setCurrentIndex(-1);
    EXPECT_EQ(readInt(combo, Property::SelectedIndex), -1);
}

TEST(Controls, MoveKeepsOmittedValues)
{
    QWidget parent;
    auto* w = new QWidget(&parent);
    w->setGeometry(10, 20, 30, 40);
    moveControl(w, 5, 6);
    EXPECT_EQ(w->geometry(), QRect(5, 6, 30, 40));
    moveControl(w, std::nullopt, std::nullopt, -1, 7);
    EXPECT_EQ(w->geometry(), QRect(5, 6, 30, 7));
    EXPECT_EQ(readInt(w, Property::Left), 5);
    EXPECT_EQ(readInt(w, Property::Height), 7);
}

TEST(Controls, ReparentKeepsNumbers)
{
    QWidget a, b;
    auto* w = new QProgressBar(&a);
    w->setGeometry(632, 432, 128, 16);
    reparentControl(w, &b);
    EXPECT_EQ(w->parentWidget(), &b);
    EXPECT_EQ(w->geometry(), QRect(632, 432, 128, 16));
    reparentControl(w, nullptr); // not a windowed control: nothing happens
    EXPECT_EQ(w->parentWidget(), &b);
}

TEST(Controls, WindowAlphaOutOfRangeCountsAsOpaque)
{
    QWidget w;
    setWindowAlpha(&w, 250);
    EXPECT_NEAR(w.windowOpacity(), 250 / 255.0, 0.01);
    setWindowAlpha(&w, 300);
    EXPECT_DOUBLE_EQ(w.windowOpacity(), 1.0);
    setWindowAlpha(&w, std::nullopt);
    EXPECT_DOUBLE_EQ(w.windowOpacity(), 1.0);
}

TEST(Controls, ProcessPendingEventsDispatchesQueuedCallsWithoutWaiting)
{
    int calls = 0;
    QObject o;
    QMetaObject::invokeMethod(&o, [&] { ++calls; }, Qt::QueuedConnection);
    processPendingEvents();
    EXPECT_EQ(calls, 1);
    processPendingEvents(); // nothing queued: returns at once
    EXPECT_EQ(calls, 1);
}

TEST(Surface, LayerShowsAboveChildrenUntilErased)
{
    QWidget surface;
    surface.resize(20, 20);
    surface.setAutoFillBackground(true);
    surface.setPalette(QPalette(Qt::red));
    auto* child = new QWidget(&surface);
    child->setGeometry(0, 0, 10, 10);
    child->setAutoFillBackground(true);
    child->setPalette(QPalette(Qt::green));

    QImage blue(20, 20, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    paintedLayer(&surface).put(blue);
    new QWidget(&surface); // a child added later stays below the layer
    EXPECT_EQ(captureSurface(&surface).pixel(5, 5), qRgb(0, 0, 255));

    eraseSurface(&surface, QRect(0, 0, 10, 10));
    const QImage after = captureSurface(&surface);
    EXPECT_EQ(after.pixel(5, 5), qRgb(0, 255, 0));
    EXPECT_EQ(after.pixel(15, 15), qRgb(0, 0, 255));

    redrawControl(&surface);
    EXPECT_EQ(captureSurface(&surface).pixel(15, 15), qRgb(255, 0, 0));
    EXPECT_TRUE(paintedLayer(&surface).isEmpty());
}
