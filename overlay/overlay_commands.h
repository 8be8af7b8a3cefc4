#pragma once
// The nineteen commands that style and move the overlay. Each is the whole
// handler of one control event: it reads the control's current value
// through the run-time services and calls one overlay operation. They keep
// no state; the settings live in the overlay.

#include <QWidget>

namespace overlay {

class OverlayWidget;

struct CommandControls {
    OverlayWidget* label = nullptr;   // 标签1
    QWidget* backPicker = nullptr;    // 颜色选择器1
    QWidget* textPicker = nullptr;    // 颜色选择器2
    QWidget* gradientPicker1 = nullptr; // 颜色选择器3
    QWidget* gradientPicker2 = nullptr; // 颜色选择器4
    QWidget* gradientPicker3 = nullptr; // 颜色选择器5
    QWidget* boldBox = nullptr;       // 选择框1
    QWidget* italicBox = nullptr;     // 选择框2
    QWidget* underlineBox = nullptr;  // 选择框3
    QWidget* strikeoutBox = nullptr;  // 选择框4
    QWidget* shadow1Box = nullptr;    // 选择框5
    QWidget* shadow2Box = nullptr;    // 选择框6
    QWidget* angleSlider = nullptr;   // 滑块条1
    QWidget* sizeSlider = nullptr;    // 滑块条2
    QWidget* gradientCombo = nullptr; // 组合框1
    QWidget* captionEdit = nullptr;   // 编辑框2
    QWidget* sizeModeRadio = nullptr; // 单选框1
};

class OverlayCommands {
public:
    explicit OverlayCommands(const CommandControls& c) : c_(c) {}

    void pickBackColor();
    void pickTextColor();
    void pickGradientColor1();
    void pickGradientColor2();
    void pickGradientColor3();
    void toggleBold();
    void toggleItalic();
    void toggleUnderline();
    void toggleStrikeout();
    void toggleShadow1();
    void toggleShadow2();
    void changeAngle();
    void changeSize();
    void chooseGradient();
    void addText();
    void nudgeUp();
    void nudgeDown();
    void nudgeRight();
    void nudgeLeft();

private:
    enum class Axis { Horizontal, Vertical };
    void nudge(Axis axis, int delta);

    CommandControls c_;
};

// One more or one less, the way the commands compute it: through a double,
// its text and back, which is exact over the whole 32-bit range.
int stepInteger(int value, int delta);

} // namespace overlay
