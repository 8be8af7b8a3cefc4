#include "app/main_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>

namespace app {

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("TamselPelorinV1.0测试版"));
    setFixedSize(633, 434);

    pictureBox_ = new QFrame(this);
    pictureBox_->setObjectName(QStringLiteral("图片框1"));
    pictureBox_->setFrameStyle(QFrame::Box | QFrame::Plain);
    pictureBox_->setLineWidth(1);
    pictureBox_->setGeometry(16, 24, 185, 185);

    auto* client = new QLabel(pictureBox_);
    client->setGeometry(1, 1, 183, 183);
    QImage start(183, 183, QImage::Format_RGB32);
    QPainter p(&start);
    QLinearGradient g(0, 0, 183, 183);
    g.setColorAt(0, QColor(250, 220, 180));
    g.setColorAt(1, QColor(120, 170, 220));
    p.fillRect(start.rect(), g);
    p.end();
    client->setPixmap(QPixmap::fromImage(start));
    pictureClient_ = client;

    const char* captions[5] = {"滤镜模糊", "滤镜变暗", "滤镜变黄", "滤镜黑白", "取消所有滤镜"};
    for (int i = 0; i < 5; ++i) {
        filterButtons_[i] = new QPushButton(QString::fromUtf8(captions[i]), this);
        filterButtons_[i]->setGeometry(230 + (i % 2) * 130, 240 + (i / 2) * 30, 120, 22);
    }

    statusBar_ = new StatusBar(this);
    statusBar_->setPartText(0, QStringLiteral("TamselPelorinV1.0测试版  如果有更好的建议请投递给我!"));
    progressBar_ = new QProgressBar(statusBar_);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    progressBar_->resize(128, 16);

    filterRunner_ = std::make_unique<filters::FilterRunner>(
        filters::FilterTargets{pictureClient_, progressBar_, statusBar_});
    filterRunner_->setFinishedCallback([this] {
        if (closePending_)
            close();
    });
    connect(filterButtons_[0], &QPushButton::clicked, this, [this] { filterRunner_->blurFilter(); });
    connect(filterButtons_[1], &QPushButton::clicked, this, [this] { filterRunner_->darkenFilter(); });
    connect(filterButtons_[2], &QPushButton::clicked, this, [this] { filterRunner_->yellowFilter(); });
    connect(filterButtons_[3], &QPushButton::clicked, this, [this] { filterRunner_->grayFilter(); });
    connect(filterButtons_[4], &QPushButton::clicked, this, [this] { filterRunner_->cancelFilters(); });
}

MainWindow::~MainWindow() = default;

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A filter processes events after every column; closing now would pull
    // its surfaces away mid-run, so the close waits for the filter's end.
    if (filterRunner_->running()) {
        closePending_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int h = statusBar_->sizeHint().height();
    statusBar_->setGeometry(0, height() - h, width(), h);
    progressBar_->move(statusBar_->width() - progressBar_->width() - 5,
                       (statusBar_->height() - progressBar_->height()) / 2 + 1);
}

} // namespace app
