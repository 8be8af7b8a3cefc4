#pragma once
// What a skin block means for the application: a palette, a style sheet and
// the base style under it. Plain data, built without touching the running
// application, so it can be checked without a window.

#include "app/skin/skin_format.h"

#include <QPalette>
#include <QString>
#include <QStringList>

namespace skin {

// Colours of the check-box and radio-button marks, which the engine draws
// itself (a style sheet can only fill them, not tick them).
struct IndicatorColours {
    QColor fill, border, hoverBorder;      // unchecked
    QColor onFill, onBorder, mark;         // checked: filled with the accent, ticked
    int radius = 2;                        // of the check box's corners
};

struct Theme {
    QString baseStyle; // a QStyleFactory key, "Fusion" unless the skin says otherwise
    IndicatorColours indicator;
    QPalette palette;
    QString styleSheet;
};

struct ThemeResult {
    std::optional<Theme> theme;
    Refusal refusal = Refusal::None;
    QString detail;
    explicit operator bool() const { return theme.has_value(); }
};

// The palette keys every skin must give (colour values).
const QStringList& requiredColourKeys();

// Limit of the expanded style sheet, in characters.
inline constexpr qsizetype kMaxStyleSheet = qsizetype(4) << 20;

ThemeResult buildTheme(const SkinData& skin);
ThemeResult buildTheme(const char* data, qsizetype size);

// WCAG 2 contrast ratio of two opaque colours, 1 to 21.
double contrastRatio(const QColor& a, const QColor& b);

} // namespace skin
