// skin-preview <skin number> <picture.png>
//
// Builds a window with one control of every kind the main window has, with
// Chinese captions, attaches the given built-in skin exactly as the program
// does (the module is deployed next to this tool and its export bound by
// name), and saves the window as a PNG picture.

#include "app/skin/skin_library.h"
#include "app/skin/skin_format.h"
#include "app/status_bar.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace {

// Stand-ins for the colour picker and the picture button: they paint from
// the palette the way those controls do, so a skin's effect on them shows.
class ColourBox : public QWidget {
public:
    ColourBox(QColor colour, QWidget* parent) : QWidget(parent), colour_(colour)
    {
        setAttribute(Qt::WA_StyledBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Base));
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.fillRect(QRect(3, 3, width() - 20, height() - 6), colour_);
        p.setPen(palette().color(QPalette::Text));
        const int x = width() - 12, y = height() / 2 - 1;
        p.setBrush(palette().color(QPalette::Text));
        p.drawPolygon(QPolygon({QPoint(x, y), QPoint(x + 6, y), QPoint(x + 3, y + 3)}));
    }

private:
    QColor colour_;
};

class ArrowButton : public QWidget {
public:
    ArrowButton(int angle, QWidget* parent) : QWidget(parent), angle_(angle) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(width() / 2.0, height() / 2.0);
        p.rotate(angle_);
        QPainterPath arrow;
        arrow.moveTo(0, -14);
        arrow.lineTo(11, 0);
        arrow.lineTo(4, 0);
        arrow.lineTo(4, 14);
        arrow.lineTo(-4, 14);
        arrow.lineTo(-4, 0);
        arrow.lineTo(-11, 0);
        arrow.closeSubpath();
        p.fillPath(arrow, QColor(220, 30, 30));
    }

private:
    int angle_;
};

