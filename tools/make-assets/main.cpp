// Draws the program's built-in pictures and writes them into a folder:
//
//   make-assets <folder>          (normally: make-assets assets)
//
//   start.jpg                    200 x 200 start photograph: a figure walking on a beach, pale
//   arrow-<dir>-normal.jpg       33 x 44 red arrow on light grey, dir = up, down, left, right
//   arrow-<dir>-hot.jpg          the same arrow in green
//   icon.ico                     the program icon: 16 x 16 at 1, 8, 32 bits per pixel,
//                                32 x 32 and 48 x 48 at 4, 8, 32 bits per pixel
//   icon.png                     the icon at 48 x 48 for the desktop
//
// Everything is drawn from code with fixed seeds, so running it again gives
// the same pictures. The output is committed; the build does not run this.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

bool writeJpeg(const QImage& image, const QString& path, int quality)
{
    QImageWriter writer(path, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image.convertToFormat(QImage::Format_RGB32))) {
        std::fprintf(stderr, "make-assets: %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

// ------------------------------------------------------------ start photo

// A walking person seen from the side, feet at `ground`, `height` tall.
void drawWalker(QPainter& p, QPointF ground, double height, QColor colour)
{
    const double u = height / 10.0; // one tenth of the figure
    const QPointF hip(ground.x(), ground.y() - 5.0 * u);
    const QPointF neck(ground.x() + 0.3 * u, ground.y() - 8.3 * u);
    QPen limb(colour, 1.1 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(limb);
    // Legs in mid-stride: one forward, one back, the back knee bent.
    p.drawPolyline(QPolygonF{hip, hip + QPointF(1.3 * u, 2.6 * u), ground + QPointF(2.2 * u, 0)});
    p.drawPolyline(QPolygonF{hip, hip + QPointF(-0.9 * u, 2.5 * u), ground + QPointF(-2.3 * u, -0.4 * u)});
    // Body.
    limb.setWidthF(1.7 * u);
    p.setPen(limb);
    p.drawLine(hip, neck);
    // Arms swinging against the legs.
    limb.setWidthF(0.8 * u);
    p.setPen(limb);
    const QPointF shoulder = neck + QPointF(0, 0.6 * u);
    p.drawPolyline(QPolygonF{shoulder, shoulder + QPointF(-1.2 * u, 1.6 * u), shoulder + QPointF(-1.7 * u, 3.0 * u)});
    p.drawPolyline(QPolygonF{shoulder, shoulder + QPointF(1.0 * u, 1.7 * u), shoulder + QPointF(1.9 * u, 2.6 * u)});
    // Head.
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(neck + QPointF(0.2 * u, -1.0 * u), 0.95 * u, 1.05 * u);
}

QImage startPhoto()
{
    const int side = 200;
    QImage image(side, side, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const double horizon = 84;
    const double shore = 124;

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(120, 165, 210));
    sky.setColorAt(0.7, QColor(175, 200, 222));
    sky.setColorAt(1, QColor(215, 222, 226));
    p.fillRect(QRectF(0, 0, side, horizon), sky);

    // Haze of a low sun.
    QRadialGradient sun(QPointF(48, 52), 70);
    sun.setColorAt(0, QColor(255, 250, 235, 190));
    sun.setColorAt(1, QColor(255, 250, 235, 0));
    p.fillRect(QRectF(0, 0, side, horizon), sun);

    // Soft clouds.
    std::mt19937 rng(20240517);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 9; ++i) {
        const QPointF c(unit(rng) * side, 12 + unit(rng) * 45);
        QRadialGradient cloud(c, 18 + unit(rng) * 22);
        cloud.setColorAt(0, QColor(250, 250, 252, 120));
        cloud.setColorAt(1, QColor(250, 250, 252, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(cloud);
        p.drawEllipse(c, 40.0, 12.0);
    }

    QLinearGradient sea(0, horizon, 0, shore);
    sea.setColorAt(0, QColor(70, 120, 150));
    sea.setColorAt(1, QColor(120, 170, 180));
    p.fillRect(QRectF(0, horizon, side, shore - horizon), sea);
    // Glitter and swell: short light streaks, longer near the shore.
    for (int i = 0; i < 70; ++i) {
        const double y = horizon + 1 + unit(rng) * (shore - horizon - 3);
        const double depth = (y - horizon) / (shore - horizon);
        const double x = unit(rng) * side;
        const double len = 4 + depth * 18 * unit(rng);
        p.setPen(QPen(QColor(225, 238, 240, 110), 0.6 + depth));
        p.drawLine(QPointF(x, y), QPointF(x + len, y));
    }

    // Sand, wet and darker at the water's edge.
    QLinearGradient sand(0, shore, 0, side);
    sand.setColorAt(0, QColor(160, 150, 130));
    sand.setColorAt(0.12, QColor(205, 190, 160));
    sand.setColorAt(1, QColor(225, 205, 170));
    p.fillRect(QRectF(0, shore - 2, side, side - shore + 2), sand);

    // The foam line, a wavy white edge between sea and sand.
    QPainterPath foam;
    foam.moveTo(0, shore);
    for (int x = 0; x <= side; x += 4)
        foam.lineTo(x, shore - 1.5 + 1.8 * std::sin(x * 0.11) + 0.8 * std::sin(x * 0.37));
    foam.lineTo(side, shore + 3);
    for (int x = side; x >= 0; x -= 4)
        foam.lineTo(x, shore + 2.2 + 1.2 * std::sin(x * 0.09 + 1.0));
    foam.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 245, 240, 200));
    p.drawPath(foam);

    // Footprints leading to the walker, who walks to the right.
    const QPointF feet(126, 168);
    for (int i = 1; i <= 9; ++i) {
        const QPointF step = feet + QPointF(-i * 7.5, -i * 3.2 + ((i % 2) ? 1.6 : -1.2));
        p.setBrush(QColor(170, 150, 120, 150));
        p.drawEllipse(step, 1.7, 0.9);
    }
    // The walker's shadow, long in the low light.
    p.setBrush(QColor(150, 130, 105, 120));
    p.drawEllipse(QRectF(feet.x() - 2, feet.y() - 1.5, 20, 3.5));
    drawWalker(p, feet, 30, QColor(70, 62, 60));
    p.end();

    // Wash the picture out: lift it toward a warm white and halve its
    // contrast, then add a fine film grain so it reads as a photograph.
    std::normal_distribution<double> grain(0.0, 3.0);
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < side; ++x) {
            const QRgb c = line[x];
            const double g = grain(rng);
            auto wash = [g](int v, int paper) {
                const double out = 0.5 * v + 0.5 * paper + g;
                return int(std::lround(std::clamp(out, 0.0, 255.0)));
            };
            line[x] = qRgb(wash(qRed(c), 250), wash(qGreen(c), 244), wash(qBlue(c), 232));
        }
    }
    return image;
}

