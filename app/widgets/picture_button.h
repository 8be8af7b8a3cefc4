#pragma once
// The picture button: a button drawn from pictures, one per state, that
// raises clicked when the left mouse button is released on it. It never
// takes the keyboard focus and has no keyboard way to be clicked.

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <array>

namespace app {

class PictureButton : public QWidget {
    Q_OBJECT
public:
    // Normal; hot: the pointer on it and the left button up; pressed: the
    // pointer on it and the left button down (pressed on it).
    enum class State { Normal, Hot, Pressed };
    enum class Picture { Normal, Hot, Pressed, Disabled };

    explicit PictureButton(QWidget* parent = nullptr);

    // Each picture is optional; a state without its own picture shows the
    // normal one. A null picture takes a picture away again.
    void setPicture(Picture which, const QPixmap& picture);
    void setPicture(Picture which, const QImage& picture);
    QPixmap picture(Picture which) const { return m_pictures[size_t(which)]; }

    State state() const { return m_state; }
    // The picture drawn now: for the state (or disabled), else the normal one.
    QPixmap shownPicture() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void setState(State state);

    std::array<QPixmap, 4> m_pictures;
    State m_state = State::Normal;
    bool m_down = false; // the left button went down on the button; the mouse is ours
};

} // namespace app
