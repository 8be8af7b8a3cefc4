// Writes the 33 built-in skins as blocks 1.she .. 33.she into a folder.
//
// Each look is given by a handful of seed colours (window, field, text,
// accent), a corner radius and a finish for raised controls; every other
// colour of the palette and the style sheet is derived here, and every
// pair of text and background is pushed apart until it reads well (WCAG
// contrast ratio 7 for body text, 4.5 for the rest), so a skin cannot come
// out unreadable however its seeds are chosen.

#include "app/skin/skin_format.h"
#include "app/skin/skin_theme.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdio>
#include <vector>

namespace {

enum class Finish { Flat, Soft, Glossy };

struct Design {
    const char* name;
    const char* title;
    const char* window;
    const char* base;
    const char* text;
    const char* accent;
    int radius;
    Finish finish;
    const char* secondAccent = nullptr; // end colour of accent gradients
};

// Skin 11 is the one the program attaches at start-up.
const Design kDesigns[] = {
    {"porcelain", "白瓷", "#f4f5f7", "#ffffff", "#1e2329", "#3b6fd4", 3, Finish::Soft},
    {"graphite", "石墨", "#2b2d31", "#1f2124", "#e6e8eb", "#5b9cf0", 3, Finish::Soft},
    {"ocean", "海洋", "#e3eef8", "#ffffff", "#0f2a44", "#1768ac", 4, Finish::Glossy},
    {"forest", "森林", "#e7efe3", "#fbfdf9", "#1d3320", "#3f7d3a", 3, Finish::Soft},
    {"sunset", "落日", "#fbeee2", "#fffaf5", "#3d2312", "#d9622b", 5, Finish::Soft, "#e8a13a"},
    {"midnight", "午夜", "#141b2d", "#0d1322", "#dbe4f5", "#39b6e0", 4, Finish::Soft},
    {"sakura", "樱花", "#fbeef2", "#fffafb", "#40202b", "#d45583", 6, Finish::Soft},
    {"lavender", "薰衣草", "#efeaf7", "#fdfbff", "#2c2240", "#7b5bc4", 5, Finish::Soft},
    {"amber", "琥珀", "#231d16", "#1a1510", "#f1e6d6", "#f0a830", 3, Finish::Soft},
    {"mint", "薄荷", "#e6f6ef", "#fbfffd", "#173a2c", "#22a06b", 4, Finish::Flat},
    {"celadon", "青瓷", "#e8f0ed", "#fcfefd", "#1a332e", "#23897b", 4, Finish::Glossy, "#3fb39a"},
    {"ink", "水墨", "#f2f2f0", "#ffffff", "#111111", "#444444", 0, Finish::Flat},
    {"crimson", "胭脂", "#f7eceb", "#fffbfb", "#3a1514", "#b8322e", 3, Finish::Soft},
    {"desert", "沙漠", "#efe4cf", "#fbf6ec", "#3b2e1a", "#b07a2a", 2, Finish::Soft},
    {"glacier", "冰川", "#eef5fb", "#ffffff", "#1b2f42", "#4a90c8", 6, Finish::Glossy},
    {"obsidian", "黑曜", "#121114", "#0a090c", "#e8e4ee", "#a06cf0", 3, Finish::Flat},
    {"olive", "橄榄", "#ecebdc", "#fbfbf4", "#2b2c15", "#6f7a1f", 2, Finish::Soft},
    {"coral", "珊瑚", "#fdf0eb", "#fffaf8", "#3f1f17", "#e8674a", 5, Finish::Glossy},
    {"slate", "青石", "#3a4452", "#2e3642", "#e8edf3", "#7fb2e5", 3, Finish::Soft},
    {"bamboo", "翠竹", "#eef5e4", "#fbfef6", "#20331a", "#5a9a2c", 4, Finish::Glossy},
    {"plum", "紫檀", "#2a1d2e", "#201623", "#f0e3f2", "#c878d8", 4, Finish::Soft},
    {"honey", "蜂蜜", "#fbf3d9", "#fffdf4", "#3a2e0b", "#c99412", 4, Finish::Glossy},
    {"steel", "钢蓝", "#dfe6ee", "#f7f9fb", "#1a2633", "#4b6f96", 2, Finish::Flat},
    {"rose", "玫瑰", "#2e1a20", "#241418", "#f6e4ea", "#f0708f", 5, Finish::Soft},
    {"peacock", "孔雀", "#10292c", "#0a1f22", "#dff3f1", "#2fc4b2", 4, Finish::Glossy},
    {"autumn", "秋叶", "#f4e8dc", "#fffaf4", "#3a2314", "#b9541f", 3, Finish::Glossy, "#d9962b"},
    {"sky", "晴空", "#e4f1fd", "#ffffff", "#10304d", "#2b8ae6", 8, Finish::Soft},
    {"charcoal", "炭黑", "#262826", "#1b1d1b", "#e4eae4", "#5cc36a", 2, Finish::Flat},
    {"lilac", "丁香", "#f3eef9", "#fefcff", "#2e2640", "#9a6fd0", 6, Finish::Glossy},
    {"jade", "碧玉", "#15281f", "#0e1d16", "#dff0e6", "#3fbf7f", 3, Finish::Soft},
    {"paper", "宣纸", "#f5efe1", "#fffcf4", "#2d2418", "#8a5a2b", 1, Finish::Flat},
    {"aurora", "极光", "#161a2e", "#0e1122", "#e3e9ff", "#6a7cff", 6, Finish::Glossy, "#2fd3b5"},
    {"contrast", "高对比", "#000000", "#000000", "#ffffff", "#ffd400", 0, Finish::Flat},
};
static_assert(std::size(kDesigns) == 33);

// The style sheet every skin carries. It names only the control kinds of
// the main window, so frames, the picture box and the overlay keep the
// geometry and colours the program gives them; labels follow the palette.
const char kStyleTemplate[] = R"QSS(
QPushButton {
    color: ${button-text};
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 ${button-top}, stop:1 ${button-bottom});
    border: 1px solid ${button-border};
    border-radius: ${radius}px;
    padding: 1px 6px;
}
QPushButton:hover {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 ${button-hover-top}, stop:1 ${button-hover-bottom});
    border-color: ${accent};
}
QPushButton:pressed {
    background-color: ${button-pressed};
    border-color: ${accent-dark};
}
QPushButton:focus { border-color: ${accent}; }
QPushButton:disabled {
    color: ${disabled-text};
    background-color: ${button-disabled};
    border-color: ${border};
}
QMessageBox QPushButton, QDialogButtonBox QPushButton { min-width: 64px; min-height: 20px; }

