#pragma once
// The overlay label: an opaque box lying on the picture box's client area
// that paints its background (solid or a three-colour gradient) and one line
// of styled text from its OverlayLabel settings.

#include "overlay/overlay_label.h"
#include "runtime/controls.h"

#include <QWidget>

namespace overlay {

class OverlayWidget : public QWidget, public rt::PropertyHost {
    Q_OBJECT
public:
    // Created with the initial settings, at their place in `parent`'s client
    // area, named after its layout name.
    explicit OverlayWidget(QWidget* parent = nullptr);

    // The settings, geometry as the box currently lies.
    OverlayLabel settings() const;

    // Setting changes: the whole box is repainted at the next paint, and
    // whatever was painted onto the parent's surface over the box is erased.
    void setCaption(const QString& text);
    void setTextColor(rt::Rgb color);
    void setBackColor(rt::Rgb color);
    void setEffect(int effect);
    void setGradientMode(int mode);
    void setGradientColor(int k, rt::Rgb color); // k = 1, 2 or 3; others do nothing
    void setFontField(FontField field, int value);

    // Geometry changes take effect at once, clamped to the bounds; the old
    // and the new box are erased on the parent's painted-on layer.
    void setLeft(int left);
    void setTop(int top);
    void setWidth(int width);
    void setHeight(int height);

    // Paints the part `area` (box coordinates) of the box onto `painter`,
    // whose origin is the box's top-left corner.
    void paintOverlay(QPainter& painter, const QRect& area) const;

    // rt::readProperty / writeProperty: Left, Top, Width, Height, Text (the
    // caption) and FontField (member: a FontField value).
    std::optional<rt::Value> hostProperty(rt::Property p, int member) const override;
    bool setHostProperty(rt::Property p, int member, const rt::Value& v) override;

    // The vertical resolution that point sizes are converted with.
    double verticalDotsPerInch() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void settingChanged();
    void applyGeometry(int left, int top, int width, int height);
    void syncBox();
    void paintBackground(QPainter& painter, const QRect& area) const;
    void paintCaption(QPainter& painter) const;

    OverlayLabel label_; // geometry fields unused: the widget's geometry holds them
    QRect box_;          // the box as the parent's layer last saw it
};

} // namespace overlay
