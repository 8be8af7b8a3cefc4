#pragma once
// Reading and changing controls. Handlers reach every control through these
// operations only; a control is a real widget, a property a member of the
// enumeration below, and a value an integer or a text.

#include <QString>
#include <QWidget>
#include <optional>
#include <variant>

namespace rt {

enum class Property {
    Left, Top, Width, Height, // outer geometry in the parent's client area
    Visible,                  // 1 shown, 0 hidden (the control's own flag)
    Enabled,
    Text,          // caption, edit text, title; a member selects a part
    Checked,       // 1 checked or selected, 0 not
    Position,      // slider or progress position
    SelectedIndex, // combo box selection, -1 for none
    Color,         // colour pickers (rt::Rgb)
    FontField,     // overlay font fields, member selects which
    Picture,       // picture box bytes (set only)
    DisplayMode,   // picture box placement
    Filter,        // file dialog filter text
    FileName,      // file dialog's last confirmed path
};

using Value = std::variant<std::monostate, int, QString, QByteArray>;

int toInt(const Value& v);
QString toText(const Value& v);

// Controls that hold values Qt has no property for implement this; the
// operations ask it first and fall back to the standard widget kinds.
class PropertyHost {
public:
    virtual ~PropertyHost() = default;
    // An empty optional means "not a property of mine".
    virtual std::optional<Value> hostProperty(Property p, int member) const = 0;
    // False means "not a property of mine".
    virtual bool setHostProperty(Property p, int member, const Value& v) = 0;
};

Value readProperty(const QWidget* control, Property p, int member = -1);
void writeProperty(QWidget* control, Property p, int member, const Value& v);
inline void writeProperty(QWidget* control, Property p, const Value& v) { writeProperty(control, p, -1, v); }

inline int readInt(const QWidget* c, Property p, int member = -1) { return toInt(readProperty(c, p, member)); }
inline QString readText(const QWidget* c, Property p = Property::Text, int member = -1)
{
    return toText(readProperty(c, p, member));
}

WId nativeHandle(QWidget* control);

// Omitted values (and a width or height of -1) keep the current ones; a
// move to where the control already is does nothing.
void moveControl(QWidget* control, std::optional<int> left, std::optional<int> top,
                 std::optional<int> width = std::nullopt, std::optional<int> height = std::nullopt);

// The control becomes a child of the new parent, keeping its numbers, which
// now count in the new parent's client area.
void reparentControl(QWidget* control, QWidget* newParent);

// Marks the whole client area for repaint at the next paint cycle; this
// erases whatever was painted onto the control's surface.
void redrawControl(QWidget* control);

// Dispatches what is queued, repaints included, without waiting.
void processPendingEvents();

// At the end of the process, once the event loop has ended: waits a short
// while for Qt's helper threads (thread pool, D-Bus) and delivers what they
// still queue, so no queued call is left behind unfreed when the
// application object goes.
void settleBeforeExit(int milliseconds = 50);

// Stores and shows a status-bar part's text; an index outside the parts
// does nothing.
void setStatusText(QWidget* statusBar, int part, const QString& text);

// Constant opacity over the window; out of range counts as 255.
void setWindowAlpha(QWidget* window, std::optional<int> alpha);

} // namespace rt