QCheckBox, QRadioButton { color: ${window-text}; spacing: 4px; }
QCheckBox:disabled, QRadioButton:disabled { color: ${disabled-text}; }

QLineEdit {
    color: ${text};
    background-color: ${base};
    border: 1px solid ${field-border};
    border-radius: ${field-radius}px;
    padding: 0px 3px;
    selection-color: ${highlighted-text};
    selection-background-color: ${highlight};
}
QLineEdit:hover { border-color: ${accent-light}; }
QLineEdit:focus { border-color: ${accent}; }
QLineEdit:disabled { color: ${disabled-text}; background-color: ${window}; border-color: ${border}; }

QComboBox {
    color: ${text};
    background-color: ${base};
    border: 1px solid ${field-border};
    border-radius: ${field-radius}px;
    padding: 0px 3px;
    selection-color: ${highlighted-text};
    selection-background-color: ${highlight};
}
QComboBox:hover { border-color: ${accent-light}; }
QComboBox:focus, QComboBox:on { border-color: ${accent}; }
QComboBox:disabled { color: ${disabled-text}; background-color: ${window}; border-color: ${border}; }
QComboBox QAbstractItemView {
    color: ${text};
    background-color: ${base};
    border: 1px solid ${accent};
    selection-color: ${highlighted-text};
    selection-background-color: ${highlight};
    outline: 0px;
}

QSlider::groove:horizontal { height: 4px; background-color: ${groove}; border-radius: 2px; }
QSlider::sub-page:horizontal {
    background-color: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 ${accent}, stop:1 ${accent-2});
    border-radius: 2px;
}
QSlider::handle:horizontal {
    width: 10px;
    margin: -5px 0px;
    border-radius: ${handle-radius}px;
    border: 1px solid ${accent-dark};
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 ${button-top}, stop:1 ${button-bottom});
}
QSlider::groove:vertical { width: 4px; background-color: ${groove}; border-radius: 2px; }
QSlider::add-page:vertical {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 ${accent-2}, stop:1 ${accent});
    border-radius: 2px;
}
QSlider::handle:vertical {
    height: 10px;
    margin: 0px -5px;
    border-radius: ${handle-radius}px;
    border: 1px solid ${accent-dark};
    background-color: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 ${button-top}, stop:1 ${button-bottom});
}
QSlider::handle:hover { border-color: ${accent}; }

QProgressBar {
    color: ${text};
    background-color: ${base};
    border: 1px solid ${field-border};
    border-radius: ${field-radius}px;
    text-align: center;
}
QProgressBar::chunk {
    background-color: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 ${accent}, stop:1 ${accent-2});
    border-radius: ${chunk-radius}px;
}

QGroupBox {
    color: ${group-title};
    border: 1px solid ${border};
    border-radius: ${radius}px;
    margin-top: 7px;
}
QGroupBox::title {
    subcontrol-origin: margin;
    subcontrol-position: top left;
    left: 8px;
    padding: 0px 3px;
    color: ${group-title};
}