// ----------------------------------------------------------------- arrows

enum class Direction { Up, Down, Left, Right };

// An arrow pointing up, centred on the 32 x 43 part of the picture that the
// buttons show, then turned to its direction.
QImage arrowPicture(Direction direction, QColor fill, QColor edge)
{
    QImage image(33, 44, QImage::Format_RGB32);
    image.fill(QColor(220, 220, 220));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(16.0, 21.5);
    switch (direction) {
    case Direction::Up: break;
    case Direction::Down: p.rotate(180); break;
    case Direction::Left: p.rotate(-90); break;
    case Direction::Right: p.rotate(90); break;
    }
    const bool across = direction == Direction::Left || direction == Direction::Right;
    // Along the picture's long side the arrow is longer.
    const double half = across ? 13.0 : 17.0;
    const double headWidth = across ? 10.0 : 11.0;
    const double headLength = across ? 11.0 : 13.0;
    const double shaft = across ? 4.0 : 4.5;
    const QPolygonF arrow{
        {0, -half},
        {headWidth, -half + headLength},
        {shaft, -half + headLength},
        {shaft, half},
        {-shaft, half},
        {-shaft, -half + headLength},
        {-headWidth, -half + headLength},
    };
    p.setPen(QPen(edge, 1.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(fill);
    p.drawPolygon(arrow);
    return image;
}

// ------------------------------------------------------------------- icon

// The cog: a dark grey disc with a toothed rim and a light ring in its centre.
QImage cogIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QPointF c(s / 2.0, s / 2.0);
    const double outer = s * 0.48;
    const double root = s * (size <= 16 ? 0.36 : 0.38);
    const int teeth = 8;

    QPainterPath cog;
    for (int i = 0; i < teeth; ++i) {
        const double a = 2.0 * M_PI * i / teeth;
        const double step = 2.0 * M_PI / teeth;
        // Each tooth is a trapezoid, a little narrower at its tip.
        const double points[4][2] = {
            {a - step * 0.26, root}, {a - step * 0.17, outer}, {a + step * 0.17, outer}, {a + step * 0.26, root}};
        for (int k = 0; k < 4; ++k) {
            const QPointF pt = c + QPointF(std::cos(points[k][0]) * points[k][1], std::sin(points[k][0]) * points[k][1]);
            if (i == 0 && k == 0)
                cog.moveTo(pt);
            else
                cog.lineTo(pt);
        }
        // Along the root circle to the next tooth.
        const double from = a + step * 0.26, to = a + step * 0.74;
        for (int k = 1; k <= 4; ++k) {
            const double t = from + (to - from) * k / 4.0;
            cog.lineTo(c + QPointF(std::cos(t) * root, std::sin(t) * root));
        }
    }
    cog.closeSubpath();

    QRadialGradient metal(c - QPointF(s * 0.15, s * 0.15), s * 0.7);
    metal.setColorAt(0, QColor(112, 112, 112));
    metal.setColorAt(1, QColor(52, 52, 52));
    p.setPen(QPen(QColor(28, 28, 28), std::max(1.0, s / 32.0)));
    p.setBrush(metal);
    p.drawPath(cog);

    // The light ring round the hub.
    const double ringRadius = s * 0.19;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(226, 226, 226), std::max(1.5, s * 0.085)));
    p.drawEllipse(c, ringRadius, ringRadius);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Writes 16- and 32-bit little-endian fields.
