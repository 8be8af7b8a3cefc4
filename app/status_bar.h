#pragma once
// The two-part status bar: part 0 is the message area up to 400 pixels from
// the left edge, part 1 the rest; both with sunken borders, no size grip.

#include "runtime/controls.h"

#include <QStringList>
#include <QWidget>

namespace app {

class StatusBar : public QWidget, public rt::PropertyHost {
    Q_OBJECT
public:
    static constexpr int kPart0Right = 400;

    explicit StatusBar(QWidget* parent = nullptr);

    QString partText(int part) const { return texts_.value(part); }
    void setPartText(int part, const QString& text);
    int partCount() const { return int(texts_.size()); }
    // Each part's rectangle in the bar's client area.
    QRect partRect(int part) const;

    std::optional<rt::Value> hostProperty(rt::Property p, int member) const override;
    bool setHostProperty(rt::Property p, int member, const rt::Value& v) override;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QStringList texts_{QString(), QString()};
};

} // namespace app
