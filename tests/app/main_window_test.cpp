#include "app/main_window.h"
#include "app/widgets/color_picker.h"
#include "overlay/overlay_widget.h"
#include "picture/box/picture_box.h"
#include "runtime/controls.h"
#include "runtime/surface.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

using app::MainWindow;

namespace {

QWidget* find(MainWindow& w, const char* name)
{
    return w.findChild<QWidget*>(QString::fromUtf8(name));
}

struct Row {
    const char* name;
    const char* container; // "" for the main window itself
    QRect geometry;
    const char* text;      // nullptr when the control has none to compare
};

// The layout: container, place, size and text of every control.
const Row kLayout[] = {
    {"颜色选择器4", "", {495, 172, 33, 22}, nullptr},
    {"分组框3", "", {208, 18, 412, 190}, "基础设置："},
    {"分组框2", "", {16, 218, 186, 182}, "文字移动"},
    {"分组框1", "", {208, 219, 414, 179}, "字体设置："},
    {"图片框1", "", {16, 24, 185, 185}, nullptr},
    {"颜色选择器5", "分组框3", {371, 153, 33, 22}, nullptr},
    {"标签15", "分组框3", {322, 157, 48, 16}, "渐变色Ⅲ"},
    {"标签14", "分组框3", {240, 157, 45, 16}, "渐变色Ⅱ"},
    {"颜色选择器3", "分组框3", {205, 154, 33, 22}, nullptr},
    {"标签13", "分组框3", {156, 158, 48, 16}, "渐变色Ⅰ"},
    {"标签12", "分组框3", {9, 157, 55, 16}, "渐变颜色："},
    {"组合框1", "分组框3", {66, 154, 88, 20}, "无渐变颜色"},
    {"标签11", "分组框3", {208, 125, 144, 24}, "如果不填默认大小185*185"},
    {"标签10", "分组框3", {136, 129, 65, 16}, "高度:"},
    {"标签9", "分组框3", {67, 129, 65, 16}, "宽度:"},
    {"标签8", "分组框3", {8, 129, 55, 16}, "保存尺寸："},
    {"按钮3", "分组框3", {328, 94, 72, 22}, "保存图片"},
    {"颜色选择器2", "分组框3", {210, 95, 80, 22}, nullptr},
    {"标签7", "分组框3", {152, 96, 55, 16}, "文字颜色："},
    {"颜色选择器1", "分组框3", {64, 94, 80, 22}, nullptr},
    {"标签6", "分组框3", {8, 97, 55, 16}, "背景颜色："},
    {"按钮2", "分组框3", {329, 59, 72, 22}, "加入文字"},
    {"标签5", "分组框3", {8, 61, 55, 16}, "加入文字："},
    {"编辑框1", "分组框3", {64, 23, 256, 22}, ""},
    {"标签4", "分组框3", {7, 25, 55, 16}, "图片位置："},
    {"编辑框2", "分组框3", {64, 59, 256, 22}, "Tamsel"},
    {"按钮1", "分组框3", {328, 23, 72, 22}, "打开图片"},
    {"单选框2", "分组框2", {92, 159, 88, 16}, "调整框位置"},
    {"单选框1", "分组框2", {8, 158, 88, 16}, "调整框大小"},
    {"图形按钮4", "分组框2", {31, 63, 32, 43}, nullptr},
    {"图形按钮3", "分组框2", {119, 63, 32, 43}, nullptr},
    {"图形按钮2", "分组框2", {74, 95, 32, 43}, nullptr},
    {"图形按钮1", "分组框2", {71, 23, 32, 43}, nullptr},
    {"按钮8", "分组框1", {280, 77, 120, 22}, "取消所有滤镜"},
    {"按钮7", "分组框1", {344, 48, 58, 22}, "滤镜黑白"},
    {"按钮6", "分组框1", {277, 48, 58, 22}, "滤镜变黄"},
    {"按钮5", "分组框1", {344, 18, 58, 22}, "滤镜变暗"},
    {"按钮4", "分组框1", {277, 18, 58, 22}, "滤镜模糊"},
    {"选择框6", "分组框1", {192, 48, 80, 24}, "字体阴影Ⅱ"},
    {"选择框5", "分组框1", {192, 16, 80, 24}, "字体阴影Ⅰ"},
    {"滑块条2", "分组框1", {97, 135, 171, 16}, nullptr},
    {"标签3", "分组框1", {16, 128, 78, 24}, "字体大小调整："},
    {"标签2", "分组框1", {16, 88, 78, 24}, "字体角度调整："},
    {"滑块条1", "分组框1", {98, 95, 169, 16}, nullptr},
    {"选择框4", "分组框1", {104, 48, 80, 24}, "字体删除线"},
    {"选择框3", "分组框1", {104, 16, 80, 24}, "字体下划线"},
    {"选择框2", "分组框1", {16, 48, 80, 24}, "字体斜体"},
    {"选择框1", "分组框1", {16, 16, 80, 24}, "字体加粗"},
};

const char* const kTabOrder[] = {"选择框1", "选择框2", "选择框3", "选择框4", "滑块条1", "滑块条2", "选择框5",
                                 "选择框6", "单选框1", "单选框2", "按钮1", "编辑框2", "编辑框1", "按钮2",
                                 "颜色选择器1", "颜色选择器2", "按钮3", "编辑框3", "编辑框4", "组合框1",
                                 "颜色选择器3", "颜色选择器4", "颜色选择器5", "按钮4", "按钮5", "按钮6",
                                 "按钮7", "按钮8"};

bool liesAbove(QWidget* upper, QWidget* lower)
{
    const QObjectList& siblings = upper->parentWidget()->children();
    return siblings.indexOf(upper) > siblings.indexOf(lower);
}

} // namespace