app--StatusBar {
    color: ${status-text};
    background-color: ${status-bg};
    border-top: 1px solid ${border};
}
app--ColorPicker {
    color: ${text};
    background-color: ${base};
    border: 1px solid ${field-border};
    border-radius: ${field-radius}px;
}
app--ColorPicker:hover { border-color: ${accent}; }
app--PictureButton { background-color: transparent; border: none; }

QToolTip {
    color: ${tooltip-text};
    background-color: ${tooltip-base};
    border: 1px solid ${accent};
    padding: 2px;
}
)QSS";

QColor mix(const QColor& a, const QColor& b, double t)
{
    auto ch = [t](int x, int y) { return int(x + (y - x) * t + 0.5); };
    return QColor(ch(a.red(), b.red()), ch(a.green(), b.green()), ch(a.blue(), b.blue()));
}

bool isDark(const QColor& c)
{
    return skin::contrastRatio(c, Qt::black) < skin::contrastRatio(c, Qt::white);
}

// fg moved toward black or white (whichever lies further from bg) until it
// reaches `target` against every colour of `backgrounds`.
QColor readable(QColor fg, const std::vector<QColor>& backgrounds, double target)
{
    auto worst = [&](const QColor& c) {
        double w = 21;
        for (const QColor& bg : backgrounds)
            w = std::min(w, skin::contrastRatio(c, bg));
        return w;
    };
    if (worst(fg) >= target)
        return fg;
    const QColor extreme = worst(Qt::white) > worst(Qt::black) ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 1; step <= 20; ++step) {
        const QColor c = mix(fg, extreme, step / 20.0);
        if (worst(c) >= target)
            return c;
    }
    return extreme;
}

// bg moved away from fg (toward black under light text, toward white under
// dark text) until fg reaches `target` on it.
QColor readableBackground(const QColor& bg, const QColor& fg, double target)
{
    const QColor away = skin::contrastRatio(fg, Qt::white) > skin::contrastRatio(fg, Qt::black) ? QColor(Qt::white)
                                                                                                : QColor(Qt::black);
    for (int step = 0; step <= 20; ++step) {
        const QColor c = mix(bg, away, step / 20.0);
        if (skin::contrastRatio(fg, c) >= target)
            return c;
    }
    return away;
}

// A fill for white or black text: white when the accent is dark enough to
// come close, the accent darkened until white reads on it; black on light
// accents (yellow, for instance), lightened if need be.
std::pair<QColor, QColor> accentFill(const QColor& accent)
{
    const QColor white(Qt::white), black(Qt::black);
    const bool whiteText = skin::contrastRatio(accent, white) >= 3.0;
    const QColor onFill = whiteText ? white : black;
    const QColor away = whiteText ? black : white;
    for (int step = 0; step <= 20; ++step) {
        const QColor fill = mix(accent, away, step / 20.0);
        if (skin::contrastRatio(fill, onFill) >= 4.5)
            return {fill, onFill};
    }
    return {away, onFill};
}

QString hex(const QColor& c)
{
    return c.name(QColor::HexRgb);
}

