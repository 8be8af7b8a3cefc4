#include "app/widgets/color_picker.h"

#include <QApplication>
#include <QColorDialog>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionFocusRect>
#include <QToolTip>
#include <qdrawutil.h>
#include <utility>

namespace app {

namespace {

QColor toQColor(rt::Rgb c) { return QColor(rt::redOf(c), rt::greenOf(c), rt::blueOf(c)); }
rt::Rgb fromQColor(const QColor& c) { return rt::composeRgb(c.red(), c.green(), c.blue()); }

// The picker's frame and the pop-up's margin: the width of a sunken or
// raised three-dimensional edge.
constexpr int kEdge = 2;
// Width of the drop-down arrow's area at the picker's right end.
constexpr int kArrowWidth = 11;

} // namespace

const std::array<NamedColor, 32>& colorPalette()
{
    using rt::composeRgb;
    static const std::array<NamedColor, 32> palette{{
        {QStringLiteral("黑色"), composeRgb(0, 0, 0)},
        {QStringLiteral("藏青"), composeRgb(0, 0, 128)},
        {QStringLiteral("墨绿"), composeRgb(0, 128, 0)},
        {QStringLiteral("深青"), composeRgb(0, 128, 128)},
        {QStringLiteral("红褐"), composeRgb(128, 0, 0)},
        {QStringLiteral("紫红"), composeRgb(128, 0, 128)},
        {QStringLiteral("褐绿"), composeRgb(128, 128, 0)},
        {QStringLiteral("浅灰"), composeRgb(192, 192, 192)},
        {QStringLiteral("灰色"), composeRgb(128, 128, 128)},
        {QStringLiteral("蓝色"), composeRgb(0, 0, 255)},
        {QStringLiteral("绿色"), composeRgb(0, 255, 0)},
        {QStringLiteral("艳青"), composeRgb(0, 255, 255)},
        {QStringLiteral("红色"), composeRgb(255, 0, 0)},
        {QStringLiteral("品红"), composeRgb(255, 0, 255)},
        {QStringLiteral("黄色"), composeRgb(255, 255, 0)},
        {QStringLiteral("白色"), composeRgb(255, 255, 255)},
        {QStringLiteral("蓝灰"), composeRgb(128, 128, 255)},
        {QStringLiteral("藏蓝"), composeRgb(88, 48, 224)},
        {QStringLiteral("嫩绿"), composeRgb(128, 224, 0)},
        {QStringLiteral("青绿"), composeRgb(0, 224, 128)},
        {QStringLiteral("黄褐"), composeRgb(192, 96, 0)},
        {QStringLiteral("粉红"), composeRgb(255, 168, 255)},
        {QStringLiteral("嫩黄"), composeRgb(216, 216, 0)},
        {QStringLiteral("银白"), composeRgb(236, 236, 236)},
        {QStringLiteral("紫色"), composeRgb(144, 0, 255)},
        {QStringLiteral("天蓝"), composeRgb(0, 136, 255)},
        {QStringLiteral("灰绿"), composeRgb(128, 160, 128)},
        {QStringLiteral("青蓝"), composeRgb(0, 96, 192)},
        {QStringLiteral("橙黄"), composeRgb(255, 128, 0)},
        {QStringLiteral("桃红"), composeRgb(255, 80, 128)},
        {QStringLiteral("芙红"), composeRgb(255, 128, 192)},
        {QStringLiteral("深灰"), composeRgb(96, 96, 96)},
    }};
    return palette;
}

int paletteIndexOf(rt::Rgb color)
{
    const auto& palette = colorPalette();
    for (int i = 0; i < int(palette.size()); ++i)
        if (palette[size_t(i)].color == color)
            return i;
    return -1;
}

QPoint fitOnScreen(QPoint anchor, QSize size, const QRect& screen)
{
    int x = anchor.x();
    int y = anchor.y();
    // Right and bottom first, so that a pop-up larger than the screen keeps
    // its top-left corner visible.
    if (x + size.width() > screen.x() + screen.width())
        x = screen.x() + screen.width() - size.width();
    if (x < screen.x())
        x = screen.x();
    if (y + size.height() > screen.y() + screen.height())
        y = screen.y() + screen.height() - size.height();
    if (y < screen.y())
        y = screen.y();
    return {x, y};
}

// ---------------------------------------------------------------- picker

ColorPicker::ColorPicker(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

ColorPicker::~ColorPicker() = default;

void ColorPicker::setColor(rt::Rgb color)
{
    color &= 0x00FFFFFFu; // the top byte of a colour value is always 0
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void ColorPicker::chooseColor(rt::Rgb color)
{
    setColor(color);
    repaint();
    Q_EMIT colorChosen(m_color);
}

QSize ColorPicker::sizeHint() const { return {80, 22}; }

std::optional<rt::Value> ColorPicker::hostProperty(rt::Property p, int) const
{
    if (p == rt::Property::Color)
        return rt::Value(int(m_color));
    return std::nullopt;
}

bool ColorPicker::setHostProperty(rt::Property p, int, const rt::Value& v)
{
    if (p != rt::Property::Color)
        return false;
    setColor(rt::Rgb(rt::toInt(v)));
    return true;
}

void ColorPicker::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QBrush ground = isEnabled() ? QBrush(Qt::white) : palette().window();
    qDrawWinPanel(&p, rect(), palette(), true, &ground);

    const QRect inner = rect().adjusted(kEdge, kEdge, -kEdge, -kEdge);
    if (inner.width() <= 0 || inner.height() <= 0)
        return;

    // The drop-down arrow: a small downward triangle centred in its area.
    const QRect arrowBox(inner.right() - kArrowWidth + 1, inner.top(), kArrowWidth, inner.height());
    const int cx = arrowBox.center().x();
    const int cy = arrowBox.center().y();
    p.setPen(Qt::NoPen);
    p.setBrush(isEnabled() ? palette().color(QPalette::Active, QPalette::WindowText)
                           : palette().color(QPalette::Disabled, QPalette::WindowText));
    const QPoint arrow[3] = {{cx - 3, cy - 1}, {cx + 4, cy - 1}, {cx, cy + 3}};
    p.drawPolygon(arrow, 3);

    // The colour, outlined in black.
    const QRect swatch(inner.left() + 2, inner.top() + 2, arrowBox.left() - inner.left() - 3,
                       inner.height() - 4);
    if (swatch.width() > 0 && swatch.height() > 0) {
        p.fillRect(swatch, toQColor(m_color));
        p.setBrush(Qt::NoBrush);
        p.setPen(Qt::black);
        p.drawRect(swatch.adjusted(0, 0, -1, -1));
    }

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = swatch.adjusted(-1, -1, 1, 1);
        option.backgroundColor = Qt::white;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}

void ColorPicker::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    QWidget::mousePressEvent(event);
}

void ColorPicker::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    // Only a press that began on the picker opens it: the press that closes
    // an open pop-up over the picker must not reopen it on release.
    const bool pressed = std::exchange(m_pressed, false);
    if (pressed && rect().contains(event->position().toPoint()))
        openPopup();
}

