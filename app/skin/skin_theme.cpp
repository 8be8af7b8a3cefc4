#include "app/skin/skin_theme.h"

#include <algorithm>
#include <cmath>

namespace skin {

namespace {

ThemeResult refuse(Refusal why, const QString& detail)
{
    ThemeResult r;
    r.refusal = why;
    r.detail = detail;
    return r;
}

struct RoleKey {
    QPalette::ColorRole role;
    const char* key;
};

// Palette roles the skin must give; the same colour serves the active and
// the inactive group.
constexpr RoleKey kRoles[] = {
    {QPalette::Window, "window"},
    {QPalette::WindowText, "window-text"},
    {QPalette::Base, "base"},
    {QPalette::AlternateBase, "alternate-base"},
    {QPalette::Text, "text"},
    {QPalette::Button, "button"},
    {QPalette::ButtonText, "button-text"},
    {QPalette::Highlight, "highlight"},
    {QPalette::HighlightedText, "highlighted-text"},
    {QPalette::ToolTipBase, "tooltip-base"},
    {QPalette::ToolTipText, "tooltip-text"},
    {QPalette::PlaceholderText, "placeholder-text"},
    {QPalette::Link, "link"},
};

// Bevel shades; a skin may give them, otherwise they follow its button colour.
struct ShadeKey {
    QPalette::ColorRole role;
    const char* key;
    int factor; // QColor::lighter (> 100) or darker (< 0, negated)
};
constexpr ShadeKey kShades[] = {
    {QPalette::Light, "light", 150},
    {QPalette::Midlight, "midlight", 120},
    {QPalette::Mid, "mid", -150},
    {QPalette::Dark, "dark", -200},
    {QPalette::Shadow, "shadow", -300},
};

std::optional<QColor> colourOf(const SkinData& skin, const char* key)
{
    return parseColour(skin.value(QString::fromLatin1(key)));
}

// The text a template placeholder may become: validated colours and small
// integers only.
std::optional<QString> substitutable(const SkinData& skin, const QString& key)
{
    if (!skin.has(key))
        return std::nullopt;
    const QString v = skin.value(key);
    if (parseColour(v) || parseSmallInteger(v))
        return v;
    return std::nullopt;
}

double linear(double channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c)
{
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

} // namespace

const QStringList& requiredColourKeys()
{
    static const QStringList keys = [] {
        QStringList k;
        for (const RoleKey& r : kRoles)
            k << QString::fromLatin1(r.key);
        k << QStringLiteral("disabled-text");
        return k;
    }();
    return keys;
}

double contrastRatio(const QColor& a, const QColor& b)
{
    double la = luminance(a), lb = luminance(b);
    if (la < lb)
        std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}

ThemeResult buildTheme(const SkinData& skin)
{
    for (const QString& key : requiredColourKeys()) {
        if (!parseColour(skin.value(key)))
            return refuse(Refusal::BadContent, QStringLiteral("missing or malformed colour: ") + key);
    }

    Theme theme;
    theme.baseStyle = QStringLiteral("Fusion");
    if (skin.has(QStringLiteral("style"))) {
        const QString style = skin.value(QStringLiteral("style"));
        const bool plain = !style.isEmpty() && style.size() <= 32
            && std::all_of(style.begin(), style.end(), [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 0x80; });
        if (!plain)
            return refuse(Refusal::BadContent, QStringLiteral("malformed style name"));
        theme.baseStyle = style;
    }

    QPalette& pal = theme.palette;
    for (const RoleKey& r : kRoles) {
        const QColor c = *colourOf(skin, r.key);
        pal.setColor(QPalette::Active, r.role, c);
        pal.setColor(QPalette::Inactive, r.role, c);
        pal.setColor(QPalette::Disabled, r.role, c);
    }
    const QColor button = *colourOf(skin, "button");
    for (const ShadeKey& s : kShades) {
        QColor c = s.factor > 0 ? button.lighter(s.factor) : button.darker(-s.factor);
        if (skin.has(QString::fromLatin1(s.key))) {
            const auto given = colourOf(skin, s.key);
            if (!given)
                return refuse(Refusal::BadContent, QStringLiteral("malformed colour: ") + QString::fromLatin1(s.key));
            c = *given;
        }
        pal.setColor(QPalette::All, s.role, c);
    }
    QColor bright = Qt::red;
    if (skin.has(QStringLiteral("bright-text"))) {
        const auto given = colourOf(skin, "bright-text");
        if (!given)
            return refuse(Refusal::BadContent, QStringLiteral("malformed colour: bright-text"));
        bright = *given;
    }
    pal.setColor(QPalette::All, QPalette::BrightText, bright);
    pal.setColor(QPalette::All, QPalette::LinkVisited, *colourOf(skin, "link"));
    const QColor disabled = *colourOf(skin, "disabled-text");
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                                     QPalette::PlaceholderText, QPalette::HighlightedText})
        pal.setColor(QPalette::Disabled, role, disabled);
    pal.setColor(QPalette::Disabled, QPalette::Base, *colourOf(skin, "window"));
    pal.setColor(QPalette::Disabled, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Mid));

    // Optional keys of the marks; they follow the palette when absent.
    IndicatorColours& ind = theme.indicator;
    auto optionalColour = [&skin](const char* key, const QColor& fallback) -> std::optional<QColor> {
        if (!skin.has(QString::fromLatin1(key)))
            return fallback;
        return colourOf(skin, key);
    };
    const auto accent = optionalColour("accent", pal.color(QPalette::Highlight));
    const auto fieldBorder = optionalColour("field-border", pal.color(QPalette::Mid));
    const auto accentDark = accent ? optionalColour("accent-dark", accent->darker(130)) : std::nullopt;
    const auto radius = skin.has(QStringLiteral("field-radius"))
        ? parseSmallInteger(skin.value(QStringLiteral("field-radius"))) : std::optional<int>(2);
    if (!accent || !fieldBorder || !accentDark || !radius)
        return refuse(Refusal::BadContent, QStringLiteral("malformed accent, field-border, accent-dark or field-radius"));
    ind.fill = pal.color(QPalette::Active, QPalette::Base);
    ind.border = *fieldBorder;
    ind.hoverBorder = *accent;
    ind.onFill = pal.color(QPalette::Active, QPalette::Highlight);
    ind.onBorder = *accentDark;
    ind.mark = pal.color(QPalette::Active, QPalette::HighlightedText);
    ind.radius = std::min(*radius, 4);

    // Expand ${key} placeholders. Each expansion is at most seven characters
    // long, so the result stays within a small multiple of the template.
    const QString& tpl = skin.styleTemplate;
    QString& out = theme.styleSheet;
    out.reserve(tpl.size());
    qsizetype i = 0;
    while (i < tpl.size()) {
        const qsizetype open = tpl.indexOf(QStringLiteral("${"), i);
        if (open < 0) {
            out += QStringView(tpl).mid(i);
            break;
        }
        out += QStringView(tpl).mid(i, open - i);
        const qsizetype close = tpl.indexOf(u'}', open + 2);
        if (close < 0 || close - open - 2 > kMaxKeyLength)
            return refuse(Refusal::BadContent, QStringLiteral("unterminated placeholder"));
        const QString key = tpl.mid(open + 2, close - open - 2);
        const auto value = substitutable(skin, key);
        if (!value)
            return refuse(Refusal::BadContent, QStringLiteral("unknown placeholder: ") + key.left(kMaxKeyLength));
        out += *value;
        if (out.size() > kMaxStyleSheet)
            return refuse(Refusal::BadContent, QStringLiteral("style sheet too large"));
        i = close + 1;
    }

    ThemeResult r;
    r.theme = std::move(theme);
    return r;
}

ThemeResult buildTheme(const char* data, qsizetype size)
{
    ParseResult parsed = parseSkin(data, size);
    if (!parsed)
        return refuse(parsed.refusal, parsed.detail);
    return buildTheme(*parsed.skin);
}

} // namespace skin
