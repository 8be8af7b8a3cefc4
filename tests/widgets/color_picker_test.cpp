#include "app/widgets/color_picker.h"

#include <QApplication>
#include <QColorDialog>
#include <QHelpEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

using app::ColorPicker;
using app::ColorPopup;
using rt::composeRgb;

namespace {

struct Expected {
    const char* name;
    int r, g, b;
};

// The palette as the user sees it, cell by cell, row by row.
const Expected kPalette[32] = {
    {"黑色", 0, 0, 0},       {"藏青", 0, 0, 128},     {"墨绿", 0, 128, 0},     {"深青", 0, 128, 128},
    {"红褐", 128, 0, 0},     {"紫红", 128, 0, 128},   {"褐绿", 128, 128, 0},   {"浅灰", 192, 192, 192},
    {"灰色", 128, 128, 128}, {"蓝色", 0, 0, 255},     {"绿色", 0, 255, 0},     {"艳青", 0, 255, 255},
    {"红色", 255, 0, 0},     {"品红", 255, 0, 255},   {"黄色", 255, 255, 0},   {"白色", 255, 255, 255},
    {"蓝灰", 128, 128, 255}, {"藏蓝", 88, 48, 224},   {"嫩绿", 128, 224, 0},   {"青绿", 0, 224, 128},
    {"黄褐", 192, 96, 0},    {"粉红", 255, 168, 255}, {"嫩黄", 216, 216, 0},   {"银白", 236, 236, 236},
    {"紫色", 144, 0, 255},   {"天蓝", 0, 136, 255},   {"灰绿", 128, 160, 128}, {"青蓝", 0, 96, 192},
    {"橙黄", 255, 128, 0},   {"桃红", 255, 80, 128},  {"芙红", 255, 128, 192}, {"深灰", 96, 96, 96},
};

rt::Rgb expectedColor(int cell) { return composeRgb(kPalette[cell].r, kPalette[cell].g, kPalette[cell].b); }

// Centre of a palette cell: 18 x 18 cells, 7 to a row, inside a 2-pixel edge.
QPoint cellCentre(int cell) { return {2 + (cell % 7) * 18 + 9, 2 + (cell / 7) * 18 + 9}; }

// A shown window with one picker, a record of every colorChosen and the
// colour the picker showed at that moment.
struct Host {
    QWidget window;
    ColorPicker* picker = new ColorPicker(&window);
    std::vector<rt::Rgb> chosen;
    std::vector<int> shownWhenChosen;

    explicit Host(rt::Rgb initial = composeRgb(0, 128, 128))
    {
        window.resize(300, 250);
        picker->setGeometry(64, 94, 80, 22);
        picker->setColor(initial);
        QObject::connect(picker, &ColorPicker::colorChosen, [this](rt::Rgb c) {
            chosen.push_back(c);
            shownWhenChosen.push_back(rt::readInt(picker, rt::Property::Color));
        });
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    ~Host()
    {
        if (QTestPrivate::qtestMouseButtons != Qt::NoButton)
            QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, {}, QPoint(290, 240));
    }

    // Opens the pop-up as the user does: press and release on the picker.
    ColorPopup* open()
    {
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, picker->geometry().center());
        ColorPopup* popup = picker->popup();
        EXPECT_NE(popup, nullptr);
        if (popup) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(popup));
        }
        return popup;
    }

    // Lets the picker take the choice (it does so from the event loop) and
    // waits until the pop-up is gone.
    void settle()
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return picker->popup() == nullptr; }));
        QTest::qWait(20);
    }
};

// Calls `act` on the colour dialog once it is the modal window, from the
// dialog's own event loop. Returns a flag that tells whether it ran.
std::shared_ptr<bool> whenColorDialogOpens(std::function<void(QColorDialog*)> act)
{
    auto ran = std::make_shared<bool>(false);
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act, ran] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        *ran = true;
        act(dialog);
    });
    timer->start();
    QTimer::singleShot(5000, timer, [timer] { timer->deleteLater(); });
    return ran;
}

} // namespace

