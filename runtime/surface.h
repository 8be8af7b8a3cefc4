#pragma once
// The window surface of a control, as far as the program paints onto it.
//
// Qt widgets are drawn only from their own paint events and keep a backing
// store, so what a filter writes back cannot be drawn onto the widget
// directly. Instead the widget gets a painted-on layer: a transparent child
// that lies above the widget's own pixels and all its other children and
// shows what was written back. Whatever would repaint an area of a real
// window surface erases the layer there.

#include <QImage>
#include <QRect>
#include <QWidget>

namespace rt {

class PaintedLayer : public QWidget {
    Q_OBJECT
public:
    explicit PaintedLayer(QWidget* surface);

    // Puts `image` onto the surface with its top-left corner at (0, 0).
    void put(const QImage& image);
    void erase(const QRect& area);
    void eraseAll();
    bool isEmpty() const { return empty_; }
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitToSurface();

    QImage image_; // premultiplied ARGB, transparent where nothing is painted
    bool empty_ = true;
};

// The surface's layer, created on first use.
PaintedLayer& paintedLayer(QWidget* surface);

// Erase what was painted onto the surface, in an area or everywhere;
// nothing happens when nothing was ever painted there.
void eraseSurface(QWidget* surface, const QRect& area);
void eraseSurface(QWidget* surface);

// The client area as shown: the widget, its children and the painted-on
// layer, rendered at a device-pixel ratio of 1 so every screen gives the
// same pixels.
QImage captureSurface(QWidget* surface, QImage::Format format = QImage::Format_RGB32);

} // namespace rt
