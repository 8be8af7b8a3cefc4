#include "app/status_bar.h"
#include "filters/filter_canvas.h"
#include "filters/pixel_filters.h"
#include "runtime/surface.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <gtest/gtest.h>
#include <vector>

using namespace filters;

namespace {

// A W x H surface of one colour, with the filter run over it.
struct Surface {
    int w, h;
    std::vector<std::uint32_t> px;
    Surface(int w_, int h_, std::uint32_t colour) : w(w_), h(h_), px(std::size_t(w_) * h_, colour) {}
    PixelView view() { return PixelView(px.data(), w, h, w); }
    template <class K> void apply()
    {
        PixelView v = view();
        K k;
        runFilter(v, k, [](int) {});
    }
    int channel(int x, int y) const { return int(px[std::size_t(y) * w + x] & 0xFF); }
    ColorTriple at(int x, int y) { return view().readPixel(x, y); }
};

template <class K> ColorTriple once(ColorTriple in)
{
    Surface s(1, 1, 0);
    s.view().writePixel(0, 0, in);
    s.apply<K>();
    return s.at(0, 0);
}

} // namespace

TEST(PixelView, WhiteOutsideAndWritesOutsideIgnored)
{
    Surface s(3, 2, 0xFF000000u);
    for (auto [x, y] : {std::pair{-1, -1}, {3, 0}, {0, 2}, {INT32_MIN, INT32_MAX}})
        EXPECT_EQ(s.at(x, y), (ColorTriple{255, 255, 255}));
    const auto before = s.px;
    s.view().writePixel(3, 0, {1, 2, 3});
    s.view().writePixel(0, 2, {1, 2, 3});
    s.view().writePixel(-1, 0, {1, 2, 3});
    EXPECT_EQ(s.px, before);
    s.view().writePixel(0, 0, {300, -1, 256}); // low eight bits of each channel
    EXPECT_EQ(s.at(0, 0), (ColorTriple{44, 255, 0}));
}

TEST(Blur, WhiteAndBlackThreeByThree)
{
    const int white[3][3] = {{229, 224, 222}, {226, 218, 215}, {226, 220, 218}};
    const int black[3][3] = {{127, 98, 141}, {89, 45, 115}, {136, 103, 153}};
    for (auto [colour, expected] : {std::pair{0xFFFFFFFFu, white}, {0xFF000000u, black}}) {
        Surface s(3, 3, colour);
        s.apply<Blur>();
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) {
                EXPECT_EQ(s.at(x, y), (ColorTriple{expected[y][x], expected[y][x], expected[y][x]}))
                    << "at " << x << "," << y;
            }
    }
}

TEST(PointFilters, Values)
{
    EXPECT_EQ(once<Darken>({255, 128, 15}), (ColorTriple{254, 64, 0}));
    EXPECT_EQ(once<Darken>({16, 15, 0}), (ColorTriple{1, 0, 0}));
    EXPECT_EQ(once<Yellow>({255, 255, 255}), (ColorTriple{254, 253, 251}));
    EXPECT_EQ(once<Yellow>({128, 128, 128}), (ColorTriple{64, 32, 8}));
    EXPECT_EQ(once<Yellow>({0, 0, 0}), (ColorTriple{0, 0, 0}));
    const struct { ColorTriple in; int y; } gray[] = {
        {{255, 255, 255}, 255}, {{128, 128, 128}, 127}, {{1, 1, 1}, 0}, {{0, 0, 255}, 28}};
    for (const auto& g : gray)
        EXPECT_EQ(once<Gray>(g.in), (ColorTriple{g.y, g.y, g.y}));
}

