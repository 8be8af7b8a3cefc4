#include "runtime/surface.h"

#include <QChildEvent>
#include <QEvent>
#include <QPainter>
#include <QPaintEvent>

namespace rt {

PaintedLayer::PaintedLayer(QWidget* surface)
    : QWidget(surface)
{
    setObjectName(QStringLiteral("paintedLayer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    surface->installEventFilter(this);
    fitToSurface();
    raise();
    show();
}

void PaintedLayer::fitToSurface()
{
    const QSize size = parentWidget()->size();
    if (size == image_.size() && geometry() == QRect(QPoint(0, 0), size))
        return;
    QImage next(size, QImage::Format_ARGB32_Premultiplied);
    next.fill(Qt::transparent);
    if (!empty_) {
        QPainter p(&next);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, image_);
    }
    image_ = std::move(next);
    setGeometry(QRect(QPoint(0, 0), size));
}

void PaintedLayer::put(const QImage& image)
{
    fitToSurface();
    QPainter p(&image_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, image);
    p.end();
    empty_ = false;
    raise();
    update(QRect(QPoint(0, 0), image.size()));
}

void PaintedLayer::erase(const QRect& area)
{
    if (empty_)
        return;
    const QRect r = area.intersected(image_.rect());
    if (r.isEmpty())
        return;
    QPainter p(&image_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(r, Qt::transparent);
    p.end();
    if (r == image_.rect())
        empty_ = true;
    update(r);
}

void PaintedLayer::eraseAll() { erase(image_.rect()); }

void PaintedLayer::paintEvent(QPaintEvent* event)
{
    if (empty_)
        return;
    QPainter p(this);
    p.drawImage(event->rect(), image_, event->rect());
}

bool PaintedLayer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize)
            fitToSurface();
        else if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildPolished)
            raise(); // stays above every other child, also ones added later
    }
    return false;
}

PaintedLayer& paintedLayer(QWidget* surface)
{
    if (auto layer = surface->findChild<PaintedLayer*>(QString(), Qt::FindDirectChildrenOnly))
        return *layer;
    return *new PaintedLayer(surface);
}

void eraseSurface(QWidget* surface, const QRect& area)
{
    if (!surface)
        return;
    if (auto layer = surface->findChild<PaintedLayer*>(QString(), Qt::FindDirectChildrenOnly))
        layer->erase(area);
}

void eraseSurface(QWidget* surface)
{
    if (surface)
        eraseSurface(surface, surface->rect());
}

QImage captureSurface(QWidget* surface, QImage::Format format)
{
    QImage image(surface->size(), format);
    image.setDevicePixelRatio(1.0);
    image.fill(surface->palette().color(surface->backgroundRole()));
    surface->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return image;
}

} // namespace rt
