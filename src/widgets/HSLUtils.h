#pragma once

#include <QColor>

// Colours on the 240 scale: hue 0..239, saturation and lightness 0..240.
struct Hsl240
{
    int hue = 0;
    int saturation = 0;
    int lightness = 0;
    bool operator==(const Hsl240 &) const = default;
};

Hsl240 ColorToHsl240(const QColor &color);
QColor Hsl240ToColor(int hue, int saturation, int lightness);
