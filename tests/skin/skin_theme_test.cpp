#include "app/skin/skin_library.h"
#include "app/skin/skin_theme.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <gtest/gtest.h>
#include <cmath>

using skin::Refusal;

namespace {

// A minimal sound skin: every required colour, then the given extra lines.
QByteArray skinWith(const QByteArray& extra, const QByteArray& style = QByteArray())
{
    QByteArray payload;
    for (const QString& key : skin::requiredColourKeys())
        payload += key.toLatin1() + " = #102030\n";
    payload += extra;
    if (!style.isNull())
        payload += "[style]\n" + style;
    return skin::encodeSkin(payload);
}

skin::ThemeResult themeOf(const QByteArray& block)
{
    return skin::buildTheme(block.constData(), block.size());
}

skin::Theme skinTheme(int number)
{
    const QByteArray block = app::embeddedSkin(number);
    const skin::ThemeResult t = themeOf(block);
    EXPECT_TRUE(t) << "skin " << number << ": " << qPrintable(t.detail);
    return t ? *t.theme : skin::Theme{};
}

QString valueOf(int number, const char* key)
{
    return skin::parseSkin(app::embeddedSkin(number)).skin->value(QString::fromLatin1(key));
}

QColor colourOf(int number, const char* key)
{
    const auto c = skin::parseColour(valueOf(number, key));
    EXPECT_TRUE(c) << "skin " << number << " key " << key;
    return c.value_or(QColor());
}

QStringList styleSheetWarnings;
void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        styleSheetWarnings << message;
}

} // namespace

TEST(SkinTheme, PlaceholdersBecomeTheirValues)
{
    const skin::ThemeResult t = themeOf(skinWith("accent = #a0b0c0\nradius = 4\n",
                                                 "QPushButton { color: ${accent}; border-radius: ${radius}px; width: $5; }\n"));
    ASSERT_TRUE(t) << qPrintable(t.detail);
    EXPECT_EQ(t.theme->styleSheet, "QPushButton { color: #a0b0c0; border-radius: 4px; width: $5; }\n");
    EXPECT_EQ(t.theme->baseStyle, "Fusion");
    EXPECT_EQ(t.theme->palette.color(QPalette::Active, QPalette::Window), QColor(0x10, 0x20, 0x30));
}

TEST(SkinTheme, RefusesBadColoursPlaceholdersAndStyles)
{
    struct Case {
        const char* what;
        QByteArray block;
    };
    QByteArray missing;
    for (const QString& key : skin::requiredColourKeys())
        if (key != "highlight")
            missing += key.toLatin1() + "=#102030\n";
    const Case cases[] = {
        {"missing required colour", skin::encodeSkin(missing)},
        {"colour with a non-hex digit", skinWith("window = #12345g\n")},
        {"colour too short", skinWith("mid = #1234\n")},
        {"colour too long", skinWith("dark = #1234567\n")},
        {"colour by name", skinWith("light = red\n")},
        {"bright text malformed", skinWith("bright-text = #xyzxyz\n")},
        {"unknown placeholder", skinWith("", "a { color: ${nothing}; }")},
        {"empty placeholder", skinWith("", "a { color: ${}; }")},
        {"unterminated placeholder", skinWith("", "a { color: ${window")},
        {"placeholder of a text value", skinWith("title = }* { color: red\n", "a { x: ${title}; }")},
        {"placeholder of a large integer", skinWith("big = 1000\n", "a { x: ${big}px; }")},
        {"style name with punctuation", skinWith("style = Fusion;\n")},
        {"style name with spaces", skinWith("style = Fu sion\n")},
    };
    for (const Case& c : cases) {
        const skin::ThemeResult t = themeOf(c.block);
        EXPECT_FALSE(t) << c.what;
        EXPECT_EQ(int(t.refusal), int(Refusal::BadContent)) << c.what;
    }
    // Refusals of the block itself come through unchanged.
    EXPECT_EQ(themeOf(QByteArray("nonsense")).refusal, Refusal::NotASkin);
}

