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
    if (!parentColor)
        return color;
    const QWidget *parent = owner->parentWidget();
    return parent ? parent->palette().color(parent->backgroundRole()) : owner->palette().color(QPalette::Window);
}

void FlatButtonColors::setColor(const QColor &value)
{
    color = value;
    parentColor = false;
}

void FlatButtonColors::setParentColor(bool on, const QWidget *owner)
{
    if (on == parentColor)
        return;
    if (!on)
        color = base(owner);
    parentColor = on;
    recompute(owner);
}

void FlatButtonColors::setUseAdvColors(bool on, const QWidget *owner)
{
    if (on == useAdvColors)
        return;
    useAdvColors = on;
    parentColor = on;
    recompute(owner);
}

void FlatButtonColors::setAdvFocused(int percent, const QWidget *owner)
{
    advFocused = std::clamp(percent, 0, 100);
    recompute(owner);
}

void FlatButtonColors::setAdvDown(int percent, const QWidget *owner)
{
    advDown = std::clamp(percent, 0, 100);
    recompute(owner);
}

void FlatButtonColors::setAdvBorder(int percent, const QWidget *owner)
{
    advBorder = std::clamp(percent, 0, 100);
    recompute(owner);
}

void FlatButtonColors::paletteChanged(const QWidget *owner)
{
    if (useAdvColors) {
        parentColor = true;
        recompute(owner);
    }
}

void FlatButtonColors::recompute(const QWidget *owner)
{
    if (!useAdvColors)
        return;
    const QColor from = base(owner);
    focused = adjustLightness(from, focused, advFocused, LightnessDirection::Lighter);
    down = adjustLightness(from, down, advDown, LightnessDirection::Darker);
    border = adjustLightness(from, border, advBorder, LightnessDirection::Darker);
}