TEST(ColorPalette, CellsHoldTheNamedColoursInOrder)
{
    const auto& palette = app::colorPalette();
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(palette[size_t(i)].name, QString::fromUtf8(kPalette[i].name)) << i;
        EXPECT_EQ(palette[size_t(i)].color, expectedColor(i)) << i;
        EXPECT_EQ(app::paletteIndexOf(expectedColor(i)), i);
    }
    EXPECT_EQ(app::paletteIndexOf(composeRgb(1, 2, 3)), -1);
}

// Every cell, driven through a real pop-up: the tooltip names the colour,
// and a click on the cell gives that colour.
TEST(ColorPicker, EachCellShowsItsNameAndAClickChoosesItsColour)
{
    Host host(composeRgb(1, 2, 3));
    for (int cell = 0; cell < 32; ++cell) {
        SCOPED_TRACE(cell);
        ColorPopup* popup = host.open();
        ASSERT_NE(popup, nullptr);
        const QPoint at = cellCentre(cell);

        QHelpEvent help(QEvent::ToolTip, at, popup->mapToGlobal(at));
        QCoreApplication::sendEvent(popup, &help);
        EXPECT_EQ(QToolTip::text(), QString::fromUtf8(kPalette[cell].name));
        QToolTip::hideText();

        QTest::mouseMove(popup->windowHandle(), at);
        EXPECT_EQ(popup->markedItem(), cell);
        QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {}, at);
        host.settle();
        ASSERT_EQ(host.chosen.size(), size_t(cell + 1));
        EXPECT_EQ(host.chosen.back(), expectedColor(cell));
        EXPECT_EQ(host.picker->color(), expectedColor(cell));
    }
}

TEST(ColorPicker, PopupLiesBelowThePickerAndHoldsGridAndOtherBox)
{
    Host host;
    ColorPopup* popup = host.open();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isWindow());
    EXPECT_EQ(popup->geometry().topLeft(), host.picker->mapToGlobal(QPoint(0, host.picker->height())));
    EXPECT_EQ(popup->width(), 2 * 2 + 7 * 18);
    // The "其它颜色..." box lies below the grid, across the pop-up.
    const QRect other = popup->itemRect(ColorPopup::kOtherItem);
    EXPECT_GE(other.top(), 2 + 5 * 18);
    EXPECT_EQ(other.width(), 7 * 18);
    EXPECT_EQ(popup->itemAt(other.center()), ColorPopup::kOtherItem);
    QTest::keyClick(popup, Qt::Key_Escape);
    host.settle();
}

TEST(ColorPicker, PopupMarksTheCurrentColourOrTheOtherBox)
{
    struct Case {
        rt::Rgb color;
        int marked;
    };
    const Case cases[] = {
        {composeRgb(0, 128, 128), 3},  {composeRgb(0, 0, 0), 0},
        {composeRgb(88, 48, 224), 17}, {composeRgb(96, 96, 96), 31},
        {composeRgb(1, 2, 3), ColorPopup::kOtherItem},
        // Near a palette colour is not the palette colour.
        {composeRgb(0, 128, 129), ColorPopup::kOtherItem},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.color);
        Host host(c.color);
        ColorPopup* popup = host.open();
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->markedItem(), c.marked);
        QTest::keyClick(popup, Qt::Key_Escape);
        host.settle();
        EXPECT_TRUE(host.chosen.empty());
    }
}

