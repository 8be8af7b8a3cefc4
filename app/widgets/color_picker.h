#pragma once
// The colour picker: a white sunken box showing the current colour, with a
// drop-down arrow at its right end. Releasing the left mouse button on it
// opens a pop-up palette of 32 named colours and an "其它颜色..." box that
// opens the colour dialog. Confirming an item raises colorChosen, also for
// the colour the picker already shows; cancelling raises nothing.

#include "runtime/controls.h"
#include "runtime/text.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <optional>

namespace app {

struct NamedColor {
    QString name;
    rt::Rgb color;
};

// The 32 palette colours, in cell order (row by row, 7 to a row).
const std::array<NamedColor, 32>& colorPalette();

// The cell holding the colour, or -1 when it is not a palette colour.
int paletteIndexOf(rt::Rgb color);

// Where a pop-up of the given size goes: its top-left corner at `anchor`
// (the picker's bottom-left corner, global), shifted left, right or up as
// far as needed to lie wholly inside `screen`.
QPoint fitOnScreen(QPoint anchor, QSize size, const QRect& screen);

class ColorPopup;

class ColorPicker : public QWidget, public rt::PropertyHost {
    Q_OBJECT
public:
    explicit ColorPicker(QWidget* parent = nullptr);
    ~ColorPicker() override;

    rt::Rgb color() const { return m_color; }
    // Shows the colour; raises nothing. Only the low 24 bits count.
    void setColor(rt::Rgb color);

    // What a confirmation in the pop-up does: takes the colour, redraws and
    // raises colorChosen, even when the colour is the one already shown.
    void chooseColor(rt::Rgb color);

    // Opens the pop-up below the picker (as releasing the mouse on it does).
    void openPopup();
    // The open pop-up, or null.
    ColorPopup* popup() const { return m_popup; }

    QSize sizeHint() const override;

    std::optional<rt::Value> hostProperty(rt::Property p, int member) const override;
    bool setHostProperty(rt::Property p, int member, const rt::Value& v) override;

Q_SIGNALS:
    void colorChosen(rt::Rgb color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void popupFinished(int item);
    void chooseOtherColor();

    rt::Rgb m_color = 0;
    bool m_pressed = false;
    QPointer<ColorPopup> m_popup;
};

// The drop-down of a colour picker: a window of its own holding the palette
// grid and, below it, the "其它颜色..." box. It holds the mouse while shown.
class ColorPopup : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCells = 32;
    static constexpr int kColumns = 7;
    static constexpr int kCellSize = 18;
    static constexpr int kOtherItem = kCells; // the "其它颜色..." box

    // Marks the cell of `current`, or the "其它颜色..." box when the colour is
    // not in the palette.
    explicit ColorPopup(rt::Rgb current, QWidget* owner);
    ~ColorPopup() override;

    int markedItem() const { return m_marked; }
    // Rectangle of a cell (0..31) or of the "其它颜色..." box, in the
    // pop-up's own coordinates.
    QRect itemRect(int item) const;
    // The item under a point, or -1.
    int itemAt(QPoint pos) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // Raised once when the pop-up closes: the confirmed item, or -1 when it
    // was cancelled.
    void finished(int item);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void mark(int item);
    void finish(int item);
    int edge() const;
    int otherHeight() const;

    int m_marked = kOtherItem;
    int m_column = 0; // column of the last marked cell, for Up from the box
    bool m_done = false;
};

} // namespace app