TEST(MainWindowLayout, EveryControlInItsContainerAtItsPlace)
{
    MainWindow w;
    for (const Row& row : kLayout) {
        SCOPED_TRACE(row.name);
        QWidget* c = find(w, row.name);
        ASSERT_NE(c, nullptr);
        QWidget* expectedParent = *row.container ? find(w, row.container) : &w;
        EXPECT_EQ(c->parentWidget(), expectedParent);
        if (QString::fromUtf8(row.name).startsWith(QStringLiteral("编辑框")) || QString::fromUtf8(row.name) == QStringLiteral("组合框1"))
            EXPECT_EQ(c->pos(), row.geometry.topLeft());
        else
            EXPECT_EQ(c->geometry(), row.geometry);
        if (row.text)
            EXPECT_EQ(rt::readText(c), QString::fromUtf8(row.text));
        EXPECT_FALSE(c->isHidden());
    }
}

TEST(MainWindowLayout, InitialValues)
{
    MainWindow w;
    const app::Controls& c = w.controls();
    EXPECT_EQ(w.size(), QSize(633, 434));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("TamselPelorinV1.0测试版 http")));
    EXPECT_TRUE(w.windowTitle().contains(QStringLiteral("  交流群：")));
    EXPECT_FALSE(w.windowIcon().isNull());

    EXPECT_TRUE(c.选择框1->isChecked());
    for (QCheckBox* b : {c.选择框2, c.选择框3, c.选择框4, c.选择框5, c.选择框6})
        EXPECT_FALSE(b->isChecked());
    EXPECT_TRUE(c.单选框1->isChecked());
    EXPECT_FALSE(c.单选框2->isChecked());
    for (QSlider* s : {c.滑块条1, c.滑块条2}) {
        EXPECT_EQ(s->minimum(), 0);
        EXPECT_EQ(s->maximum(), 50);
        EXPECT_EQ(s->value(), 25);
        EXPECT_EQ(s->singleStep(), 1);
        EXPECT_EQ(s->pageStep(), 2);
    }
    ASSERT_EQ(c.组合框1->count(), 5);
    const char* items[] = {"无渐变颜色", "上到下", "左到右", "左上到右下", "右上到左下"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(c.组合框1->itemText(i), QString::fromUtf8(items[i]));
    EXPECT_GE(c.组合框1->maxVisibleItems(), 5);

    const std::pair<app::ColorPicker*, rt::Rgb> pickers[] = {
        {c.颜色选择器1, rt::composeRgb(0, 128, 128)}, {c.颜色选择器2, rt::composeRgb(0, 0, 0)},
        {c.颜色选择器3, rt::composeRgb(0, 0, 255)},   {c.颜色选择器4, rt::composeRgb(88, 48, 224)},
        {c.颜色选择器5, rt::composeRgb(88, 48, 224)}};
    for (auto [p, colour] : pickers)
        EXPECT_EQ(rt::Rgb(rt::readInt(p, rt::Property::Color)), colour) << p->objectName().toStdString();

    // The small edit boxes grow to one text line plus their edges.
    for (QLineEdit* e : {c.编辑框3, c.编辑框4}) {
        EXPECT_EQ(e->text(), QStringLiteral("185"));
        EXPECT_GT(e->height(), 14);
        EXPECT_GE(e->height(), e->fontMetrics().boundingRect(QStringLiteral("吴")).height() + 4);
    }
    EXPECT_EQ(c.编辑框1->height(), 22);

    EXPECT_EQ(c.状态条1->partText(0), QStringLiteral("TamselPelorinV1.0测试版  如果有更好的建议请投递给我!"));
    EXPECT_EQ(c.状态条1->partText(1), QString());
    EXPECT_EQ(c.进度条1->minimum(), 0);
    EXPECT_EQ(c.进度条1->maximum(), 100);
    EXPECT_EQ(c.进度条1->value(), 0);
    EXPECT_NEAR(w.windowOpacity(), 250 / 255.0, 0.01);
}