// Keys move the mark and confirm it; each row starts on the picker's colour
// "深青" (cell 3).
TEST(ColorPicker, KeysMoveTheMarkAndConfirmIt)
{
    struct Case {
        const char* what;
        std::vector<Qt::Key> keys;
        int cell;
    };
    const Case cases[] = {
        {"Enter on the current colour", {Qt::Key_Return}, 3},
        {"keypad Enter", {Qt::Key_Enter}, 3},
        {"Space", {Qt::Key_Space}, 3},
        {"Right", {Qt::Key_Right, Qt::Key_Return}, 4},
        {"Left", {Qt::Key_Left, Qt::Key_Space}, 2},
        {"Down", {Qt::Key_Down, Qt::Key_Return}, 10},
        {"Up stays in the first row", {Qt::Key_Up, Qt::Key_Return}, 3},
        {"Down twice, Right", {Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Return}, 18},
        {"Left past the start stays", {Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Return}, 0},
        {"Down to the box and back up",
         {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Return},
         31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Host host(composeRgb(0, 128, 128));
        ColorPopup* popup = host.open();
        ASSERT_NE(popup, nullptr);
        for (Qt::Key key : c.keys)
            QTest::keyClick(popup, key);
        host.settle();
        ASSERT_EQ(host.chosen.size(), 1u);
        EXPECT_EQ(host.chosen[0], expectedColor(c.cell));
    }
}

TEST(ColorPicker, ArrowsReachTheOtherBoxFromTheLastRow)
{
    Host host(composeRgb(96, 96, 96)); // cell 31, last of the fifth row
    ColorPopup* popup = host.open();
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_EQ(popup->markedItem(), ColorPopup::kOtherItem);
    QTest::keyClick(popup, Qt::Key_Up); // column 3 has a cell in the fifth row
    EXPECT_EQ(popup->markedItem(), 31);
    QTest::keyClick(popup, Qt::Key_Right);
    EXPECT_EQ(popup->markedItem(), ColorPopup::kOtherItem);
    QTest::keyClick(popup, Qt::Key_Escape);
    host.settle();
}

TEST(ColorPicker, ChoosingTheShownColourStillRaisesColorChosen)
{
    Host host(composeRgb(88, 48, 224));
    ColorPopup* popup = host.open();
    ASSERT_NE(popup, nullptr);
    QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {}, cellCentre(17));
    host.settle();
    ASSERT_EQ(host.chosen.size(), 1u);
    EXPECT_EQ(host.chosen[0], composeRgb(88, 48, 224));
}

TEST(ColorPicker, HandlerAlreadySeesTheNewColour)
{
    Host host(composeRgb(0, 0, 0));
    ColorPopup* popup = host.open();
    ASSERT_NE(popup, nullptr);
    QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {}, cellCentre(12)); // 红色
    host.settle();
    ASSERT_EQ(host.shownWhenChosen.size(), 1u);
    EXPECT_EQ(host.shownWhenChosen[0], int(composeRgb(255, 0, 0)));
}

TEST(ColorPicker, EscapeCancels)
{
    Host host(composeRgb(0, 0, 255));
    ColorPopup* popup = host.open();
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(popup, Qt::Key_Right); // the mark moves, but nothing is confirmed
    QTest::keyClick(popup, Qt::Key_Escape);
    host.settle();
    EXPECT_TRUE(host.chosen.empty());
    EXPECT_EQ(host.picker->color(), composeRgb(0, 0, 255));
}

