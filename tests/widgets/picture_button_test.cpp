#include "app/widgets/picture_button.h"

#include <QLineEdit>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

using app::PictureButton;
using Picture = PictureButton::Picture;
using State = PictureButton::State;

namespace {

// A 33 x 44 picture, like the arrow pictures, whose every pixel tells where
// it came from: red from x, green from y, blue the picture's own mark.
QImage pictureMarked(int mark)
{
    QImage image(33, 44, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 7, y * 5, mark));
    return image;
}

// The mark of the picture the button shows now, read from its pixels.
int shownMark(PictureButton& button) { return qBlue(button.grab().toImage().pixel(5, 5)); }

constexpr int kNormal = 10, kHot = 20, kPressed = 30, kDisabled = 40;

// A shown window holding one 32 x 43 button at (20, 30), as the arrow
// buttons sit in their group box. Mouse input goes through the window, so
// Qt's own routing (hover, the implicit grab on press) takes part.
struct Host {
    QWidget window;
    PictureButton* button = new PictureButton(&window);
    QWidget* elsewhere = new QWidget(&window);
    int clicks = 0;

    Host()
    {
        window.resize(200, 150);
        button->setGeometry(20, 30, 32, 43);
        elsewhere->setGeometry(120, 30, 60, 60);
        button->setPicture(Picture::Normal, pictureMarked(kNormal));
        button->setPicture(Picture::Hot, QPixmap::fromImage(pictureMarked(kHot)));
        QObject::connect(button, &PictureButton::clicked, [this] { ++clicks; });
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        move(QPoint(190, 140));
    }
    ~Host()
    {
        // Leave no button held for the next test.
        if (QTestPrivate::qtestMouseButtons != Qt::NoButton)
            QTest::mouseRelease(win(), Qt::LeftButton, {}, QPoint(190, 140));
    }
    QWindow* win() { return window.windowHandle(); }
    QPoint onButton() const { return button->geometry().topLeft() + QPoint(10, 10); }
    QPoint offButton() const { return elsewhere->geometry().center(); }
    void move(QPoint p) { QTest::mouseMove(win(), p); }
    void press(QPoint p) { QTest::mousePress(win(), Qt::LeftButton, {}, p); }
    void release(QPoint p) { QTest::mouseRelease(win(), Qt::LeftButton, {}, p); }
};

} // namespace

TEST(PictureButton, DrawsThePictureUnscaledFromTheTopLeftAndCutAtTheEdges)
{
    Host host;
    const QImage shown = host.button->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(32, 43));
    const QImage picture = pictureMarked(kNormal);
    for (int y = 0; y < 43; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(QColor(shown.pixel(x, y)), QColor(picture.pixel(x, y))) << x << "," << y;
}

TEST(PictureButton, PointingTurnsItHotAndLeavingTurnsItBack)
{
    Host host;
    EXPECT_EQ(shownMark(*host.button), kNormal);
    host.move(host.onButton());
    EXPECT_EQ(host.button->state(), State::Hot);
    EXPECT_EQ(shownMark(*host.button), kHot);
    host.move(host.offButton());
    EXPECT_EQ(host.button->state(), State::Normal);
    EXPECT_EQ(shownMark(*host.button), kNormal);
    EXPECT_EQ(host.clicks, 0);
}

TEST(PictureButton, ReleaseOnTheButtonRaisesClickedOnce)
{
    Host host;
    host.move(host.onButton());
    host.press(host.onButton());
    EXPECT_EQ(host.button->state(), State::Pressed);
    // No pressed picture: the arrow shows its normal picture while pressed.
    EXPECT_EQ(shownMark(*host.button), kNormal);
    EXPECT_EQ(host.clicks, 0);
    host.release(host.onButton());
    EXPECT_EQ(host.clicks, 1);
    EXPECT_EQ(host.button->state(), State::Normal);
}

TEST(PictureButton, PressMoveOffAndReleaseElsewhereRaisesNothing)
{
    Host host;
    host.move(host.onButton());
    host.press(host.onButton());
    host.move(host.offButton());
    // The button holds the mouse, so it still hears the pointer and lets go
    // of the pressed look.
    EXPECT_EQ(host.button->state(), State::Normal);
    host.release(host.offButton());
    EXPECT_EQ(host.clicks, 0);
    EXPECT_EQ(host.button->state(), State::Normal);
    // Pointing at it again works as before.
    host.move(host.onButton());
    EXPECT_EQ(host.button->state(), State::Hot);
}

