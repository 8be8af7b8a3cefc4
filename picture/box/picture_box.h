#pragma once
// The picture box: keeps the bytes of the picture assigned to it, decodes
// them once, and paints the decoded picture in its client area in one of
// three display modes. The overlay lies on the client area as a child, and
// the filters paint onto the client area's painted-on layer.

#include "picture/decoders/image.h"
#include "runtime/controls.h"

#include <QByteArray>
#include <QFrame>
#include <QImage>
#include <memory>

namespace gif { class Player; }

namespace picture {

class PictureBox;

// The 183 x 183 area inside the box's one-pixel border.
class PictureClient : public QWidget {
    Q_OBJECT
public:
    explicit PictureClient(PictureBox* box);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PictureBox* box_;
};

enum class DisplayMode { Unscaled = 0, Stretched = 1, Centred = 2 };

// Where a picture of `picture` size lands in a `client` area.
QRect pictureTargetRect(QSize client, QSize picture, int displayMode);

class PictureBox : public QFrame, public rt::PropertyHost {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    QWidget* client() const { return client_; }

    // Keeps a copy of the bytes, stops a playing animation and waits for it,
    // decodes, and asks for a full repaint. Empty, unrecognised or
    // undecodable bytes leave an empty box.
    void setPicture(const QByteArray& bytes);
    const QByteArray& picture() const { return bytes_; }
    // The decoded picture, null when there is none.
    QImage decodedPicture() const { return decoded_; }
    bool isAnimated() const { return animated_; }
    // Why the last assignment left the box empty (empty when it did not).
    const QString& lastError() const { return error_; }

    // Clamped into 0..2; a change repaints at once.
    void setDisplayMode(int mode);
    int displayMode() const { return mode_; }

    std::optional<rt::Value> hostProperty(rt::Property p, int member) const override;
    bool setHostProperty(rt::Property p, int member, const rt::Value& v) override;

    // Draws the current picture (or the animation's current frame) into
    // the client area.
    void paintPicture(QPainter& painter);

private:
    void stopAnimation();
    void startPlayer();
    const QImage& scaledFor(const QImage& source, QRect target);

    PictureClient* client_ = nullptr;
    QByteArray bytes_;
    QImage decoded_;
    QString error_;
    bool animated_ = false;
    int mode_ = 1;

    // A picture scaled for the current target, so a repaint never rescales.
    QImage scaled_;
    qint64 scaledKey_ = 0;
    QRect scaledRect_;

    std::unique_ptr<gif::Player> player_;
    quint64 generation_ = 0; // one per assigned picture
    friend class PictureClient;
};

} // namespace picture