QByteArray payloadFor(int number, const Design& d)
{
    const QColor window(d.window), base(d.base), seedText(d.text), accent(d.accent);
    const QColor white(Qt::white), black(Qt::black);
    const bool dark = isDark(window);

    const QColor windowText = readable(seedText, {window}, 7.0);
    const QColor text = readable(seedText, {base}, 7.0);
    const QColor alternateBase = mix(base, accent, dark ? 0.08 : 0.05);

    const QColor button = dark ? mix(window, white, 0.10) : mix(window, white, 0.55);
    QColor top = button, bottom = button;
    switch (d.finish) {
    case Finish::Flat:
        break;
    case Finish::Soft:
        top = mix(button, white, dark ? 0.06 : 0.45);
        bottom = mix(button, black, dark ? 0.10 : 0.04);
        break;
    case Finish::Glossy:
        top = mix(button, white, dark ? 0.12 : 0.75);
        bottom = mix(mix(button, accent, 0.14), black, dark ? 0.08 : 0.02);
        break;
    }
    const QColor buttonText = readable(seedText, {top, bottom}, 7.0);
    top = readableBackground(top, buttonText, 7.0);
    bottom = readableBackground(bottom, buttonText, 7.0);
    const QColor hoverTop = readableBackground(mix(top, accent, 0.10), buttonText, 7.0);
    const QColor hoverBottom = readableBackground(mix(bottom, accent, 0.18), buttonText, 7.0);
    const QColor pressed = readableBackground(mix(button, accent, dark ? 0.30 : 0.24), buttonText, 7.0);
    const QColor buttonBorder = dark ? mix(button, white, 0.22) : mix(button, seedText, 0.32);
    const QColor buttonDisabled = mix(button, window, 0.5);

    const auto [highlight, highlightedText] = accentFill(accent);
    const QColor accent2 = d.secondAccent ? QColor(d.secondAccent) : mix(accent, white, 0.35);
    const QColor accentLight = mix(accent, dark ? black : white, 0.35);
    const QColor accentDark = mix(accent, dark ? white : black, 0.25);

    const QColor border = mix(window, seedText, dark ? 0.28 : 0.22);
    const QColor fieldBorder = mix(base, seedText, dark ? 0.35 : 0.30);
    const QColor groove = mix(window, seedText, 0.18);

    const QColor statusBg = mix(mix(window, accent, 0.10), dark ? black : white, 0.15);
    const QColor statusText = readable(seedText, {statusBg}, 7.0);
    const QColor groupTitle = readable(mix(seedText, accent, 0.55), {window}, 4.5);
    const QColor tooltipBase = mix(base, accent, dark ? 0.16 : 0.07);
    const QColor tooltipText = readable(seedText, {tooltipBase}, 7.0);
    const QColor placeholder = readable(mix(text, base, 0.5), {base}, 4.5);
    const QColor link = readable(accent, {base, window}, 4.5);
    // Disabled text is meant to look dim, but it must still be made out.
    QColor disabledText = mix(windowText, window, 0.5);
    disabledText = readable(disabledText, {window, buttonDisabled}, 2.6);

    const int radius = d.radius;
    const int fieldRadius = std::min(radius, 3);
    const int handleRadius = radius == 0 ? 0 : 5;
    const int chunkRadius = std::max(0, fieldRadius - 1);

    QString out;
    auto put = [&out](const char* key, const QString& value) {
        out += QString::fromLatin1(key) + QStringLiteral(" = ") + value + u'\n';
    };
    auto colour = [&put](const char* key, const QColor& c) { put(key, hex(c)); };
    out += QStringLiteral("# skin %1: %2 (%3)\n").arg(number).arg(QString::fromUtf8(d.title), QString::fromLatin1(d.name));
    put("name", QString::fromLatin1(d.name));
    put("title", QString::fromUtf8(d.title));
    put("style", QStringLiteral("Fusion"));
    out += QStringLiteral("\n# palette\n");
    colour("window", window);
    colour("window-text", windowText);
    colour("base", base);
    colour("alternate-base", alternateBase);
    colour("text", text);
    colour("button", button);
    colour("button-text", buttonText);
    colour("highlight", highlight);
    colour("highlighted-text", highlightedText);
    colour("tooltip-base", tooltipBase);
    colour("tooltip-text", tooltipText);
    colour("placeholder-text", placeholder);
    colour("link", link);
    colour("disabled-text", disabledText);
    colour("light", dark ? mix(button, white, 0.18) : white);
    colour("midlight", mix(button, dark ? white : window, 0.3));
    colour("mid", mix(button, seedText, 0.3));
    colour("dark", mix(button, black, dark ? 0.5 : 0.35));
    colour("shadow", mix(button, black, 0.7));
    out += QStringLiteral("\n# style sheet colours\n");
    colour("accent", accent);
    colour("accent-2", accent2);
    colour("accent-light", accentLight);
    colour("accent-dark", accentDark);
    colour("border", border);
    colour("field-border", fieldBorder);
    colour("groove", groove);
    colour("button-top", top);
    colour("button-bottom", bottom);
    colour("button-hover-top", hoverTop);
    colour("button-hover-bottom", hoverBottom);
    colour("button-pressed", pressed);
    colour("button-border", buttonBorder);
    colour("button-disabled", buttonDisabled);
    colour("status-bg", statusBg);
    colour("status-text", statusText);
    colour("group-title", groupTitle);
    put("radius", QString::number(radius));
    put("field-radius", QString::number(fieldRadius));
    put("handle-radius", QString::number(handleRadius));
    put("chunk-radius", QString::number(chunkRadius));
    out += QStringLiteral("\n[style]");
    out += QString::fromLatin1(kStyleTemplate);
    return out.toUtf8();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    int number = 0;
    for (const Design& d : kDesigns) {
        ++number;
        const QByteArray block = skin::encodeSkin(payloadFor(number, d));
        // A skin the engine would refuse must never be built in.
        if (const skin::ThemeResult t = skin::buildTheme(block.constData(), block.size()); !t) {
            std::fprintf(stderr, "skin %d refused: %s\n", number, qPrintable(t.detail));
            return 1;
        }
        QFile file(dir.filePath(QStringLiteral("%1.she").arg(number)));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(block) != block.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