// Clicks outside the pop-up, as the window system delivers them to the
// pop-up that holds the mouse: each cancels.
TEST(ColorPicker, ClickOutsideCancels)
{
    struct Case {
        const char* what;
        QPoint pressAt, releaseAt; // in the pop-up's coordinates
    };
    const Case cases[] = {
        {"press and release outside", {-30, 40}, {-30, 40}},
        {"press on a cell, release outside", cellCentre(12), {200, 300}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Host host(composeRgb(0, 0, 255));
        ColorPopup* popup = host.open();
        ASSERT_NE(popup, nullptr);
        QTest::mousePress(popup->windowHandle(), Qt::LeftButton, {}, c.pressAt);
        if (host.picker->popup())
            QTest::mouseRelease(popup->windowHandle(), Qt::LeftButton, {}, c.releaseAt);
        else
            QTest::mouseRelease(host.window.windowHandle(), Qt::LeftButton, {}, QPoint(290, 240));
        host.settle();
        EXPECT_TRUE(host.chosen.empty());
        EXPECT_EQ(host.picker->color(), composeRgb(0, 0, 255));
    }
}

TEST(ColorPicker, ClickOnThePickerWhileOpenClosesWithoutReopening)
{
    Host host;
    ASSERT_NE(host.open(), nullptr);
    // The user clicks the picker itself again; the pop-up holds the mouse.
    const QPoint onPicker = host.picker->geometry().center();
    QTest::mousePress(host.window.windowHandle(), Qt::LeftButton, {}, onPicker);
    ASSERT_EQ(host.picker->popup(), nullptr);
    // Where the window system hands the release to the picker below.
    QTest::mouseRelease(host.picker, Qt::LeftButton, {}, host.picker->rect().center());
    host.settle();
    EXPECT_EQ(host.picker->popup(), nullptr);
    EXPECT_TRUE(host.chosen.empty());
}

TEST(ColorPicker, LosingActivationCancels)
{
    Host host(composeRgb(0, 0, 255));
    ColorPopup* popup = host.open();
    ASSERT_NE(popup, nullptr);
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &deactivate);
    host.settle();
    EXPECT_TRUE(host.chosen.empty());
    EXPECT_EQ(host.picker->color(), composeRgb(0, 0, 255));
}

TEST(ColorPicker, OtherColoursOpensTheColourDialogOnTheCurrentColour)
{
    Host host(composeRgb(1, 2, 3));
    ColorPopup* popup = host.open();
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(popup->markedItem(), ColorPopup::kOtherItem);

    QColor startedOn;
    bool nonNative = false;
    Qt::WindowModality modality = Qt::NonModal;
    auto ran = whenColorDialogOpens([&](QColorDialog* dialog) {
        startedOn = dialog->currentColor();
        nonNative = dialog->testOption(QColorDialog::DontUseNativeDialog);
        modality = dialog->windowModality();
        dialog->setCurrentColor(QColor(10, 20, 30));
        dialog->accept();
    });
    QTest::keyClick(popup, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host.chosen.empty(); }));
    EXPECT_TRUE(*ran);
    EXPECT_EQ(startedOn, QColor(1, 2, 3));
    EXPECT_TRUE(nonNative);
    EXPECT_EQ(modality, Qt::ApplicationModal);
    ASSERT_EQ(host.chosen.size(), 1u);
    EXPECT_EQ(host.chosen[0], composeRgb(10, 20, 30));
    EXPECT_EQ(host.picker->color(), composeRgb(10, 20, 30));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(ColorPicker, OkInTheColourDialogOnTheSameColourStillRaisesColorChosen)
{
    Host host(composeRgb(1, 2, 3));
    ColorPopup* popup = host.open();
    ASSERT_NE(popup, nullptr);
    auto ran = whenColorDialogOpens([](QColorDialog* dialog) { dialog->accept(); });
    QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {},
                      popup->itemRect(ColorPopup::kOtherItem).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host.chosen.empty(); }));
    EXPECT_EQ(host.chosen[0], composeRgb(1, 2, 3));
}

