#include "app/status_bar.h"

#include <QPainter>
#include <qdrawutil.h>
#include <QStyle>
#include <QStyleOption>

namespace app {

StatusBar::StatusBar(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground);
}

void StatusBar::setPartText(int part, const QString& text)
{
    if (part < 0 || part >= texts_.size())
        return;
    texts_[part] = text;
    update(partRect(part));
}

QRect StatusBar::partRect(int part) const
{
    const int top = 2, h = height() - 2;
    if (part == 0)
        return QRect(0, top, kPart0Right, h);
    if (part == 1)
        return QRect(kPart0Right + 2, top, std::max(0, width() - kPart0Right - 2), h);
    return {};
}

std::optional<rt::Value> StatusBar::hostProperty(rt::Property p, int member) const
{
    if (p == rt::Property::Text)
        return partText(member < 0 ? 0 : member);
    return std::nullopt;
}

bool StatusBar::setHostProperty(rt::Property p, int member, const rt::Value& v)
{
    if (p != rt::Property::Text)
        return false;
    setPartText(member < 0 ? 0 : member, rt::toText(v));
    return true;
}

QSize StatusBar::sizeHint() const
{
    return QSize(kPart0Right * 2, fontMetrics().height() + 8);
}

void StatusBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    for (int part = 0; part < partCount(); ++part) {
        const QRect r = partRect(part);
        if (r.width() <= 0)
            continue;
        qDrawShadePanel(&p, r, palette(), true, 1);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r.adjusted(4, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   texts_[part]);
    }
}

} // namespace app
