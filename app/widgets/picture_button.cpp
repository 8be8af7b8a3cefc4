#include "app/widgets/picture_button.h"

#include <QMouseEvent>
#include <QPainter>

namespace app {

PictureButton::PictureButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

void PictureButton::setPicture(Picture which, const QPixmap& picture)
{
    m_pictures[size_t(which)] = picture;
    updateGeometry();
    update();
}

void PictureButton::setPicture(Picture which, const QImage& picture)
{
    setPicture(which, picture.isNull() ? QPixmap() : QPixmap::fromImage(picture));
}

QPixmap PictureButton::shownPicture() const
{
    Picture which = Picture::Normal;
    if (!isEnabled())
        which = Picture::Disabled;
    else if (m_state == State::Hot)
        which = Picture::Hot;
    else if (m_state == State::Pressed)
        which = Picture::Pressed;
    const QPixmap& own = m_pictures[size_t(which)];
    return own.isNull() ? m_pictures[size_t(Picture::Normal)] : own;
}

QSize PictureButton::sizeHint() const
{
    const QPixmap& normal = m_pictures[size_t(Picture::Normal)];
    return normal.isNull() ? QSize(32, 32) : normal.deviceIndependentSize().toSize();
}

void PictureButton::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    update();
}

void PictureButton::paintEvent(QPaintEvent*)
{
    // Unscaled from the top-left corner; the painter clips at the edges.
    const QPixmap shown = shownPicture();
    if (shown.isNull())
        return;
    QPainter p(this);
    p.drawPixmap(0, 0, shown);
}

void PictureButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    // Accepting the press makes Qt hold the mouse for this button until
    // the release, wherever the pointer goes.
    m_down = true;
    setState(State::Pressed);
    event->accept();
}

void PictureButton::mouseMoveEvent(QMouseEvent* event)
{
    const bool on = rect().contains(event->position().toPoint());
    if (m_down)
        setState(on ? State::Pressed : State::Normal);
    else
        setState(on ? State::Hot : State::Normal);
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_down) {
        event->ignore();
        return;
    }
    m_down = false;
    const bool on = rect().contains(event->position().toPoint());
    setState(State::Normal);
    if (on)
        Q_EMIT clicked();
}

void PictureButton::enterEvent(QEnterEvent* event)
{
    if (!m_down)
        setState(State::Hot);
    QWidget::enterEvent(event);
}

void PictureButton::leaveEvent(QEvent* event)
{
    if (!m_down)
        setState(State::Normal);
    QWidget::leaveEvent(event);
}

void PictureButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        // A disabled button gets no release: forget the press.
        m_down = false;
        setState(State::Normal);
        update();
    }
    QWidget::changeEvent(event);
}

void PictureButton::hideEvent(QHideEvent* event)
{
    m_down = false;
    setState(State::Normal);
    QWidget::hideEvent(event);
}

} // namespace app