TEST(MainWindowLayout, PictureBoxAndOverlay)
{
    MainWindow w;
    const app::Controls& c = w.controls();
    EXPECT_EQ(c.图片框1->client()->geometry(), QRect(1, 1, 183, 183));
    EXPECT_EQ(c.标签1->parentWidget(), c.图片框1->client());
    EXPECT_EQ(c.标签1->geometry(), QRect(0, 140, 183, 32));
    EXPECT_FALSE(c.图片框1->decodedPicture().isNull()) << c.图片框1->lastError().toStdString();
    EXPECT_EQ(c.图片框1->decodedPicture().size(), QSize(200, 200));
    EXPECT_EQ(c.图片框1->displayMode(), 1);
}

TEST(MainWindowLayout, StackingWhereControlsOverlap)
{
    MainWindow w;
    EXPECT_TRUE(liesAbove(find(w, "编辑框3"), find(w, "标签9")));
    EXPECT_TRUE(liesAbove(find(w, "编辑框4"), find(w, "标签10")));
    EXPECT_TRUE(liesAbove(find(w, "单选框2"), find(w, "单选框1")));
    EXPECT_TRUE(liesAbove(find(w, "颜色选择器4"), find(w, "分组框3")));
    // 颜色选择器4 shows inside the frame of 分组框3 at the group box's (287, 154).
    QWidget* g3 = find(w, "分组框3");
    EXPECT_EQ(find(w, "颜色选择器4")->pos() - g3->pos(), QPoint(287, 154));
    w.show();
    EXPECT_EQ(w.childAt(g3->pos() + QPoint(287 + 5, 154 + 5)), find(w, "颜色选择器4"));
}

TEST(MainWindowLayout, StatusAreaAndProgressBar)
{
    MainWindow w;
    const app::Controls& c = w.controls();
    EXPECT_EQ(c.进度条1->parentWidget(), c.状态条1);
    EXPECT_EQ(c.状态条1->geometry().bottom(), w.height() - 1);
    EXPECT_EQ(c.状态条1->width(), w.width());
    const int W = c.状态条1->width(), H = c.状态条1->height();
    EXPECT_EQ(c.进度条1->geometry(), QRect(W - 128 - 5, (H - 16) / 2 + 1, 128, 16));
}

TEST(PlaceProgressBar, WorkedValues)
{
    MainWindow w;
    const app::Controls& c = w.controls();
    const struct { int W, H; QPoint place; } cases[] = {
        {633, 20, {500, 3}}, {633, 19, {500, 2}}, {633, 13, {500, 0}}, {633, 11, {500, -1}}, {100, 20, {-33, 3}}};
    for (const auto& k : cases) {
        c.状态条1->resize(k.W, k.H);
        w.placeProgressBar();
        EXPECT_EQ(c.进度条1->pos(), k.place) << k.W << "x" << k.H;
        EXPECT_EQ(c.进度条1->size(), QSize(128, 16));
    }
}

namespace {
struct ShownWindow : ::testing::Test {
    MainWindow w;
    void SetUp() override
    {
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    QString focused() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
};
} // namespace

TEST_F(ShownWindow, TabCyclesThroughTheFocusListBothWays)
{
    find(w, "选择框1")->setFocus();
    ASSERT_EQ(focused(), QStringLiteral("选择框1"));
    const int n = int(std::size(kTabOrder));
    for (int i = 1; i <= n; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focused(), QString::fromUtf8(kTabOrder[i % n])) << "after " << i << " tabs";
    }
    for (int i = n - 1; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(focused(), QString::fromUtf8(kTabOrder[i])) << "back to " << i;
    }
}

