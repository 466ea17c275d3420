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

Hsl240 colorToHsl240(const QColor &color);
QColor hsl240ToColor(int hue, int saturation, int lightness);

// Stored colour values: red in the low byte; a high byte of 0x80 names a
// system colour by its index (5 window, 8 window text, 13 highlight,
// 15 button face, 16 button shadow, 20 button highlight), resolved through
// the application palette.
QColor resolveColorValue(quint32 value);

enum class LightnessDirection { Lighter, Darker };

// The rule behind every "advanced colour": percent 0 gives the fallback.
QColor adjustLightness(const QColor &base, const QColor &fallback, int percent, LightnessDirection direction);