void ColorPicker::openPopup()
{
    if (m_popup)
        return;
    auto* popup = new ColorPopup(m_color, this);
    m_popup = popup;
    connect(popup, &ColorPopup::finished, this, &ColorPicker::popupFinished);

    const QSize size = popup->sizeHint();
    const QPoint anchor = mapToGlobal(QPoint(0, height()));
    QScreen* where = QGuiApplication::screenAt(anchor);
    if (!where)
        where = screen();
    const QRect area = where ? where->availableGeometry() : QRect(anchor, size);
    popup->setGeometry(QRect(fitOnScreen(anchor, size, area), size));
    popup->show();
}

void ColorPicker::popupFinished(int item)
{
    if (m_popup) {
        m_popup->deleteLater();
        m_popup = nullptr;
    }
    if (item < 0)
        return;
    // The choice is taken from the event loop, once the pop-up's own event
    // handler has returned: the handlers behind colorChosen, and the colour
    // dialog, may run event loops of their own.
    if (item < ColorPopup::kCells) {
        const rt::Rgb color = colorPalette()[size_t(item)].color;
        QMetaObject::invokeMethod(this, [this, color] { chooseColor(color); }, Qt::QueuedConnection);
    } else {
        QMetaObject::invokeMethod(this, [this] { chooseOtherColor(); }, Qt::QueuedConnection);
    }
}

void ColorPicker::chooseOtherColor()
{
    QPointer<ColorPicker> self(this);
    QPointer<QColorDialog> dialog = new QColorDialog(toQColor(m_color), window());
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setWindowTitle(QStringLiteral("颜色"));
    const int result = dialog->exec();
    // The dialog runs an event loop: the picker, or its window and with it
    // the dialog, may be gone when it returns.
    QColor chosen;
    if (dialog) {
        chosen = dialog->selectedColor();
        delete dialog.data();
    }
    if (!self || result != QDialog::Accepted || !chosen.isValid())
        return;
    chooseColor(fromQColor(chosen));
}

// ----------------------------------------------------------------- pop-up

ColorPopup::ColorPopup(rt::Rgb current, QWidget* owner) : QWidget(owner, Qt::Popup)
{
    setAttribute(Qt::WA_NoMouseReplay);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    const int cell = paletteIndexOf(current);
    m_marked = cell >= 0 ? cell : kOtherItem;
    if (cell >= 0)
        m_column = cell % kColumns;
}

