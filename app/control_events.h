#pragma once
// How control kinds raise the events the handlers are bound to, where Qt's
// own signals differ from what the handlers rely on.

#include <QAbstractSlider>
#include <QComboBox>

namespace app {

// "Position changed" of a slider: once per line or page step, on every
// movement of a dragged thumb, and once more when the thumb is released;
// the handler reads the new position (the run-time services read the
// thumb's position, which is already the new one during a step).
template <class Handler>
void onPositionChanged(QAbstractSlider* slider, QObject* context, Handler handler)
{
    QObject::connect(slider, &QAbstractSlider::actionTriggered, context, [handler](int) { handler(); });
    QObject::connect(slider, &QAbstractSlider::sliderReleased, context, handler);
}

// "Item selected" of a combo box: the user picked an item, also the one
// already selected; queued behind the message that caused it, so the
// handler reads the new selection.
template <class Handler>
void onItemSelected(QComboBox* combo, QObject* context, Handler handler)
{
    QObject::connect(combo, &QComboBox::activated, context, [handler](int) { handler(); }, Qt::QueuedConnection);
}

} // namespace app
