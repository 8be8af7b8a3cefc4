#include "overlay/overlay_commands.h"

#include "overlay/overlay_widget.h"
#include "runtime/controls.h"
#include "runtime/text.h"

namespace overlay {

namespace {
bool isChecked(const QWidget* box) { return rt::readInt(box, rt::Property::Checked) == 1; }
rt::Rgb colourOf(const QWidget* picker) { return rt::Rgb(rt::readInt(picker, rt::Property::Color)); }
int position(const QWidget* slider) { return rt::readInt(slider, rt::Property::Position); }
} // namespace

int stepInteger(int value, int delta)
{
    return rt::textToInteger(rt::numberToText(rt::integerToNumber(value) + delta));
}

void OverlayCommands::pickBackColor() { c_.label->setBackColor(colourOf(c_.backPicker)); }
void OverlayCommands::pickTextColor() { c_.label->setTextColor(colourOf(c_.textPicker)); }
void OverlayCommands::pickGradientColor1() { c_.label->setGradientColor(1, colourOf(c_.gradientPicker1)); }
void OverlayCommands::pickGradientColor2() { c_.label->setGradientColor(2, colourOf(c_.gradientPicker2)); }
void OverlayCommands::pickGradientColor3() { c_.label->setGradientColor(3, colourOf(c_.gradientPicker3)); }

void OverlayCommands::toggleBold() { c_.label->setFontField(FontField::Bold, isChecked(c_.boldBox) ? 1 : 0); }
void OverlayCommands::toggleItalic() { c_.label->setFontField(FontField::Italic, isChecked(c_.italicBox) ? 1 : 0); }
void OverlayCommands::toggleUnderline()
{
    c_.label->setFontField(FontField::Underline, isChecked(c_.underlineBox) ? 1 : 0);
}
void OverlayCommands::toggleStrikeout()
{
    c_.label->setFontField(FontField::Strikeout, isChecked(c_.strikeoutBox) ? 1 : 0);
}
void OverlayCommands::toggleShadow1() { c_.label->setEffect(isChecked(c_.shadow1Box) ? 1 : 0); }
void OverlayCommands::toggleShadow2() { c_.label->setEffect(isChecked(c_.shadow2Box) ? 2 : 0); }

void OverlayCommands::changeAngle() { c_.label->setFontField(FontField::Angle, position(c_.angleSlider)); }
void OverlayCommands::changeSize() { c_.label->setFontField(FontField::Size, position(c_.sizeSlider)); }

void OverlayCommands::chooseGradient()
{
    const int k = rt::readInt(c_.gradientCombo, rt::Property::SelectedIndex);
    if (k >= 0 && k <= 4)
        c_.label->setGradientMode(k);
}

void OverlayCommands::addText() { c_.label->setCaption(rt::readText(c_.captionEdit)); }

// Size mode while 单选框1 is selected, position mode otherwise; the radio
// button and the current value are read afresh on every click.
void OverlayCommands::nudge(Axis axis, int delta)
{
    const bool sizeMode = isChecked(c_.sizeModeRadio);
    const bool vertical = axis == Axis::Vertical;
    const rt::Property field = sizeMode ? (vertical ? rt::Property::Height : rt::Property::Width)
                                        : (vertical ? rt::Property::Top : rt::Property::Left);
    const int next = stepInteger(rt::readInt(c_.label, field), delta);
    switch (field) {
    case rt::Property::Height: c_.label->setHeight(next); break;
    case rt::Property::Width: c_.label->setWidth(next); break;
    case rt::Property::Top: c_.label->setTop(next); break;
    default: c_.label->setLeft(next); break;
    }
}

void OverlayCommands::nudgeUp() { nudge(Axis::Vertical, -1); }
void OverlayCommands::nudgeDown() { nudge(Axis::Vertical, +1); }
void OverlayCommands::nudgeRight() { nudge(Axis::Horizontal, +1); }
void OverlayCommands::nudgeLeft() { nudge(Axis::Horizontal, -1); }

} // namespace overlay
