#include "flatbuttoncolors.h"

#include "widgets/colors.h"

#include <QWidget>

#include <algorithm>

FlatButtonColors::FlatButtonColors(const QColor &focused, const QColor &down, const QColor &border)
    : focused(focused)
    , down(down)
    , border(border)
{
}

QColor FlatButtonColors::base(const QWidget *owner) const
{
    if (!followsParentColor)
        return color;
    const QWidget *parent = owner->parentWidget();
    return parent ? parent->palette().color(parent->backgroundRole()) : owner->palette().color(QPalette::Window);
}

void FlatButtonColors::setColor(const QColor &value)
{
    color = value;
    followsParentColor = false;
}

void FlatButtonColors::setFollowsParentColor(bool on, const QWidget *owner)
{
    if (on == followsParentColor)
        return;
    if (!on)
        color = base(owner);
    followsParentColor = on;
    recompute(owner);
}

void FlatButtonColors::setDerivedColors(bool on, const QWidget *owner)
{
    if (on == derivedColors)
        return;
    derivedColors = on;
    followsParentColor = on;
    recompute(owner);
}

void FlatButtonColors::setFocusedLightening(int percent, const QWidget *owner)
{
    focusedLightening = std::clamp(percent, 0, 100);
    recompute(owner);
}

void FlatButtonColors::setDownDarkening(int percent, const QWidget *owner)
{
    downDarkening = std::clamp(percent, 0, 100);
    recompute(owner);
}

void FlatButtonColors::setBorderDarkening(int percent, const QWidget *owner)
{
    borderDarkening = std::clamp(percent, 0, 100);
    recompute(owner);
}

void FlatButtonColors::paletteChanged(const QWidget *owner)
{
    if (derivedColors) {
        followsParentColor = true;
        recompute(owner);
    }
}

void FlatButtonColors::recompute(const QWidget *owner)
{
    if (!derivedColors)
        return;
    const QColor from = base(owner);
    focused = adjustLightness(from, focused, focusedLightening, LightnessDirection::Lighter);
    down = adjustLightness(from, down, downDarkening, LightnessDirection::Darker);
    border = adjustLightness(from, border, borderDarkening, LightnessDirection::Darker);
}
