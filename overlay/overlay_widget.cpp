#include "overlay/overlay_widget.h"

#include "overlay/caption_text.h"
#include "runtime/surface.h"

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPaintEvent>
#include <QScreen>
#include <algorithm>

namespace overlay {

namespace {

QRgb toQRgb(rt::Rgb c) { return qRgb(rt::redOf(c), rt::greenOf(c), rt::blueOf(c)); }
QColor toQColor(rt::Rgb c) { return QColor(rt::redOf(c), rt::greenOf(c), rt::blueOf(c)); }

constexpr int kLayoutDpi = 96; // used when the widget is on no screen

} // namespace

OverlayWidget::OverlayWidget(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("标签1"));
    // Every pixel of the box is painted, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(label_.left, label_.top, label_.width, label_.height);
    box_ = geometry();
}

OverlayLabel OverlayWidget::settings() const
{
    OverlayLabel s = label_;
    s.left = x();
    s.top = y();
    s.width = width();
    s.height = height();
    return s;
}

double OverlayWidget::verticalDotsPerInch() const
{
    if (const QScreen* s = screen())
        return s->logicalDotsPerInchY();
    return kLayoutDpi;
}

void OverlayWidget::settingChanged()
{
    rt::eraseSurface(parentWidget(), geometry());
    update();
}

void OverlayWidget::setCaption(const QString& text)
{
    label_.caption = text;
    settingChanged();
}

void OverlayWidget::setTextColor(rt::Rgb color)
{
    label_.textColor = color;
    settingChanged();
}

void OverlayWidget::setBackColor(rt::Rgb color)
{
    label_.backColor = color;
    settingChanged();
}

void OverlayWidget::setEffect(int effect)
{
    label_.effect = effect;
    settingChanged();
}

void OverlayWidget::setGradientMode(int mode)
{
    label_.gradientMode = mode;
    settingChanged();
}

void OverlayWidget::setGradientColor(int k, rt::Rgb color)
{
    switch (k) {
    case 1: label_.gradientColor1 = color; break;
    case 2: label_.gradientColor2 = color; break;
    case 3: label_.gradientColor3 = color; break;
    default: return;
    }
    settingChanged();
}

void OverlayWidget::setFontField(FontField field, int value)
{
    applyFontField(label_, field, value, verticalDotsPerInch());
    settingChanged();
}

void OverlayWidget::setLeft(int left) { applyGeometry(left, y(), width(), height()); }
void OverlayWidget::setTop(int top) { applyGeometry(x(), top, width(), height()); }
void OverlayWidget::setWidth(int width) { applyGeometry(x(), y(), width, height()); }
void OverlayWidget::setHeight(int height) { applyGeometry(x(), y(), width(), height); }

void OverlayWidget::applyGeometry(int left, int top, int width, int height)
{
    // Clamped before a rectangle is made of them: a QRect of an unclamped
    // extreme value would overflow its right or bottom edge.
    const QRect clamped(clampCoordinate(left), clampCoordinate(top), clampExtent(width), clampExtent(height));
    if (clamped != geometry())
        setGeometry(clamped);
    syncBox(); // a hidden widget gets its move and resize events only when shown
}

// Keeps the geometry within bounds whoever set it, and erases the parent's
// painted-on layer over the box where it was and where it is now, as a real
// window surface would be repainted there.
void OverlayWidget::syncBox()
{
    QRect g = geometry();
    const QRect clamped(clampCoordinate(g.x()), clampCoordinate(g.y()), clampExtent(g.width()),
                        clampExtent(g.height()));
    if (clamped != g) {
        setGeometry(clamped);
        g = geometry();
    }
    if (g == box_)
        return;
    const QRect old = box_;
    box_ = g;
    rt::eraseSurface(parentWidget(), old);
    rt::eraseSurface(parentWidget(), g);
}

bool OverlayWidget::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange)
        box_ = geometry(); // a new parent's layer never saw the old box
    return QWidget::event(event);
}

void OverlayWidget::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    syncBox();
}

void OverlayWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    syncBox();
}

void OverlayWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    paintOverlay(painter, event->rect());
}

