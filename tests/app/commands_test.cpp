#include "app/control_events.h"
#include "app/main_window.h"
#include "app/widgets/color_picker.h"
#include "app/widgets/picture_button.h"
#include "overlay/overlay_commands.h"
#include "overlay/overlay_widget.h"
#include "runtime/controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using app::Controls;
using app::MainWindow;
using overlay::OverlayLabel;

namespace {

void settle() { QTest::qWait(10); } // queued events (combo box, picker) run

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

void key(QWidget* w, Qt::Key k)
{
    w->setFocus();
    QTest::keyClick(w, k);
}

struct Case {
    const char* name;
    std::function<void(const Controls&)> act;
    std::function<void(OverlayLabel&)> expect;
};

int px(int points) { return int(points * 96.0 / 72.0 + 0.5); }

const Case kCases[] = {
    {"background colour", [](const Controls& c) { c.颜色选择器1->chooseColor(rt::composeRgb(255, 0, 0)); },
     [](OverlayLabel& l) { l.backColor = rt::composeRgb(255, 0, 0); }},
    {"text colour", [](const Controls& c) { c.颜色选择器2->chooseColor(rt::composeRgb(1, 2, 3)); },
     [](OverlayLabel& l) { l.textColor = rt::composeRgb(1, 2, 3); }},
    {"gradient colours", [](const Controls& c) {
         c.颜色选择器3->chooseColor(rt::composeRgb(10, 0, 0));
         c.颜色选择器4->chooseColor(rt::composeRgb(0, 20, 0));
         c.颜色选择器5->chooseColor(rt::composeRgb(0, 0, 30));
     },
     [](OverlayLabel& l) {
         l.gradientColor1 = rt::composeRgb(10, 0, 0);
         l.gradientColor2 = rt::composeRgb(0, 20, 0);
         l.gradientColor3 = rt::composeRgb(0, 0, 30);
     }},
    {"same colour again", [](const Controls& c) { c.颜色选择器1->chooseColor(c.颜色选择器1->color()); },
     // The picker shows (0, 128, 128), which is also the overlay's colour:
     // the command runs and leaves it so.
     [](OverlayLabel&) {}},
    {"bold off", [](const Controls& c) { click(c.选择框1); }, [](OverlayLabel& l) { l.fontBold = false; }},
    {"bold off and on", [](const Controls& c) { click(c.选择框1); click(c.选择框1); }, [](OverlayLabel&) {}},
    {"italic", [](const Controls& c) { click(c.选择框2); }, [](OverlayLabel& l) { l.fontItalic = true; }},
    {"underline", [](const Controls& c) { click(c.选择框3); }, [](OverlayLabel& l) { l.fontUnderline = true; }},
    {"strikeout", [](const Controls& c) { click(c.选择框4); }, [](OverlayLabel& l) { l.fontStrikeout = true; }},
    {"shadow I", [](const Controls& c) { click(c.选择框5); }, [](OverlayLabel& l) { l.effect = 1; }},
    {"shadow I then II", [](const Controls& c) { click(c.选择框5); click(c.选择框6); },
     [](OverlayLabel& l) { l.effect = 2; }},
    {"last shadow box decides", [](const Controls& c) { click(c.选择框5); click(c.选择框6); click(c.选择框5); },
     [](OverlayLabel& l) { l.effect = 0; }}, // 选择框6 is still checked
    {"angle: first step jumps from 0", [](const Controls& c) { key(c.滑块条1, Qt::Key_Right); },
     [](OverlayLabel& l) { l.fontAngle = 26; }},
    {"angle: page down", [](const Controls& c) { key(c.滑块条1, Qt::Key_PageDown); },
     [](OverlayLabel& l) { l.fontAngle = 23; }},
    {"angle: home", [](const Controls& c) { key(c.滑块条1, Qt::Key_Home); }, [](OverlayLabel& l) { l.fontAngle = 0; }},
    {"size: first step jumps from 16 px", [](const Controls& c) { key(c.滑块条2, Qt::Key_Left); },
     [](OverlayLabel& l) { l.fontHeight = px(24); }},
    {"size: end", [](const Controls& c) { key(c.滑块条2, Qt::Key_End); },
     [](OverlayLabel& l) { l.fontHeight = 67; }},
    {"gradient: keyboard to 上到下", [](const Controls& c) { key(c.组合框1, Qt::Key_Down); settle(); },
     [](OverlayLabel& l) { l.gradientMode = 1; }},
    {"gradient: back to none keeps the colours",
     [](const Controls& c) {
         c.颜色选择器3->chooseColor(rt::composeRgb(9, 9, 9));
         key(c.组合框1, Qt::Key_End);
         settle();
         key(c.组合框1, Qt::Key_Home);
         settle();
     },
     [](OverlayLabel& l) { l.gradientColor1 = rt::composeRgb(9, 9, 9); }},
    {"add text", [](const Controls& c) { c.编辑框2->setText(QStringLiteral("你好&B")); click(c.按钮2); },
     [](OverlayLabel& l) { l.caption = QStringLiteral("你好&B"); }},
    {"add empty text", [](const Controls& c) { c.编辑框2->clear(); click(c.按钮2); },
     [](OverlayLabel& l) { l.caption.clear(); }},
    {"size mode: up shrinks the height", [](const Controls& c) { click(c.图形按钮1); },
     [](OverlayLabel& l) { l.height = 31; }},
    {"size mode: down, right, left", [](const Controls& c) { click(c.图形按钮2); click(c.图形按钮3); click(c.图形按钮3); click(c.图形按钮4); },
     [](OverlayLabel& l) { l.height = 33; l.width = 184; }},
    {"position mode: down twice from 140", [](const Controls& c) { click(c.单选框2); click(c.图形按钮2); click(c.图形按钮2); },
     [](OverlayLabel& l) { l.top = 142; }},
    {"position mode: left from 0", [](const Controls& c) { click(c.单选框2); click(c.图形按钮4); },
     [](OverlayLabel& l) { l.left = -1; }},
    {"position mode: up and right", [](const Controls& c) { click(c.单选框2); click(c.图形按钮1); click(c.图形按钮3); },
     [](OverlayLabel& l) { l.top = 139; l.left = 1; }},
    {"mode switch takes effect at the next click",
     [](const Controls& c) { click(c.单选框2); click(c.图形按钮3); click(c.单选框1); click(c.图形按钮3); },
     [](OverlayLabel& l) { l.left = 1; l.width = 184; }},
    {"width 1 to 0 to 0 to 1",
     [](const Controls& c) {
         c.标签1->setWidth(1);
         click(c.图形按钮4);
         EXPECT_EQ(c.标签1->width(), 0);
         click(c.图形按钮4);
         EXPECT_EQ(c.标签1->width(), 0);
         click(c.图形按钮3);
     },
     [](OverlayLabel& l) { l.width = 1; }},
};

} // namespace

