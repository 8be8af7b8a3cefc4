#pragma once
// The overlay's caption as it is drawn: the mnemonic rule, the font made
// from the font fields, and a one-line layout that can be turned about its
// start point.

#include "overlay/overlay_label.h"

#include <QFont>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTextLayout>

class QColor;
class QPainter;

namespace overlay {

// The caption with its mnemonic prefixes resolved: a single '&' is dropped
// and underlines the character after it, "&&" gives one '&', a trailing
// single '&' is dropped. Line breaks and tabs become spaces, so the caption
// stays one line and tabs are not expanded.
struct DrawnCaption {
    QString text;
    // (start, length) in `text` of each underlined character; a length of 2
    // covers a surrogate pair.
    QList<std::pair<int, int>> underlined;

    bool operator==(const DrawnCaption&) const = default;
};
DrawnCaption resolveMnemonics(const QString& caption);

// Families tried in order for the default typeface: the application's
// default family, then faces known to carry Chinese glyphs.
QStringList defaultFamilies();

// The font of the font fields; the default user-interface font when the
// fields give no usable font.
QFont overlayFont(const OverlayLabel& label);

// One line of text laid out as unrotated text; `size()` is its cell
// (advance width including trailing spaces, ascent plus descent).
class CaptionLayout {
public:
    CaptionLayout(const QString& caption, const QFont& font);
    CaptionLayout(const CaptionLayout&) = delete;
    CaptionLayout& operator=(const CaptionLayout&) = delete;

    QSize size() const { return size_; }
    qreal ascent() const;
    // The top-left corner of the first character cell when the line is
    // placed in `box` with the given alignment; a line wider or taller than
    // the box overhangs it equally on both sides.
    QPoint startIn(const QRect& box, Align horizontal, Align vertical) const;
    // Draws the line in `color` from `start`, its baseline turned
    // counter-clockwise by `angleTenths` / 10 degrees about `start`; only the
    // glyphs (and their lines) are painted.
    void draw(QPainter& painter, QPoint start, const QColor& color, int angleTenths) const;
    const QTextLayout& textLayout() const { return layout_; }

private:
    QTextLayout layout_;
    QSize size_;
};

} // namespace overlay
