#pragma once
// The frame that every filter runs in: capture what the picture box shows,
// give the filter direct pixel access, keep the user informed through the
// progress bar and the status bar, and put the result back onto the box's
// surface.

#include "filters/pixel_filters.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

namespace filters {

// The controls a filter works with.
struct FilterTargets {
    QWidget* picture = nullptr;     // the client area the filter captures
    QWidget* progressBar = nullptr; // position 0..100, shown while running
    QWidget* statusBar = nullptr;   // part 0 gets the waiting and done texts
};

inline const QString kFilterWaitText = QStringLiteral("请稍候,正在应用滤镜...");
inline const QString kFilterDoneText = QStringLiteral("完成");

class FilterCanvas {
public:
    // beginFilter: capture, progress at 0 and shown, waiting text, one round
    // of pending events so both are painted.
    explicit FilterCanvas(const FilterTargets& targets);
    FilterCanvas(const FilterCanvas&) = delete;
    FilterCanvas& operator=(const FilterCanvas&) = delete;

    int surfaceWidth() const { return view_.width(); }
    int surfaceHeight() const { return view_.height(); }
    PixelView& view() { return view_; }
    const QImage& image() const { return image_; }

    // Progress trunc(x / width * 100), then one round of pending events.
    void reportColumnDone(int x);

    // endFilter: the result onto the box's surface, progress hidden, "完成".
    void endFilter();

private:
    FilterTargets targets_;
    QPointer<QWidget> picture_, progress_, status_;
    QImage image_;
    PixelView view_;
};

// Owns the one canvas of the program. A filter asked for while another runs
// is ignored, since the running one processes events after every column.
class FilterRunner {
public:
    explicit FilterRunner(FilterTargets targets) : targets_(targets) {}

    void blurFilter() { run<Blur>(); }
    void darkenFilter() { run<Darken>(); }
    void yellowFilter() { run<Yellow>(); }
    void grayFilter() { run<Gray>(); }
    // Full repaint of the picture box: the stored picture and the overlay
    // show again, every filter effect is gone.
    void cancelFilters();

    bool running() const { return running_; }
    // Called after a filter has ended (the window defers closing until then).
    void setFinishedCallback(std::function<void()> f) { finished_ = std::move(f); }

private:
    template <class Kernel>
    void run()
    {
        if (running_ || !targets_.picture)
            return;
        running_ = true;
        {
            FilterCanvas canvas(targets_);
            Kernel kernel;
            runFilter(canvas.view(), kernel, [&](int x) { canvas.reportColumnDone(x); });
            canvas.endFilter();
        }
        running_ = false;
        if (finished_)
            finished_();
    }

    FilterTargets targets_;
    bool running_ = false;
    std::function<void()> finished_;
};

} // namespace filters
