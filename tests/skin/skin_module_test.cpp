// The engine module itself, loaded the way the program loads it and called
// through its export.

#include "app/skin/skin_library.h"
#include "app/skin/skin_theme.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

class SkinModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        handle_ = dlopen(TP_SKIN_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
        attach_ = reinterpret_cast<app::AttachSkinFunction*>(dlsym(handle_, app::kAttachFunctionName));
        ASSERT_NE(attach_, nullptr);
        // A known look to compare against.
        QApplication::setStyle(QStyleFactory::create("Windows"));
        QApplication::setPalette(QApplication::style()->standardPalette());
        qApp->setStyleSheet("QLabel { color: #010203; }");
        windowsWindow_ = QApplication::palette().color(QPalette::Window);
    }
    void TearDown() override
    {
        qApp->setStyleSheet(QString());
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        QApplication::setPalette(QApplication::style()->standardPalette());
        // Left loaded, as the program leaves it: the application's style may
        // still refer to code of the module.
    }

    int attach(const QByteArray& block)
    {
        return attach_(reinterpret_cast<const unsigned char*>(block.constData()), int(block.size()), "", 0, 0, 0);
    }

    void expectUntouched()
    {
        EXPECT_EQ(qApp->styleSheet(), "QLabel { color: #010203; }");
        EXPECT_EQ(QApplication::palette().color(QPalette::Window), windowsWindow_);
    }

    QColor windowsWindow_;
    void* handle_ = nullptr;
    app::AttachSkinFunction* attach_ = nullptr;
};

} // namespace

TEST_F(SkinModule, OnlyTheAttachFunctionIsExported)
{
    // The module's own helpers stay private to it.
    EXPECT_EQ(dlsym(handle_, "_ZN4skin9parseSkinEPKcx"), nullptr);
    EXPECT_EQ(dlsym(handle_, "_ZN4skin10buildThemeERKNS_8SkinDataE"), nullptr);
}

TEST_F(SkinModule, AttachesTheSkinToTheApplication)
{
    const QByteArray block = app::embeddedSkin(app::kStartupSkin);
    const skin::ThemeResult expected = skin::buildTheme(block.constData(), block.size());
    ASSERT_TRUE(expected);

    ASSERT_EQ(attach(block), 0);
    EXPECT_EQ(qApp->styleSheet(), expected.theme->styleSheet);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), expected.theme->palette.color(QPalette::Window));

    // A real control takes the skin's look: a line edit is filled with the
    // skin's field colour.
    QLineEdit edit;
    edit.resize(100, 22);
    const QImage shot = edit.grab().toImage();
    EXPECT_EQ(shot.pixelColor(50, 11), expected.theme->palette.color(QPalette::Base));

    // Attaching another skin replaces the first.
    const QByteArray dark = app::embeddedSkin(2);
    ASSERT_EQ(attach(dark), 0);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window),
              skin::buildTheme(dark.constData(), dark.size()).theme->palette.color(QPalette::Window));
}

// The engine draws the check marks itself, so they show on dark skins too:
// a checked box is filled with the accent, an unchecked one with the field
// colour.
TEST_F(SkinModule, CheckMarksTakeTheSkinsColours)
{
    for (int number : {2, 6, 11}) {
        const QByteArray block = app::embeddedSkin(number);
        const skin::Theme theme = *skin::buildTheme(block.constData(), block.size()).theme;
        ASSERT_EQ(attach(block), 0);
        QWidget host;
        host.resize(120, 60);
        auto* on = new QCheckBox(&host);
        on->setChecked(true);
        on->setGeometry(0, 0, 30, 30);
        auto* off = new QRadioButton(&host);
        off->setGeometry(0, 30, 30, 30);
        auto countOf = [](const QImage& shot, const QColor& c) {
            int n = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    n += shot.pixelColor(x, y) == c;
            return n;
        };
        const QImage onShot = on->grab().toImage(), offShot = off->grab().toImage();
        EXPECT_GT(countOf(onShot, theme.indicator.onFill), 10) << "skin " << number;
        EXPECT_GT(countOf(onShot, theme.indicator.mark), 3) << "skin " << number;
        EXPECT_GT(countOf(offShot, theme.indicator.fill), 10) << "skin " << number;
        EXPECT_EQ(countOf(offShot, theme.indicator.onFill), 0) << "skin " << number;
    }
}

TEST_F(SkinModule, RefusesAndLeavesTheLookAloneForAnythingElse)
{
    const QByteArray good = app::embeddedSkin(app::kStartupSkin);
    QByteArray badChecksum = good;
    badChecksum[good.size() - 1] = char(badChecksum[good.size() - 1] ^ 0x20);

    EXPECT_EQ(attach_(nullptr, 0, "", 0, 0, 0), int(skin::Refusal::NoBlock));
    EXPECT_EQ(attach_(nullptr, 1000, "", 0, 0, 0), int(skin::Refusal::NoBlock));
    EXPECT_EQ(attach_(reinterpret_cast<const unsigned char*>(good.constData()), -5, "", 0, 0, 0),
              int(skin::Refusal::NoBlock));
    EXPECT_EQ(attach_(reinterpret_cast<const unsigned char*>(good.constData()), good.size(), nullptr, 7, 8, 9), 0)
        << "the reserved arguments do not matter";
    SetUp();

    EXPECT_EQ(attach(QByteArray("MZ\x90\x00", 4)), int(skin::Refusal::NotASkin));
    EXPECT_EQ(attach(good.left(good.size() - 1)), int(skin::Refusal::Damaged));
    EXPECT_EQ(attach(badChecksum), int(skin::Refusal::Damaged));
    EXPECT_EQ(attach(skin::encodeSkin("window=#ffffff\n")), int(skin::Refusal::BadContent));
    expectUntouched();
}