TEST(ColorPicker, CancelInTheColourDialogChangesNothing)
{
    Host host(composeRgb(0, 128, 128));
    ColorPopup* popup = host.open();
    ASSERT_NE(popup, nullptr);
    auto ran = whenColorDialogOpens([](QColorDialog* dialog) {
        dialog->setCurrentColor(QColor(200, 100, 50));
        dialog->reject();
    });
    // From the marked "深青" down to the box, then Space.
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(popup, Qt::Key_Down);
    ASSERT_EQ(popup->markedItem(), ColorPopup::kOtherItem);
    QTest::keyClick(popup, Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([&] { return *ran; }));
    QTest::qWait(50);
    EXPECT_TRUE(host.chosen.empty());
    EXPECT_EQ(host.picker->color(), composeRgb(0, 128, 128));
    EXPECT_EQ(host.picker->popup(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(ColorPicker, PickerGoneWhileTheColourDialogIsOpen)
{
    auto host = std::make_unique<Host>(composeRgb(1, 2, 3));
    ColorPopup* popup = host->open();
    ASSERT_NE(popup, nullptr);
    // Another handler, run inside the dialog's event loop, closes the
    // window; the dialog goes with it and nothing is raised afterwards.
    auto ran = whenColorDialogOpens([&](QColorDialog*) { host.reset(); });
    QTest::keyClick(popup, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return *ran; }));
    QTest::qWait(50);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(ColorPicker, ColourIsAControlProperty)
{
    Host host(composeRgb(0, 0, 0));
    EXPECT_EQ(rt::readInt(host.picker, rt::Property::Color), 0);
    rt::writeProperty(host.picker, rt::Property::Color, int(composeRgb(88, 48, 224)));
    EXPECT_EQ(host.picker->color(), composeRgb(88, 48, 224));
    EXPECT_EQ(rt::readInt(host.picker, rt::Property::Color), int(composeRgb(88, 48, 224)));
    // A colour value's top byte is 0: stray bits there are dropped.
    rt::writeProperty(host.picker, rt::Property::Color, int(0x7F0000FF));
    EXPECT_EQ(rt::readInt(host.picker, rt::Property::Color), 0xFF);
    // Setting the colour is no choice by the user.
    EXPECT_TRUE(host.chosen.empty());
    // Geometry still comes from the standard properties.
    EXPECT_EQ(rt::readInt(host.picker, rt::Property::Width), 80);
}

TEST(ColorPicker, DrawsTheColourInsideTheWhiteBox)
{
    Host host(composeRgb(255, 0, 0));
    const QImage shown = host.picker->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(20, 11)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shown.pixel(3, 11)), QColor(Qt::white));     // the box
    EXPECT_EQ(QColor(shown.pixel(4, 11)), QColor(Qt::black));     // the outline
    rt::writeProperty(host.picker, rt::Property::Color, int(composeRgb(0, 0, 255)));
    EXPECT_EQ(QColor(host.picker->grab().toImage().pixel(20, 11)), QColor(0, 0, 255));
}

TEST(ColorPopupPlacement, ShiftsOntoTheScreen)
{
    const QRect screen(0, 0, 1024, 768);
    const QSize size(130, 116);
    struct Case {
        const char* what;
        QPoint anchor, expected;
    };
    const Case cases[] = {
        {"room enough", {100, 200}, {100, 200}},
        {"right edge", {1000, 200}, {1024 - 130, 200}},
        {"bottom edge", {100, 700}, {100, 768 - 116}},
        {"bottom-right corner", {1000, 760}, {1024 - 130, 768 - 116}},
        {"left of the screen", {-40, 200}, {0, 200}},
        {"exactly fits", {1024 - 130, 768 - 116}, {1024 - 130, 768 - 116}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(app::fitOnScreen(c.anchor, size, screen), c.expected) << c.what;
    // A second screen to the right of the first.
    EXPECT_EQ(app::fitOnScreen({2250, 100}, size, QRect(1024, 0, 1280, 1024)), QPoint(1024 + 1280 - 130, 100));
    EXPECT_EQ(app::fitOnScreen({900, 100}, size, QRect(1024, 0, 1280, 1024)), QPoint(1024, 100));
}

TEST(ColorPicker, PopupNearTheScreenEdgeStaysOnTheScreen)
{
    Host host;
    const QRect area = host.picker->screen()->availableGeometry();
    host.window.move(area.right() - 100, area.bottom() - 60);
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.window.pos() != QPoint(); }));
    host.picker->move(host.window.width() - 90, host.window.height() - 30);
    ColorPopup* popup = nullptr;
    host.picker->openPopup();
    popup = host.picker->popup();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(area.contains(popup->frameGeometry())) << popup->frameGeometry().x() << ","
                                                       << popup->frameGeometry().y();
    QTest::keyClick(popup, Qt::Key_Escape);
    host.settle();
}