TEST(RunFilter, VisitsEveryColumnUpToAndIncludingTheWidth)
{
    Surface s(4, 2, 0);
    std::vector<int> columns;
    int steps = 0;
    auto counting = [&](PixelView&, int, int) { ++steps; };
    PixelView v = s.view();
    runFilter(v, counting, [&](int x) { columns.push_back(x); });
    EXPECT_EQ(columns, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(steps, 5 * 3);
}

namespace {

// A picture box stand-in: a 183 x 183 client area with a known picture,
// the real status bar and progress bar.
struct Rig {
    QWidget window;
    QLabel* picture;
    app::StatusBar* status;
    QProgressBar* progress;
    FilterRunner runner;

    static QImage pattern()
    {
        QImage img(183, 183, QImage::Format_RGB32);
        for (int y = 0; y < 183; ++y)
            for (int x = 0; x < 183; ++x)
                img.setPixel(x, y, qRgb(x, y, (x * y) & 0xFF));
        return img;
    }

    Rig()
        : picture(new QLabel(&window))
        , status(new app::StatusBar(&window))
        , progress(new QProgressBar(status))
        , runner({picture, progress, status})
    {
        window.resize(300, 250);
        picture->setGeometry(1, 1, 183, 183);
        picture->setPixmap(QPixmap::fromImage(pattern()));
        status->setGeometry(0, 220, 300, 20);
        progress->setRange(0, 100);
        progress->hide();
        window.show();
    }

    QImage shown() { return rt::captureSurface(picture); }
};

QImage expectedAfter(void (*kernelRun)(PixelView&), QImage img)
{
    img = img.convertToFormat(QImage::Format_RGB32);
    PixelView v(reinterpret_cast<std::uint32_t*>(img.bits()), img.width(), img.height(), img.bytesPerLine() / 4);
    kernelRun(v);
    return img;
}

template <class K> void runKernel(PixelView& v)
{
    K k;
    runFilter(v, k, [](int) {});
}

} // namespace

TEST(FilterRunner, WritesResultOntoTheSurfaceAndReportsProgress)
{
    Rig rig;
    std::vector<int> positions;
    int positionWhenHidden = -1;
    QObject::connect(rig.progress, &QProgressBar::valueChanged, [&](int v) { positions.push_back(v); });
    struct HideWatch : QObject {
        QProgressBar* bar; int* seen;
        HideWatch(QProgressBar* b, int* s) : bar(b), seen(s) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Hide) *seen = bar->value();
            return false;
        }
    } watch(rig.progress, &positionWhenHidden);
    rig.progress->installEventFilter(&watch);

    const QImage before = rig.shown();
    rig.runner.grayFilter();

    EXPECT_EQ(rig.shown(), expectedAfter(runKernel<Gray>, before));
    EXPECT_EQ(positionWhenHidden, 100);
    EXPECT_TRUE(rig.progress->isHidden());
    EXPECT_EQ(rig.status->partText(0), kFilterDoneText);
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.back(), 100);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
}

TEST(FilterRunner, ShowsWaitingTextWhileRunning)
{
    Rig rig;
    QString seen;
    bool visible = false;
    QObject::connect(rig.progress, &QProgressBar::valueChanged, [&](int v) {
        if (v == 50) {
            seen = rig.status->partText(0);
            visible = !rig.progress->isHidden();
        }
    });
    rig.runner.darkenFilter();
    EXPECT_EQ(seen, kFilterWaitText);
    EXPECT_TRUE(visible);
}

TEST(FilterRunner, FiltersAccumulateAndCancelRestores)
{
    Rig rig;
    const QImage original = rig.shown();
    rig.runner.blurFilter();
    const QImage blurredOnce = rig.shown();
    EXPECT_EQ(blurredOnce, expectedAfter(runKernel<Blur>, original));

    rig.runner.yellowFilter();
    EXPECT_EQ(rig.shown(), expectedAfter(runKernel<Yellow>, blurredOnce));

    rig.runner.cancelFilters();
    EXPECT_EQ(rig.shown(), original);
    rig.runner.blurFilter();
    EXPECT_EQ(rig.shown(), blurredOnce);
}

TEST(FilterRunner, SecondFilterDuringARunIsIgnored)
{
    Rig rig;
    const QImage original = rig.shown();
    int nestedAttempts = 0;
    QObject::connect(rig.progress, &QProgressBar::valueChanged, [&](int v) {
        if (v == 10 && nestedAttempts == 0) {
            ++nestedAttempts;
            EXPECT_TRUE(rig.runner.running());
            // Events are processed after every column: a click on another
            // filter button lands here.
            QMetaObject::invokeMethod(rig.picture, [&] { rig.runner.darkenFilter(); }, Qt::QueuedConnection);
        }
    });
    rig.runner.grayFilter();
    rt::processPendingEvents();
    EXPECT_EQ(nestedAttempts, 1);
    EXPECT_FALSE(rig.runner.running());
    EXPECT_EQ(rig.shown(), expectedAfter(runKernel<Gray>, original));
}

TEST(FilterRunner, FinishedCallbackRunsAfterTheCanvasIsClosed)
{
    Rig rig;
    bool wasRunning = true;
    rig.runner.setFinishedCallback([&] { wasRunning = rig.runner.running(); });
    rig.runner.blurFilter();
    EXPECT_FALSE(wasRunning);
}
