#include "overlay/caption_text.h"

#include <QColor>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QTextOption>
#include <cmath>

namespace overlay {

namespace {

bool breaksOrExpands(QChar c)
{
    switch (c.unicode()) {
    case u'\n': case u'\r': case u'\t': case u'\v': case u'\f':
    case 0x0085: case 0x2028: case 0x2029:
        return true;
    default:
        return false;
    }
}

// Floor division, so that centring is the same whichever side of the box
// the line overhangs.
int floorHalf(int v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

int place(Align a, int start, int room, int extent)
{
    switch (a) {
    case Align::Near: return start;
    case Align::Far: return start + room - extent;
    case Align::Centre: break;
    }
    return start + floorHalf(room - extent);
}

// Beyond about 17,000 pixels the font engine's metrics overflow (negative
// heights, glyphs drawn nowhere near their place), and from 65,536 on no
// font is made at all; such a size counts as a font that cannot be made.
constexpr int kMaxFontPixels = 16384;

} // namespace

DrawnCaption resolveMnemonics(const QString& caption)
{
    DrawnCaption out;
    out.text.reserve(caption.size());
    const qsizetype n = caption.size();
    for (qsizetype i = 0; i < n; ++i) {
        QChar c = caption.at(i);
        if (c == u'&') {
            if (i + 1 >= n)
                break; // a trailing prefix has nothing to underline
            if (caption.at(i + 1) == u'&') {
                out.text.append(u'&');
                ++i;
                continue;
            }
            const bool pair = caption.at(i + 1).isHighSurrogate() && i + 2 < n && caption.at(i + 2).isLowSurrogate();
            out.underlined.append({int(out.text.size()), pair ? 2 : 1});
            continue; // the next character is appended by the next round
        }
        out.text.append(breaksOrExpands(c) ? QChar(u' ') : c);
    }
    return out;
}

QStringList defaultFamilies()
{
    QStringList families{QGuiApplication::font().family()};
    for (const QString& f : {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")})
        if (!families.contains(f))
            families.append(f);
    return families;
}

QFont overlayFont(const OverlayLabel& label)
{
    const QFont fallback = QGuiApplication::font();
    if (label.fontHeight < 0 || label.fontHeight > kMaxFontPixels)
        return fallback;
    QFont f = fallback;
    QStringList families = defaultFamilies();
    if (!label.fontFace.isEmpty())
        families.prepend(label.fontFace);
    f.setFamilies(families);
    if (label.fontHeight > 0)
        f.setPixelSize(label.fontHeight);
    f.setWeight(label.fontBold ? QFont::Bold : QFont::Normal);
    f.setItalic(label.fontItalic);
    f.setUnderline(label.fontUnderline);
    f.setStrikeOut(label.fontStrikeout);
    f.setStyleStrategy(QFont::PreferQuality);
    if (QFontInfo(f).pixelSize() <= 0 || !(QFontMetricsF(f).height() > 0))
        return fallback;
    return f;
}

CaptionLayout::CaptionLayout(const QString& caption, const QFont& font)
{
    const DrawnCaption drawn = resolveMnemonics(caption);
    layout_.setText(drawn.text);
    layout_.setFont(font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout_.setTextOption(option);
    QList<QTextLayout::FormatRange> ranges;
    for (auto [start, length] : drawn.underlined) {
        QTextLayout::FormatRange r;
        r.start = start;
        r.length = length;
        r.format.setFontUnderline(true);
        ranges.append(r);
    }
    layout_.setFormats(ranges);
    layout_.setCacheEnabled(true);

    layout_.beginLayout();
    QTextLine line = layout_.createLine();
    if (line.isValid()) {
        line.setNumColumns(int(drawn.text.size()) + 1);
        line.setPosition(QPointF(0, 0));
    }
    layout_.endLayout();

    if (line.isValid() && !drawn.text.isEmpty())
        size_ = QSize(int(std::ceil(line.horizontalAdvance())), int(std::ceil(line.ascent() + line.descent())));
    else
        size_ = QSize(0, int(std::ceil(QFontMetricsF(font).height())));
}

qreal CaptionLayout::ascent() const
{
    return layout_.lineCount() > 0 ? layout_.lineAt(0).ascent() : QFontMetricsF(layout_.font()).ascent();
}

QPoint CaptionLayout::startIn(const QRect& box, Align horizontal, Align vertical) const
{
    return {place(horizontal, box.left(), box.width(), size_.width()),
            place(vertical, box.top(), box.height(), size_.height())};
}

void CaptionLayout::draw(QPainter& painter, QPoint start, const QColor& color, int angleTenths) const
{
    if (layout_.lineCount() == 0)
        return;
    painter.save();
    painter.setPen(color);
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.translate(start);
    if (angleTenths % 3600 != 0)
        painter.rotate(-angleTenths / 10.0); // Qt turns clockwise on a y-down surface
    layout_.draw(&painter, QPointF(0, 0));
    painter.restore();
}

} // namespace overlay
