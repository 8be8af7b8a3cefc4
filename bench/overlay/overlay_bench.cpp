// Time per full repaint of the overlay box, background and caption, in each
// gradient mode (0 is the solid colour), on the layout's 183 x 32 box and on
// a 2000 x 2000 box. Painted straight into an image at a device-pixel ratio
// of 1, as the widget's paint event does.
#include "overlay/overlay_widget.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

static void BM_Repaint(benchmark::State& state)
{
    const int mode = int(state.range(0));
    const int width = int(state.range(1));
    const int height = int(state.range(2));
    QWidget parent;
    parent.resize(183, 183);
    overlay::OverlayWidget box(&parent);
    box.setWidth(width);
    box.setHeight(height);
    box.setGradientMode(mode);
    QImage target(width, height, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&target);
        box.paintOverlay(painter, box.rect());
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    // Seconds per repaint, printed with an SI prefix ("41u" is 41 us).
    state.counters["per_repaint"] = benchmark::Counter(
        double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetLabel(QStringLiteral("mode %1, %2 x %3").arg(mode).arg(width).arg(height).toStdString());
}

static void RepaintArgs(benchmark::internal::Benchmark* b)
{
    for (int mode = 0; mode <= 4; ++mode) {
        b->Args({mode, 183, 32});
        b->Args({mode, 2000, 2000});
    }
}
BENCHMARK(BM_Repaint)->Apply(RepaintArgs)->Unit(benchmark::kMicrosecond);
