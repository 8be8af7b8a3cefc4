// The skin engine, built as the loadable module SkinH_EL.dll. The program
// binds its one export by name at run time and hands it a skin block; the
// engine themes the running application with it: base style, palette and
// style sheet, in that order, so the style sheet works on top of a palette
// that already matches it.

#include "app/skin/skin_theme.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QThread>

namespace {

// The skin's base style with marks of its own for check boxes and radio
// buttons: the base style's marks take their edge from the window colour
// and vanish on dark skins. This class lives in the module, which the
// program never unloads, so the application may keep the style to its end.
class SkinStyle : public QProxyStyle {
public:
    SkinStyle(QStyle* base, const skin::IndicatorColours& colours)
        : QProxyStyle(base), c_(colours) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_IndicatorCheckBox || element == PE_IndicatorRadioButton) {
            drawMark(element == PE_IndicatorRadioButton, option, painter);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

private:
    void drawMark(bool radio, const QStyleOption* option, QPainter* painter) const
    {
        const bool enabled = option->state & State_Enabled;
        const bool on = option->state & State_On;
        const bool partial = option->state & State_NoChange;
        const bool hover = enabled && (option->state & State_MouseOver);
        const int side = std::min(option->rect.width(), option->rect.height());
        if (side < 4)
            return;
        const QRectF box = QRectF(QRect(option->rect.topLeft(), QSize(side, side)))
                               .translated(0, (option->rect.height() - side) / 2.0)
                               .adjusted(0.5, 0.5, -0.5, -0.5);
        const QColor window = option->palette.color(QPalette::Window);
        auto dim = [enabled, &window](const QColor& c) {
            return enabled ? c : QColor::fromRgbF((c.redF() + window.redF()) / 2, (c.greenF() + window.greenF()) / 2,
                                                  (c.blueF() + window.blueF()) / 2);
        };
        const bool filled = on || partial;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(dim(filled ? c_.onBorder : hover ? c_.hoverBorder : c_.border), 1));
        painter->setBrush(dim(filled ? c_.onFill : c_.fill));
        if (radio)
            painter->drawEllipse(box);
        else
            painter->drawRoundedRect(box, c_.radius, c_.radius);
        const QColor mark = dim(c_.mark);
        const double w = box.width(), h = box.height();
        if (radio && on) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(mark);
            painter->drawEllipse(box.center(), w * 0.2, h * 0.2);
        } else if (!radio && partial) {
            painter->fillRect(QRectF(box.left() + w * 0.25, box.center().y() - 1, w * 0.5, 2), mark);
        } else if (!radio && on) {
            QPainterPath tick;
            tick.moveTo(box.left() + w * 0.22, box.top() + h * 0.52);
            tick.lineTo(box.left() + w * 0.42, box.top() + h * 0.72);
            tick.lineTo(box.left() + w * 0.78, box.top() + h * 0.30);
            painter->setPen(QPen(mark, std::max(1.5, side / 8.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter->setBrush(Qt::NoBrush);
            painter->drawPath(tick);
        }
        painter->restore();
    }

    skin::IndicatorColours c_;
};

int attach(const unsigned char* data, int size)
{
    // Nothing is touched before the whole block has been read and checked,
    // so a refused block leaves the current look as it was.
    const skin::ThemeResult built = skin::buildTheme(reinterpret_cast<const char*>(data), size);
    if (!built)
        return int(built.refusal);

    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread())
        return int(skin::Refusal::NoApplication);

    const skin::Theme& theme = *built.theme;
    QStyle* base = QStyleFactory::create(theme.baseStyle);
    if (!base)
        base = QStyleFactory::create(QStringLiteral("Fusion"));
    if (base)
        QApplication::setStyle(new SkinStyle(base, theme.indicator)); // the application takes ownership
    QApplication::setPalette(theme.palette);
    app->setStyleSheet(theme.styleSheet);
    return 0;
}

} // namespace

// Attaches the skin of `size` bytes at `data`. `options` and the three
// integers are reserved (callers pass an empty text and zeros). Returns 0
// when the skin was applied, otherwise the reason it was refused
// (skin::Refusal); a refusal changes nothing.
extern "C" Q_DECL_EXPORT int SkinH_AttachRes(const unsigned char* data, int size, const char* options,
                                             int reserved1, int reserved2, int reserved3)
{
    Q_UNUSED(options);
    Q_UNUSED(reserved1);
    Q_UNUSED(reserved2);
    Q_UNUSED(reserved3);
    // No exception may cross into a caller that knows nothing of C++.
    try {
        return attach(data, size);
    } catch (...) {
        return int(skin::Refusal::BadContent);
    }
}