TEST(PictureButton, PressMoveOffAndBackThenReleaseRaisesClicked)
{
    Host host;
    host.move(host.onButton());
    host.press(host.onButton());
    host.move(host.offButton());
    host.move(host.onButton() + QPoint(3, 3));
    EXPECT_EQ(host.button->state(), State::Pressed);
    host.release(host.onButton() + QPoint(3, 3));
    EXPECT_EQ(host.clicks, 1);
}

TEST(PictureButton, PressElsewhereAndReleaseOnTheButtonRaisesNothing)
{
    Host host;
    host.move(host.offButton());
    host.press(host.offButton());
    host.move(host.onButton());
    host.release(host.onButton());
    EXPECT_EQ(host.clicks, 0);
}

TEST(PictureButton, OtherMouseButtonsDoNotClick)
{
    Host host;
    host.move(host.onButton());
    QTest::mouseClick(host.win(), Qt::RightButton, {}, host.onButton());
    QTest::mouseClick(host.win(), Qt::MiddleButton, {}, host.onButton());
    EXPECT_EQ(host.clicks, 0);
}

TEST(PictureButton, DoubleClickCountsAsTwoClicks)
{
    Host host;
    host.move(host.onButton());
    QTest::mouseDClick(host.win(), Qt::LeftButton, {}, host.onButton());
    EXPECT_EQ(host.clicks, 2);
}

TEST(PictureButton, NeverTakesTheKeyboardFocus)
{
    Host host;
    auto* edit = new QLineEdit(&host.window);
    edit->setGeometry(100, 100, 80, 20);
    edit->show();
    host.window.activateWindow();
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }));
    host.move(host.onButton());
    host.press(host.onButton());
    host.release(host.onButton());
    EXPECT_EQ(host.clicks, 1);
    EXPECT_TRUE(edit->hasFocus());
    // Space on the focused window does not reach the button either.
    QTest::keyClick(&host.window, Qt::Key_Space);
    EXPECT_EQ(host.clicks, 1);
}

// Which picture each state shows, for every mix of given pictures: a state
// without its own picture falls back to the normal one.
TEST(PictureButton, StatesFallBackToTheNormalPicture)
{
    struct Case {
        bool hot, pressed, disabled;
    };
    const Case cases[] = {{false, false, false}, {true, false, false}, {false, true, false},
                          {false, false, true},  {true, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "hot " << c.hot << " pressed " << c.pressed << " disabled "
                                        << c.disabled);
        QWidget window;
        window.resize(100, 100);
        auto* button = new PictureButton(&window);
        button->setGeometry(0, 0, 32, 43);
        button->setPicture(Picture::Normal, pictureMarked(kNormal));
        button->setPicture(Picture::Hot, c.hot ? pictureMarked(kHot) : QImage());
        button->setPicture(Picture::Pressed, c.pressed ? pictureMarked(kPressed) : QImage());
        button->setPicture(Picture::Disabled, c.disabled ? pictureMarked(kDisabled) : QImage());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QWindow* win = window.windowHandle();

        QTest::mouseMove(win, QPoint(90, 90));
        EXPECT_EQ(shownMark(*button), kNormal);
        QTest::mouseMove(win, QPoint(10, 10));
        EXPECT_EQ(shownMark(*button), c.hot ? kHot : kNormal);
        QTest::mousePress(win, Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_EQ(shownMark(*button), c.pressed ? kPressed : kNormal);
        QTest::mouseRelease(win, Qt::LeftButton, {}, QPoint(10, 10));
        button->setEnabled(false);
        EXPECT_EQ(shownMark(*button), c.disabled ? kDisabled : kNormal);
    }
}

TEST(PictureButton, DisablingWhilePressedForgetsThePress)
{
    Host host;
    host.move(host.onButton());
    host.press(host.onButton());
    host.button->setEnabled(false);
    host.button->setEnabled(true);
    host.release(host.onButton());
    EXPECT_EQ(host.clicks, 0);
}

TEST(PictureButton, WithoutPicturesItDrawsNothingAndStillClicks)
{
    QWidget window;
    window.resize(100, 100);
    auto* button = new PictureButton(&window);
    button->setGeometry(0, 0, 32, 43);
    int clicks = 0;
    QObject::connect(button, &PictureButton::clicked, [&] { ++clicks; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(button->shownPicture().isNull());
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
}