ColorPopup::~ColorPopup() = default;

int ColorPopup::edge() const { return kEdge; }

int ColorPopup::otherHeight() const { return fontMetrics().height() + 6; }

QSize ColorPopup::sizeHint() const
{
    const int rows = (kCells + kColumns - 1) / kColumns;
    return {2 * edge() + kColumns * kCellSize, 2 * edge() + rows * kCellSize + 2 + otherHeight()};
}

QRect ColorPopup::itemRect(int item) const
{
    if (item >= 0 && item < kCells)
        return {edge() + (item % kColumns) * kCellSize, edge() + (item / kColumns) * kCellSize, kCellSize,
                kCellSize};
    if (item == kOtherItem) {
        const int rows = (kCells + kColumns - 1) / kColumns;
        return {edge(), edge() + rows * kCellSize + 2, kColumns * kCellSize, otherHeight()};
    }
    return {};
}

int ColorPopup::itemAt(QPoint pos) const
{
    for (int i = 0; i <= kOtherItem; ++i)
        if (itemRect(i).contains(pos))
            return i;
    return -1;
}

void ColorPopup::mark(int item)
{
    if (item < 0 || item > kOtherItem || item == m_marked)
        return;
    m_marked = item;
    if (item < kCells)
        m_column = item % kColumns;
    update();
}

void ColorPopup::finish(int item)
{
    if (m_done)
        return;
    m_done = true;
    if (isVisible())
        hide();
    Q_EMIT finished(item);
}

bool ColorPopup::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int item = itemAt(help->pos());
        if (item >= 0 && item < kCells)
            QToolTip::showText(help->globalPos(), colorPalette()[size_t(item)].name, this, itemRect(item));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void ColorPopup::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.window());
    qDrawWinPanel(&p, rect(), pal, false);

    const auto& palette = colorPalette();
    for (int i = 0; i < kCells; ++i) {
        const QRect cell = itemRect(i);
        if (i == m_marked)
            qDrawWinPanel(&p, cell, pal, true);
        const QRect swatch = cell.adjusted(3, 3, -3, -3);
        p.fillRect(swatch, toQColor(palette[size_t(i)].color));
        p.setPen(pal.color(QPalette::Dark));
        p.setBrush(Qt::NoBrush);
        p.drawRect(swatch.adjusted(0, 0, -1, -1));
    }

    const QRect other = itemRect(kOtherItem);
    const QBrush face = pal.button();
    qDrawWinButton(&p, other, pal, m_marked == kOtherItem, &face);
    p.setPen(pal.color(QPalette::ButtonText));
    p.drawText(other, Qt::AlignCenter, QStringLiteral("其它颜色..."));
    if (m_marked == kOtherItem) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = other.adjusted(3, 3, -3, -3);
        option.backgroundColor = face.color();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}

void ColorPopup::mouseMoveEvent(QMouseEvent* event)
{
    mark(itemAt(event->position().toPoint()));
}

void ColorPopup::mousePressEvent(QMouseEvent* event)
{
    // A press outside: the window system would close the pop-up here, and
    // so do we, without a choice.
    if (!rect().contains(event->position().toPoint()))
        finish(-1);
    event->accept();
}

void ColorPopup::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (!rect().contains(pos)) {
        finish(-1);
        return;
    }
    mark(itemAt(pos));
    finish(m_marked);
}

void ColorPopup::keyPressEvent(QKeyEvent* event)
{
    const int rows = (kCells + kColumns - 1) / kColumns;
    const int m = m_marked;
    switch (event->key()) {
    case Qt::Key_Escape:
        finish(-1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        finish(m_marked);
        return;
    case Qt::Key_Left:
        mark(m > 0 ? m - 1 : m);
        return;
    case Qt::Key_Right:
        mark(m < kOtherItem ? m + 1 : m);
        return;
    case Qt::Key_Down:
        if (m < kCells)
            mark(m + kColumns < kCells ? m + kColumns : kOtherItem);
        return;
    case Qt::Key_Up:
        if (m == kOtherItem) {
            // Back to the lowest cell of the column last marked.
            int cell = (rows - 1) * kColumns + m_column;
            if (cell >= kCells)
                cell -= kColumns;
            mark(cell);
        } else if (m >= kColumns) {
            mark(m - kColumns);
        }
        return;
    default:
        event->ignore();
        return;
    }
}

void ColorPopup::hideEvent(QHideEvent* event)
{
    // Closed by anyone else, a cancel: Qt closes every pop-up when the
    // program loses activation, and when another pop-up opens.
    finish(-1);
    QWidget::hideEvent(event);
}

} // namespace app
