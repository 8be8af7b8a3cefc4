#include "runtime/controls.h"

#include "runtime/surface.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThreadPool>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace rt {

int toInt(const Value& v)
{
    if (auto i = std::get_if<int>(&v))
        return *i;
    return 0;
}

QString toText(const Value& v)
{
    if (auto s = std::get_if<QString>(&v))
        return *s;
    if (auto i = std::get_if<int>(&v))
        return QString::number(*i);
    return {};
}

Value readProperty(const QWidget* control, Property p, int member)
{
    if (!control)
        return {};
    if (auto host = dynamic_cast<const PropertyHost*>(control))
        if (auto v = host->hostProperty(p, member))
            return *v;

    switch (p) {
    case Property::Left: return control->x();
    case Property::Top: return control->y();
    case Property::Width: return control->width();
    case Property::Height: return control->height();
    case Property::Visible: return control->isHidden() ? 0 : 1;
    case Property::Enabled: return control->isEnabled() ? 1 : 0;
    case Property::Text:
        if (auto e = qobject_cast<const QLineEdit*>(control)) return e->text();
        if (auto b = qobject_cast<const QAbstractButton*>(control)) return b->text();
        if (auto l = qobject_cast<const QLabel*>(control)) return l->text();
        if (auto g = qobject_cast<const QGroupBox*>(control)) return g->title();
        if (auto c = qobject_cast<const QComboBox*>(control)) return c->currentText();
        if (control->isWindow()) return control->windowTitle();
        return QString();
    case Property::Checked:
        if (auto b = qobject_cast<const QAbstractButton*>(control)) return b->isChecked() ? 1 : 0;
        return 0;
    case Property::Position:
        // The thumb's position: during a step or drag it is already the
        // new one, before the slider's value follows.
        if (auto s = qobject_cast<const QAbstractSlider*>(control)) return s->sliderPosition();
        if (auto b = qobject_cast<const QProgressBar*>(control)) return b->value();
        return 0;
    case Property::SelectedIndex:
        if (auto c = qobject_cast<const QComboBox*>(control)) return c->currentIndex();
        return -1;
    default:
        return {};
    }
}

void writeProperty(QWidget* control, Property p, int member, const Value& v)
{
    if (!control)
        return;
    if (auto host = dynamic_cast<PropertyHost*>(control))
        if (host->setHostProperty(p, member, v))
            return;

    switch (p) {
    case Property::Left: moveControl(control, toInt(v), std::nullopt); return;
    case Property::Top: moveControl(control, std::nullopt, toInt(v)); return;
    case Property::Width: moveControl(control, std::nullopt, std::nullopt, toInt(v)); return;
    case Property::Height: moveControl(control, std::nullopt, std::nullopt, std::nullopt, toInt(v)); return;
    case Property::Visible: control->setVisible(toInt(v) != 0); return;
    case Property::Enabled: control->setEnabled(toInt(v) != 0); return;
    case Property::Text:
        if (auto e = qobject_cast<QLineEdit*>(control)) e->setText(toText(v));
        else if (auto b = qobject_cast<QAbstractButton*>(control)) b->setText(toText(v));
        else if (auto l = qobject_cast<QLabel*>(control)) l->setText(toText(v));
        else if (auto g = qobject_cast<QGroupBox*>(control)) g->setTitle(toText(v));
        else if (control->isWindow()) control->setWindowTitle(toText(v));
        return;
    case Property::Checked:
        if (auto b = qobject_cast<QAbstractButton*>(control)) b->setChecked(toInt(v) != 0);
        return;
    case Property::Position:
        if (auto s = qobject_cast<QAbstractSlider*>(control)) s->setValue(toInt(v));
        else if (auto b = qobject_cast<QProgressBar*>(control)) b->setValue(toInt(v));
        return;
    case Property::SelectedIndex:
        if (auto c = qobject_cast<QComboBox*>(control)) c->setCurrentIndex(toInt(v));
        return;
    default:
        return;
    }
}

WId nativeHandle(QWidget* control) { return control ? control->winId() : WId(0); }

void moveControl(QWidget* control, std::optional<int> left, std::optional<int> top,
                 std::optional<int> width, std::optional<int> height)
{
    if (!control)
        return;
    const QRect old = control->geometry();
    auto keep = [](std::optional<int> v, int current) { return (v && *v != -1) ? *v : current; };
    const int l = left.value_or(old.x());
    const int t = top.value_or(old.y());
    const QRect next(l, t, std::max(0, keep(width, old.width())), std::max(0, keep(height, old.height())));
    if (next != old)
        control->setGeometry(next);
}

void reparentControl(QWidget* control, QWidget* newParent)
{
    if (!control || !newParent || control == newParent)
        return;
    const QPoint place = control->pos();
    const bool shown = !control->isHidden();
    control->setParent(newParent);
    control->move(place);
    if (shown)
        control->show();
}

void redrawControl(QWidget* control)
{
    if (!control)
        return;
    eraseSurface(control);
    control->update();
}

void processPendingEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void settleBeforeExit(int milliseconds)
{
    QThreadPool::globalInstance()->waitForDone(milliseconds);
    const QDeadlineTimer deadline(milliseconds);
    do {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (!deadline.hasExpired());
    QCoreApplication::sendPostedEvents();
}

void setStatusText(QWidget* statusBar, int part, const QString& text)
{
    if (auto host = dynamic_cast<PropertyHost*>(statusBar))
        host->setHostProperty(Property::Text, part, text);
}

void setWindowAlpha(QWidget* window, std::optional<int> alpha)
{
    if (!window)
        return;
    const int a = (alpha && *alpha >= 0 && *alpha <= 255) ? *alpha : 255;
    window->setWindowOpacity(a / 255.0);
}

} // namespace rt
