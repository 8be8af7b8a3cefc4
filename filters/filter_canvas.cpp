#include "filters/filter_canvas.h"

#include "runtime/controls.h"
#include "runtime/surface.h"

namespace filters {

namespace {
QImage captureOrEmpty(QWidget* picture)
{
    QImage image = picture ? rt::captureSurface(picture, QImage::Format_RGB32) : QImage();
    if (image.isNull())
        image = QImage(0, 0, QImage::Format_RGB32);
    return image;
}
} // namespace

FilterCanvas::FilterCanvas(const FilterTargets& targets)
    : targets_(targets)
    , picture_(targets.picture)
    , progress_(targets.progressBar)
    , status_(targets.statusBar)
    , image_(captureOrEmpty(targets.picture))
    , view_(reinterpret_cast<std::uint32_t*>(image_.bits()), image_.width(), image_.height(),
            image_.bytesPerLine() / 4)
{
    rt::writeProperty(progress_, rt::Property::Position, 0);
    rt::writeProperty(progress_, rt::Property::Visible, 1);
    rt::setStatusText(status_, 0, kFilterWaitText);
    rt::processPendingEvents();
}

void FilterCanvas::reportColumnDone(int x)
{
    const int w = surfaceWidth();
    const int position = w > 0 ? int(double(x) / double(w) * 100.0) : 100;
    rt::writeProperty(progress_, rt::Property::Position, position);
    rt::processPendingEvents();
}

void FilterCanvas::endFilter()
{
    if (picture_ && !image_.isNull() && image_.width() > 0)
        rt::paintedLayer(picture_).put(image_);
    rt::writeProperty(progress_, rt::Property::Visible, 0);
    rt::setStatusText(status_, 0, kFilterDoneText);
}

void FilterRunner::cancelFilters() { rt::redrawControl(targets_.picture); }

} // namespace filters