TEST(SkinTheme, ContrastRatio)
{
    EXPECT_NEAR(skin::contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(skin::contrastRatio(QColor(0x77, 0x77, 0x77), QColor(0x77, 0x77, 0x77)), 1.0, 1e-9);
    // #767676 on white is the well-known grey that just passes 4.5.
    EXPECT_NEAR(skin::contrastRatio(QColor(0x76, 0x76, 0x76), Qt::white), 4.54, 0.01);
}

TEST(BuiltInSkins, ThereAreExactlyThirtyThreeAndNothingOutsideThem)
{
    for (int n : {0, -1, 34, 1000, INT_MIN, INT_MAX})
        EXPECT_TRUE(app::embeddedSkin(n).isEmpty()) << n;
    for (int n = 1; n <= app::kSkinCount; ++n) {
        const QByteArray block = app::embeddedSkin(n);
        ASSERT_GT(block.size(), skin::kHeaderSize) << n;
        EXPECT_EQ(block.left(4), ".SHE") << n;
    }
}

// Every text colour against every background it is drawn on. Body text
// asks for 7:1, the rest for the 4.5:1 of ordinary readable text.
TEST(BuiltInSkins, EveryTextIsReadableOnItsBackground)
{
    struct Pair {
        const char* text;
        const char* background;
        double minimum;
    };
    const Pair pairs[] = {
        {"window-text", "window", 7.0},
        {"text", "base", 7.0},
        {"button-text", "button-top", 7.0},
        {"button-text", "button-bottom", 7.0},
        {"button-text", "button-hover-top", 7.0},
        {"button-text", "button-hover-bottom", 7.0},
        {"button-text", "button-pressed", 7.0},
        {"status-text", "status-bg", 7.0},
        {"tooltip-text", "tooltip-base", 7.0},
        {"highlighted-text", "highlight", 4.5},
        {"group-title", "window", 4.5},
        {"placeholder-text", "base", 4.5},
        {"link", "base", 4.5},
        {"link", "window", 4.5},
        {"window-text", "status-bg", 4.5},
        {"disabled-text", "window", 2.5},
        {"disabled-text", "button-disabled", 2.5},
    };
    for (int n = 1; n <= app::kSkinCount; ++n) {
        for (const Pair& p : pairs) {
            const double ratio = skin::contrastRatio(colourOf(n, p.text), colourOf(n, p.background));
            EXPECT_GE(ratio, p.minimum) << "skin " << n << ": " << p.text << " on " << p.background;
        }
    }
}

TEST(BuiltInSkins, LooksAreDistinctAndRangeFromLightToDark)
{
    int dark = 0, light = 0;
    for (int a = 1; a <= app::kSkinCount; ++a) {
        const QColor wa = colourOf(a, "window"), aa = colourOf(a, "accent");
        (skin::contrastRatio(wa, Qt::black) < skin::contrastRatio(wa, Qt::white) ? dark : light)++;
        for (int b = a + 1; b <= app::kSkinCount; ++b) {
            const QColor wb = colourOf(b, "window"), ab = colourOf(b, "accent");
            auto distance = [](const QColor& x, const QColor& y) {
                return std::abs(x.red() - y.red()) + std::abs(x.green() - y.green()) + std::abs(x.blue() - y.blue());
            };
            EXPECT_GT(distance(wa, wb) + distance(aa, ab), 40) << "skins " << a << " and " << b << " look alike";
        }
    }
    EXPECT_GE(dark, 8);
    EXPECT_GE(light, 8);
}

TEST(BuiltInSkins, EachHasAChineseTitle)
{
    for (int n = 1; n <= app::kSkinCount; ++n) {
        const QString title = valueOf(n, "title");
        ASSERT_FALSE(title.isEmpty()) << n;
        EXPECT_TRUE(std::all_of(title.begin(), title.end(), [](QChar c) { return c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff; }))
            << n << " " << qPrintable(title);
    }
}

// Qt reads every skin's style sheet without a complaint, and each styles
// every control kind of the main window.
TEST(BuiltInSkins, StyleSheetsParseAndCoverEveryControlKind)
{
    const char* selectors[] = {"QPushButton", "QCheckBox", "QRadioButton", "QLineEdit", "QComboBox", "QSlider",
                               "QProgressBar", "QGroupBox", "app--StatusBar", "app--ColorPicker", "app--PictureButton"};
    for (int n = 1; n <= app::kSkinCount; ++n) {
        const skin::Theme theme = skinTheme(n);
        for (const char* s : selectors)
            EXPECT_TRUE(theme.styleSheet.contains(QString::fromLatin1(s))) << "skin " << n << " lacks " << s;

        styleSheetWarnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
        {
            QWidget host;
            host.setStyleSheet(theme.styleSheet);
            new QPushButton("按钮", &host);
            new QCheckBox("粗体", &host);
            new QRadioButton("单选", &host);
            new QLineEdit("文字", &host);
            (new QComboBox(&host))->addItem("宋体");
            new QSlider(Qt::Horizontal, &host);
            new QProgressBar(&host);
            new QGroupBox("分组", &host);
            host.resize(300, 200);
            host.grab();
        }
        qInstallMessageHandler(previous);
        EXPECT_TRUE(styleSheetWarnings.isEmpty()) << "skin " << n << ": " << qPrintable(styleSheetWarnings.join('\n'));
    }
}

TEST(BuiltInSkins, PaletteFollowsTheSkin)
{
    const skin::Theme theme = skinTheme(app::kStartupSkin);
    const QPalette& pal = theme.palette;
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::Window), colourOf(app::kStartupSkin, "window"));
    EXPECT_EQ(pal.color(QPalette::Inactive, QPalette::Text), colourOf(app::kStartupSkin, "text"));
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::Mid), colourOf(app::kStartupSkin, "mid"));
    EXPECT_EQ(pal.color(QPalette::Disabled, QPalette::ButtonText), colourOf(app::kStartupSkin, "disabled-text"));
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::ButtonText), colourOf(app::kStartupSkin, "button-text"));
}