void put16(QByteArray& out, int v)
{
    char b[2];
    qToLittleEndian<quint16>(quint16(v), b);
    out.append(b, 2);
}
void put32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian<quint32>(v, b);
    out.append(b, 4);
}

// One icon image as a DIB: BITMAPINFOHEADER (height doubled for the two
// masks), palette for 1, 4 and 8 bits, the colour bitmap and the AND mask,
// both bottom-up with rows padded to 4 bytes. Palette images use a grey
// ramp (the icon is grey); their entry 0 is black, which the AND mask turns
// transparent. 32-bit images keep straight alpha and get an AND mask too.
QByteArray iconDib(const QImage& argb, int bpp)
{
    const int w = argb.width(), h = argb.height();
    const int colours = bpp <= 8 ? (1 << bpp) : 0;
    const int xorStride = ((w * bpp + 31) / 32) * 4;
    const int andStride = ((w + 31) / 32) * 4;

    QByteArray out;
    put32(out, 40);
    put32(out, quint32(w));
    put32(out, quint32(2 * h));
    put16(out, 1);
    put16(out, bpp);
    put32(out, 0); // BI_RGB
    put32(out, quint32((xorStride + andStride) * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);

    for (int i = 0; i < colours; ++i) {
        const int v = colours == 2 ? i * 255 : i * 255 / (colours - 1);
        out.append(char(v)).append(char(v)).append(char(v)).append(char(0));
    }

    auto opaque = [](QRgb c) { return qAlpha(c) >= 128; };
    QByteArray xorBits(xorStride * h, '\0');
    QByteArray andBits(andStride * h, '\0');
    for (int y = 0; y < h; ++y) {
        const int row = h - 1 - y; // bottom-up
        char* xr = xorBits.data() + row * xorStride;
        char* ar = andBits.data() + row * andStride;
        for (int x = 0; x < w; ++x) {
            const QRgb c = argb.pixel(x, y);
            if (!opaque(c))
                ar[x / 8] = char(ar[x / 8] | (0x80 >> (x % 8)));
            if (bpp == 32) {
                xr[x * 4 + 0] = char(qBlue(c));
                xr[x * 4 + 1] = char(qGreen(c));
                xr[x * 4 + 2] = char(qRed(c));
                xr[x * 4 + 3] = char(qAlpha(c));
                continue;
            }
            int index = 0; // transparent: black under the mask
            if (opaque(c)) {
                const int grey = qGray(c);
                index = bpp == 1 ? (grey >= 150 ? 1 : 0) : (grey * (colours - 1) + 127) / 255;
            }
            const int bit = x * bpp;
            const int shift = 8 - bpp - (bit % 8);
            xr[bit / 8] = char(xr[bit / 8] | (index << shift));
        }
    }
    out.append(xorBits).append(andBits);
    return out;
}

QByteArray iconFile()
{
    struct Entry {
        int size, bpp;
    };
    const Entry entries[] = {{16, 1}, {16, 8}, {16, 32}, {32, 4}, {32, 8}, {32, 32}, {48, 4}, {48, 8}, {48, 32}};
    const int count = int(std::size(entries));

    std::vector<QByteArray> dibs;
    for (const Entry& e : entries)
        dibs.push_back(iconDib(cogIcon(e.size), e.bpp));

    QByteArray out;
    put16(out, 0); // reserved
    put16(out, 1); // icon
    put16(out, count);
    quint32 offset = 6 + 16 * count;
    for (int i = 0; i < count; ++i) {
        const Entry& e = entries[i];
        out.append(char(e.size == 256 ? 0 : e.size));
        out.append(char(e.size == 256 ? 0 : e.size));
        out.append(char(e.bpp < 8 ? (1 << e.bpp) : 0));
        out.append(char(0));
        put16(out, 1);
        put16(out, e.bpp);
        put32(out, quint32(dibs[size_t(i)].size()));
        put32(out, offset);
        offset += quint32(dibs[size_t(i)].size());
    }
    for (const QByteArray& dib : dibs)
        out.append(dib);
    return out;
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "make-assets: %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-assets <folder>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists()) {
        std::fprintf(stderr, "make-assets: %s: no such folder\n", argv[1]);
        return 1;
    }

    bool ok = writeJpeg(startPhoto(), dir.filePath("start.jpg"), 88);

    const struct {
        Direction direction;
        const char* name;
    } arrows[] = {{Direction::Up, "up"}, {Direction::Down, "down"}, {Direction::Left, "left"}, {Direction::Right, "right"}};
    for (const auto& a : arrows) {
        const QString base = dir.filePath(QStringLiteral("arrow-%1-").arg(QLatin1String(a.name)));
        ok &= writeJpeg(arrowPicture(a.direction, QColor(222, 30, 30), QColor(140, 10, 10)), base + "normal.jpg", 95);
        ok &= writeJpeg(arrowPicture(a.direction, QColor(30, 175, 50), QColor(10, 100, 25)), base + "hot.jpg", 95);
    }

    ok &= writeBytes(dir.filePath("icon.ico"), iconFile());
    ok &= cogIcon(48).save(dir.filePath("icon.png"), "png");
    return ok ? 0 : 1;
}