QWidget* buildWindow()
{
    auto* w = new QWidget;
    w->setFixedSize(633, 434);

    auto* picture = new QFrame(w);
    picture->setObjectName(QStringLiteral("图片框1"));
    picture->setFrameStyle(QFrame::Box | QFrame::Plain);
    picture->setGeometry(16, 24, 185, 185);
    auto* client = new QLabel(picture);
    client->setGeometry(1, 1, 183, 183);
    QImage start(183, 183, QImage::Format_RGB32);
    {
        QPainter p(&start);
        QLinearGradient g(0, 0, 183, 183);
        g.setColorAt(0, QColor(250, 220, 180));
        g.setColorAt(1, QColor(120, 170, 220));
        p.fillRect(start.rect(), g);
        QFont f = p.font();
        f.setPixelSize(22);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(start.rect(), Qt::AlignCenter, QStringLiteral("头像"));
    }
    client->setPixmap(QPixmap::fromImage(start));

    int y = 220;
    for (const char* caption : {"打开图片", "加入文字", "保存图片"}) {
        auto* b = new QPushButton(QString::fromUtf8(caption), w);
        b->setGeometry(16, y, 88, 24);
        y += 30;
    }
    auto* disabled = new QPushButton(QStringLiteral("取消所有滤镜"), w);
    disabled->setGeometry(112, 220, 90, 24);
    disabled->setEnabled(false);
    auto* focused = new QPushButton(QStringLiteral("滤镜模糊"), w);
    focused->setGeometry(112, 250, 90, 24);

    auto* text = new QGroupBox(QStringLiteral("文字设置"), w);
    text->setGeometry(216, 16, 200, 200);
    auto* edit = new QLineEdit(QStringLiteral("我的头像"), text);
    edit->setGeometry(12, 24, 176, 22);
    auto* empty = new QLineEdit(text);
    empty->setPlaceholderText(QStringLiteral("在此输入文字"));
    empty->setGeometry(12, 52, 176, 22);
    auto* bold = new QCheckBox(QStringLiteral("粗体"), text);
    bold->setGeometry(12, 82, 60, 20);
    bold->setChecked(true);
    auto* italic = new QCheckBox(QStringLiteral("斜体"), text);
    italic->setGeometry(76, 82, 60, 20);
    auto* under = new QCheckBox(QStringLiteral("下划线"), text);
    under->setGeometry(132, 82, 66, 20);
    under->setEnabled(false);
    auto* leftRight = new QRadioButton(QStringLiteral("从左到右"), text);
    leftRight->setGeometry(12, 108, 84, 20);
    leftRight->setChecked(true);
    auto* topDown = new QRadioButton(QStringLiteral("从上到下"), text);
    topDown->setGeometry(100, 108, 84, 20);
    auto* combo = new QComboBox(text);
    combo->addItems({QStringLiteral("宋体"), QStringLiteral("黑体"), QStringLiteral("楷体")});
    combo->setGeometry(12, 136, 100, 22);
    auto* slider = new QSlider(Qt::Horizontal, text);
    slider->setRange(0, 100);
    slider->setValue(40);
    slider->setGeometry(12, 168, 176, 20);

    auto* colours = new QGroupBox(QStringLiteral("颜色"), w);
    colours->setGeometry(428, 16, 190, 200);
    const QColor seeds[] = {QColor(0, 128, 128), QColor(0, 0, 0), QColor(0, 0, 255), QColor(88, 48, 224)};
    const char* names[] = {"文字", "背景", "渐变一", "渐变二"};
    for (int i = 0; i < 4; ++i) {
        auto* l = new QLabel(QString::fromUtf8(names[i]) + u'：', colours);
        l->setGeometry(12, 26 + i * 30, 56, 20);
        auto* box = new ColourBox(seeds[i], colours);
        box->setGeometry(70, 26 + i * 30, 100, 22);
    }
    auto* vertical = new QSlider(Qt::Vertical, colours);
    vertical->setGeometry(12, 146, 20, 44);
    vertical->setValue(60);
    auto* label = new QLabel(QStringLiteral("宽度 × 高度"), colours);
    label->setGeometry(40, 150, 140, 20);

    int x = 230;
    for (int angle : {0, 90, 180, 270}) {
        auto* arrow = new ArrowButton(angle, w);
        arrow->setGeometry(x, 240, 32, 43);
        x += 40;
    }
    auto* sizeLabel = new QLabel(QStringLiteral("保存尺寸："), w);
    sizeLabel->setGeometry(400, 240, 70, 22);
    auto* width = new QLineEdit(QStringLiteral("185"), w);
    width->setGeometry(470, 240, 50, 22);
    auto* height = new QLineEdit(QStringLiteral("185"), w);
    height->setGeometry(530, 240, 50, 22);
    auto* hint = new QLabel(QStringLiteral("提示：滤镜直接画在图片上，重绘即可取消。"), w);
    hint->setGeometry(230, 300, 380, 20);
    auto* link = new QLabel(QStringLiteral("<a href=\"#\">更多皮肤</a>"), w);
    link->setGeometry(230, 326, 100, 20);

    auto* status = new app::StatusBar(w);
    status->setObjectName(QStringLiteral("状态条1"));
    status->setPartText(0, QStringLiteral("TamselPelorinV1.0测试版  如果有更好的建议请投递给我!"));
    const int h = status->sizeHint().height();
    status->setGeometry(0, w->height() - h, w->width(), h);
    auto* progress = new QProgressBar(status);
    progress->setRange(0, 100);
    progress->setValue(60);
    progress->setTextVisible(false);
    progress->resize(128, 16);
    progress->move(status->width() - 128 - 5, (status->height() - 16) / 2 + 1);
    return w;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <skin number 1..%d> <picture.png>\n", argv[0], app::kSkinCount);
        return 2;
    }
    const int number = QString::fromLocal8Bit(argv[1]).toInt();
    const QString output = QString::fromLocal8Bit(argv[2]);

    QWidget* window = buildWindow();
    app::applyEmbeddedSkin(number);
    QString title = QStringLiteral("TamselPelorinV1.0测试版 — 皮肤 %1").arg(number);
    if (const skin::ParseResult parsed = skin::parseSkin(app::embeddedSkin(number)))
        title += u' ' + parsed.skin->value(QStringLiteral("title"));
    window->setWindowTitle(title);
    window->show();
    // Let the window system map and expose the window before it is grabbed.
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    const bool saved = window->grab().save(output, "PNG");
    delete window;
    if (!saved) {
        std::fprintf(stderr, "cannot save %s\n", argv[2]);
        return 1;
    }
    return 0;
}