void OverlayWidget::paintOverlay(QPainter& painter, const QRect& area) const
{
    const QRect r = area.intersected(rect());
    if (r.isEmpty())
        return;
    painter.save();
    painter.setClipRect(r, Qt::IntersectClip);
    paintBackground(painter, r);
    if (!label_.caption.isEmpty())
        paintCaption(painter);
    painter.restore();
}

void OverlayWidget::paintBackground(QPainter& painter, const QRect& area) const
{
    const OverlayLabel s = settings();
    if (s.gradientMode < 1 || s.gradientMode > 4) {
        painter.fillRect(area, toQColor(s.backColor));
        return;
    }

    // One buffer serves every tile; each tile is computed only where it
    // meets the area and copied in one block.
    QImage tile(kGradientTile, kGradientTile, QImage::Format_RGB32);
    const int firstRow = area.top() / kGradientTile * kGradientTile;
    const int firstColumn = area.left() / kGradientTile * kGradientTile;
    for (int ty = firstRow; ty <= area.bottom(); ty += kGradientTile) {
        for (int tx = firstColumn; tx <= area.right(); tx += kGradientTile) {
            const QRect part = QRect(tx, ty, kGradientTile, kGradientTile).intersected(area);
            if (part.isEmpty())
                continue;
            const int w = part.width();
            for (int row = 0; row < part.height(); ++row) {
                auto* line = reinterpret_cast<QRgb*>(tile.scanLine(row));
                const int y = part.top() + row;
                if (s.gradientMode == 1) {
                    std::fill_n(line, w, toQRgb(gradientColorAt(s, part.left(), y)));
                } else if (s.gradientMode == 2) {
                    if (row == 0) {
                        for (int col = 0; col < w; ++col)
                            line[col] = toQRgb(gradientColorAt(s, part.left() + col, y));
                    } else {
                        std::copy_n(reinterpret_cast<const QRgb*>(tile.constScanLine(0)), w, line);
                    }
                } else {
                    for (int col = 0; col < w; ++col)
                        line[col] = toQRgb(gradientColorAt(s, part.left() + col, y));
                }
            }
            painter.drawImage(part.topLeft(), tile, QRect(0, 0, w, part.height()));
        }
    }
}

void OverlayWidget::paintCaption(QPainter& painter) const
{
    const QFont font = overlayFont(label_);
    const CaptionLayout layout(label_.caption, font);
    QPoint start = layout.startIn(rect(), label_.horizontalAlign, label_.verticalAlign);
    const QPoint shadowStep(1, 1);
    const QColor white(255, 255, 255);
    if (label_.effect == 1) {
        layout.draw(painter, start + shadowStep, white, label_.fontAngle);
    } else if (label_.effect == 2) {
        layout.draw(painter, start, white, label_.fontAngle);
        start += shadowStep;
    }
    layout.draw(painter, start, toQColor(label_.textColor), label_.fontAngle);
}

std::optional<rt::Value> OverlayWidget::hostProperty(rt::Property p, int member) const
{
    switch (p) {
    case rt::Property::Left: return x();
    case rt::Property::Top: return y();
    case rt::Property::Width: return width();
    case rt::Property::Height: return height();
    case rt::Property::Text: return label_.caption;
    case rt::Property::FontField:
        switch (FontField(member)) {
        case FontField::Angle: return label_.fontAngle;
        case FontField::Bold: return int(label_.fontBold);
        case FontField::Italic: return int(label_.fontItalic);
        case FontField::Strikeout: return int(label_.fontStrikeout);
        case FontField::Underline: return int(label_.fontUnderline);
        case FontField::Size: return label_.fontHeight;
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

bool OverlayWidget::setHostProperty(rt::Property p, int member, const rt::Value& v)
{
    switch (p) {
    case rt::Property::Left: setLeft(rt::toInt(v)); return true;
    case rt::Property::Top: setTop(rt::toInt(v)); return true;
    case rt::Property::Width: setWidth(rt::toInt(v)); return true;
    case rt::Property::Height: setHeight(rt::toInt(v)); return true;
    case rt::Property::Text: setCaption(rt::toText(v)); return true;
    case rt::Property::FontField:
        if (member < int(FontField::Angle) || member > int(FontField::Size))
            return false;
        setFontField(FontField(member), rt::toInt(v));
        return true;
    default:
        return false;
    }
}

} // namespace overlay
