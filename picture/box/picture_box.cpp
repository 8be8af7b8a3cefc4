#include "picture/box/picture_box.h"

#include "picture/decoders/decoders.h"
#include "picture/gif/gif_decode.h"
#include "picture/gif/gif_player.h"
#include "runtime/surface.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QPaintEvent>
#include <QPointer>
#include <span>

namespace picture {

namespace {

std::span<const std::uint8_t> asSpan(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())};
}

// PNG images inside icons are decoded by Qt, within the same limits.
pic::DecodeResult decodePngWithQt(std::span<const std::uint8_t> data)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (!size.isValid() || !pic::dimensionsAllowed(size.width(), size.height()))
        return pic::DecodeResult::refuse("PNG image missing or too large");
    QImage image = reader.read();
    if (image.isNull())
        return pic::DecodeResult::refuse("PNG image cannot be decoded");
    image = image.convertToFormat(QImage::Format_ARGB32);
    pic::Image out;
    out.width = image.width();
    out.height = image.height();
    out.hasAlpha = image.hasAlphaChannel();
    out.pixels.resize(std::size_t(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        std::copy(row, row + out.width, out.pixels.begin() + std::ptrdiff_t(y) * out.width);
    }
    return pic::DecodeResult::accept(std::move(out));
}

// Hands the decoded pixels to a QImage without copying them.
QImage toQImage(pic::Image&& image)
{
    auto* owned = new std::vector<std::uint32_t>(std::move(image.pixels));
    QImage q(reinterpret_cast<const uchar*>(owned->data()), image.width, image.height, image.width * 4,
             image.hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32,
             [](void* p) { delete static_cast<std::vector<std::uint32_t>*>(p); }, owned);
    return q;
}

} // namespace

QRect pictureTargetRect(QSize client, QSize picture, int displayMode)
{
    const int cw = client.width(), ch = client.height();
    const int pw = picture.width(), ph = picture.height();
    switch (displayMode) {
    case 0:
        return QRect(0, 0, pw, ph);
    case 2: {
        int w = pw, h = ph;
        if (pw > cw || ph > ch) {
            const double factor = std::min(double(cw) / pw, double(ch) / ph);
            w = int(pw * factor);
            h = int(ph * factor);
        }
        return QRect((cw - w) / 2, (ch - h) / 2, w, h);
    }
    default:
        return QRect(0, 0, cw, ch);
    }
}

PictureClient::PictureClient(PictureBox* box)
    : QWidget(box)
    , box_(box)
{
    setObjectName(QStringLiteral("图片框1.client"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureClient::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    box_->paintPicture(p);
}

PictureBox::PictureBox(QWidget* parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    client_ = new PictureClient(this);
    client_->setGeometry(1, 1, 183, 183);
}

PictureBox::~PictureBox() { stopAnimation(); }

void PictureBox::stopAnimation()
{
    // Frames still queued for the GUI thread belong to this player; the new
    // generation makes them void.
    ++generation_;
    player_.reset(); // asks the thread to stop and waits for it
}

void PictureBox::setPicture(const QByteArray& bytes)
{
    bytes_ = bytes;
    stopAnimation();
    decoded_ = QImage();
    scaled_ = QImage();
    scaledKey_ = 0;
    animated_ = false;
    error_.clear();

    const auto data = asSpan(bytes_);
    const pic::Format format = pic::recognizeFormat(data);
    pic::DecodeResult result;
    if (format == pic::Format::None) {
        result = pic::DecodeResult::refuse("format not recognised");
    } else if (format == pic::Format::Gif) {
        gif::GifPicture gif = gif::decodeGif(data);
        if (gif.first.ok() && gif.animated) {
            // Played from the first paint on; until then the first image shows.
            startPlayer();
            animated_ = player_ != nullptr;
        }
        result = std::move(gif.first);
    } else {
        result = pic::decodePicture(data, decodePngWithQt);
    }
    if (result.ok())
        decoded_ = toQImage(std::move(*result.image));
    else
        error_ = QString::fromStdString(result.error);

    rt::redrawControl(client_);
}

void PictureBox::setDisplayMode(int mode)
{
    mode = std::clamp(mode, 0, 2);
    if (mode == mode_)
        return;
    mode_ = mode;
    rt::redrawControl(client_);
    client_->repaint();
}

std::optional<rt::Value> PictureBox::hostProperty(rt::Property p, int) const
{
    if (p == rt::Property::Picture)
        return bytes_;
    if (p == rt::Property::DisplayMode)
        return mode_;
    return std::nullopt;
}

bool PictureBox::setHostProperty(rt::Property p, int, const rt::Value& v)
{
    if (p == rt::Property::Picture) {
        const auto* bytes = std::get_if<QByteArray>(&v);
        setPicture(bytes ? *bytes : QByteArray());
        return true;
    }
    if (p == rt::Property::DisplayMode) {
        setDisplayMode(rt::toInt(v));
        return true;
    }
    return false;
}

void PictureBox::startPlayer()
{
    const quint64 generation = generation_;
    QPointer<PictureClient> client = client_;
    auto frameReady = [this, client, generation] {
        // On the player thread: only post. Each frame covers the whole box,
        // so it erases what a filter painted there.
        QMetaObject::invokeMethod(client_, [this, client, generation] {
            if (!client || generation != generation_)
                return;
            rt::eraseSurface(client);
            client->update();
        }, Qt::QueuedConnection);
    };
    auto player = std::make_unique<gif::Player>(
        std::vector<std::uint8_t>(bytes_.begin(), bytes_.end()), std::move(frameReady));
    if (player->ok())
        player_ = std::move(player);
}

const QImage& PictureBox::scaledFor(const QImage& source, QRect target)
{
    if (target.size() == source.size())
        return source;
    if (scaledKey_ != source.cacheKey() || scaledRect_ != target || scaled_.isNull()) {
        scaled_ = source.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        scaledKey_ = source.cacheKey();
        scaledRect_ = target;
    }
    return scaled_;
}

void PictureBox::paintPicture(QPainter& painter)
{
    painter.fillRect(client_->rect(), palette().color(QPalette::Button));
    if (player_) {
        // The animation's current composed image, lent under its lock.
        player_->start();
        player_->withImage([&](const pic::Image& frame) {
            if (frame.width <= 0 || frame.height <= 0)
                return;
            const QImage view(reinterpret_cast<const uchar*>(frame.pixels.data()), frame.width, frame.height,
                              frame.width * 4, QImage::Format_ARGB32);
            const QRect target = pictureTargetRect(client_->size(), view.size(), mode_);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, view);
        });
        return;
    }
    const QImage& source = decoded_;
    if (source.isNull())
        return;
    const QRect target = pictureTargetRect(client_->size(), source.size(), mode_);
    if (target.isEmpty())
        return;
    painter.drawImage(target.topLeft(), scaledFor(source, target));
}

} // namespace picture