TEST(OverlayCommands, EachControlEventChangesItsSetting)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        MainWindow w;
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        OverlayLabel expected = w.controls().标签1->settings();
        ASSERT_EQ(expected, OverlayLabel{});
        c.act(w.controls());
        settle();
        c.expect(expected);
        EXPECT_EQ(w.controls().标签1->settings(), expected);
    }
}

TEST(OverlayCommands, NudgesStepExactlyOverTheWholeRange)
{
    for (int v : {INT32_MIN + 1, -32628, -1, 0, 1, 141, 32626, INT32_MAX - 1}) {
        EXPECT_EQ(overlay::stepInteger(v, +1), v + 1);
        EXPECT_EQ(overlay::stepInteger(v, -1), v - 1);
    }
}

TEST(OverlayCommands, GeometryClampsHoldAtTheEdges)
{
    MainWindow w;
    w.show();
    const Controls& c = w.controls();
    c.单选框2->setChecked(true);
    c.标签1->setLeft(-32627);
    click(c.图形按钮4);
    EXPECT_EQ(c.标签1->x(), -32627);
    c.标签1->setTop(32627);
    click(c.图形按钮2);
    EXPECT_EQ(c.标签1->y(), 32627);
    c.单选框1->setChecked(true);
    c.标签1->setHeight(32627);
    click(c.图形按钮2);
    EXPECT_EQ(c.标签1->height(), 32627);
}

TEST(OverlayCommands, FilterAndOpeningLeaveSettingsAlone)
{
    MainWindow w;
    w.show();
    const Controls& c = w.controls();
    click(c.选择框2);
    const OverlayLabel before = c.标签1->settings();
    click(c.按钮4);
    EXPECT_EQ(c.标签1->settings(), before);
}

TEST(ControlEvents, SliderRaisesPerStepWhileDraggedAndOnRelease)
{
    QSlider slider(Qt::Horizontal);
    slider.setRange(0, 50);
    slider.setPageStep(2);
    slider.setValue(25);
    slider.resize(171, 16);
    QObject context;
    std::vector<int> seen;
    app::onPositionChanged(&slider, &context, [&] { seen.push_back(rt::readInt(&slider, rt::Property::Position)); });
    slider.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&slider));

    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_EQ(seen, std::vector<int>({26}));
    QTest::keyClick(&slider, Qt::Key_PageUp);
    EXPECT_EQ(seen.back(), 28);
    QTest::keyClick(&slider, Qt::Key_End);
    QTest::keyClick(&slider, Qt::Key_Right); // at the end: a step still raises, position stays 50
    EXPECT_EQ(seen, std::vector<int>({26, 28, 50, 50}));

    // Drag the thumb: one event per movement, then one more on release.
    seen.clear();
    QStyleOptionSlider opt;
    opt.initFrom(&slider);
    opt.orientation = Qt::Horizontal;
    opt.minimum = 0;
    opt.maximum = 50;
    opt.sliderPosition = slider.value();
    opt.sliderValue = slider.value();
    const QRect handle = slider.style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, &slider);
    QPoint at = handle.center();
    QTest::mousePress(&slider, Qt::LeftButton, {}, at);
    for (int i = 0; i < 5; ++i) {
        at -= QPoint(15, 0);
        QMouseEvent move(QEvent::MouseMove, at, slider.mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&slider, &move);
    }
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, at);
    ASSERT_GE(seen.size(), 6u);
    EXPECT_LT(seen.back(), 50);
    EXPECT_EQ(seen[seen.size() - 1], seen[seen.size() - 2]); // the release repeats the last position
    for (int v : seen) {
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 50);
    }
}

TEST(ControlEvents, ComboItemSelectedIsQueuedAndFiresForTheSameItem)
{
    QComboBox combo;
    combo.addItems({"a", "b"});
    QObject context;
    std::vector<int> seen;
    app::onItemSelected(&combo, &context, [&] { seen.push_back(combo.currentIndex()); });
    Q_EMIT combo.activated(0); // the item already selected
    EXPECT_TRUE(seen.empty()); // queued, not run at once
    QCoreApplication::processEvents();
    EXPECT_EQ(seen, std::vector<int>({0}));
    combo.show();
    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_Down);
    QCoreApplication::processEvents();
    EXPECT_EQ(seen, std::vector<int>({0, 1}));
}