TEST_F(ShownWindow, TabSkipsHiddenAndDisabledControls)
{
    find(w, "选择框2")->setEnabled(false);
    find(w, "选择框3")->hide();
    find(w, "选择框1")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(focused(), QStringLiteral("选择框4"));
}

TEST_F(ShownWindow, EscClosesFromAnEditBoxAndEnterClicksNothing)
{
    int clicks = 0;
    for (QPushButton* b : w.findChildren<QPushButton*>())
        QObject::connect(b, &QPushButton::clicked, [&] { ++clicks; });
    find(w, "编辑框2")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(focused(), QStringLiteral("编辑框2"));
    EXPECT_TRUE(w.isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(ShownWindow, RadioButtonsExcludeEachOther)
{
    auto* r1 = w.controls().单选框1;
    auto* r2 = w.controls().单选框2;
    QTest::mouseClick(r2, Qt::LeftButton);
    EXPECT_TRUE(r2->isChecked());
    EXPECT_FALSE(r1->isChecked());
    QTest::mouseClick(r2, Qt::LeftButton); // clicking the selected one keeps it selected
    EXPECT_TRUE(r2->isChecked());
    QTest::mouseClick(r1, Qt::LeftButton);
    EXPECT_TRUE(r1->isChecked());
    EXPECT_FALSE(r2->isChecked());
}

TEST_F(ShownWindow, FilterButtonsRunTheFiltersOnThePictureBox)
{
    const app::Controls& c = w.controls();
    const QImage before = rt::captureSurface(c.图片框1->client());
    QTest::mouseClick(c.按钮7, Qt::LeftButton);
    const QImage gray = rt::captureSurface(c.图片框1->client());
    EXPECT_NE(gray, before);
    for (int y = 0; y < gray.height(); y += 13)
        for (int x = 0; x < gray.width(); x += 13) {
            const QRgb p = gray.pixel(x, y);
            ASSERT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p)) << x << "," << y;
        }
    EXPECT_EQ(c.状态条1->partText(0), QStringLiteral("完成"));
    EXPECT_TRUE(c.进度条1->isHidden());
    QTest::mouseClick(c.按钮8, Qt::LeftButton);
    EXPECT_EQ(rt::captureSurface(c.图片框1->client()), before);
}

TEST_F(ShownWindow, CloseDuringAFilterWaitsForItsEnd)
{
    const app::Controls& c = w.controls();
    bool closedMidway = false;
    QObject::connect(c.进度条1, &QProgressBar::valueChanged, [&](int v) {
        if (v == 30) {
            w.close();
            closedMidway = !w.isVisible();
        }
    });
    QTest::mouseClick(c.按钮4, Qt::LeftButton);
    EXPECT_FALSE(closedMidway);
    EXPECT_FALSE(w.isVisible()); // closed once the filter had ended
    EXPECT_EQ(c.状态条1->partText(0), QStringLiteral("完成"));
}

TEST(MainWindowAccessibility, EveryControlHasAnAccessibleName)
{
    MainWindow w;
    for (const Row& row : kLayout) {
        QWidget* c = find(w, row.name);
        ASSERT_NE(c, nullptr);
        EXPECT_FALSE(c->accessibleName().trimmed().isEmpty()) << row.name;
    }
    for (const char* name : {"标签1", "状态条1", "进度条1"})
        EXPECT_FALSE(find(w, name)->accessibleName().isEmpty()) << name;
    // Controls named by the label beside them carry that label's text.
    EXPECT_EQ(find(w, "编辑框3")->accessibleName(), QStringLiteral("宽度:"));
    EXPECT_EQ(find(w, "颜色选择器4")->accessibleName(), QStringLiteral("渐变色Ⅱ"));
    EXPECT_EQ(find(w, "按钮7")->accessibleName(), QStringLiteral("滤镜黑白"));
    // No widget of the window that a screen reader can reach is nameless.
    for (QWidget* c : w.findChildren<QWidget*>())
        if (c->focusPolicy() != Qt::NoFocus && c->window() == &w && c->isVisibleTo(&w))
            EXPECT_FALSE(c->accessibleName().isEmpty()) << c->objectName().toStdString();
}
