// One whole save of the picture box (render, smooth stretch, BMP encoding,
// atomic write to a temporary folder) at the default 185 x 185 and at
// 2000 x 2000, and the BMP encoding alone at the same sizes.
#include "picture/save/bmp_writer.h"
#include "picture/save/save_picture.h"
#include "runtime/surface.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QImage noise(int side)
{
    QImage img(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < side; ++x)
            row[x] = 0xFF000000u | (std::uint32_t(y * side + x) * 2654435761u >> 8);
    }
    return img;
}

// The picture box as the main window builds it: frame, client with a
// picture and a filter's painted-on layer, overlay.
struct Box {
    QFrame frame;
    Box()
    {
        frame.setFrameStyle(QFrame::Box | QFrame::Plain);
        frame.setLineWidth(1);
        frame.setFixedSize(185, 185);
        auto* client = new QLabel(&frame);
        client->setGeometry(1, 1, 183, 183);
        client->setPixmap(QPixmap::fromImage(noise(183)));
        auto* overlay = new QLabel(QStringLiteral("TamselPelorin"), client);
        overlay->setGeometry(30, 80, 120, 24);
        overlay->setAutoFillBackground(true);
        rt::paintedLayer(client).put(noise(60));
        frame.show();
        QApplication::processEvents();
    }
};

void BM_Save(benchmark::State& state)
{
    const int side = int(state.range(0));
    Box box;
    QTemporaryDir dir;
    for (auto _ : state) {
        const auto error = picture::savePictureTo(&box.frame, side, side, dir.path());
        if (error != picture::SaveError::None)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * (54 + picture::bmpStride(side) * side));
}

void BM_EncodeBmp(benchmark::State& state)
{
    const QImage img = noise(int(state.range(0)));
    for (auto _ : state) {
        QByteArray bytes = picture::encodeBmp24(img);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * (54 + picture::bmpStride(img.width()) * img.height()));
}

} // namespace

BENCHMARK(BM_Save)->Arg(185)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeBmp)->Arg(185)->Arg(2000)->Unit(benchmark::kMillisecond);
