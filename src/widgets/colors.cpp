#include "colors.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>


namespace {

// Every conversion to a whole number on these scales rounds half to even.
int roundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

double channelOfHue(double m1, double m2, double x)
{
    if (x < 0)
        x += 1;
    else if (x > 1)
        x -= 1;
    if (6 * x < 1)
        return m1 + (m2 - m1) * 6 * x;
    if (2 * x < 1)
        return m2;
    if (3 * x < 2)
        return m1 + (m2 - m1) * (2.0 / 3.0 - x) * 6;
    return m1;
}

} // namespace

Hsl240 colorToHsl240(const QColor &color)
{
    const double r = color.red() / 255.0;
    const double g = color.green() / 255.0;
    const double b = color.blue() / 255.0;
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    const double l = (max + min) / 2;
    double h = 0;
    double s = 0;
    if (max != min) {
        const double d = max - min;
        s = l < 0.5 ? d / (max + min) : d / (2 - max - min);
        if (max == r)
            h = (g - b) / d;
        else if (max == g)
            h = (b - r) / d + 2;
        else
            h = (r - g) / d + 4;
        h /= 6;
        if (h < 0)
            h += 1;
    }
    // Hue is scaled by 239 so that it never reaches 240 and wraps to red.
    return {roundHalfEven(h * 239), roundHalfEven(s * 240), roundHalfEven(l * 240)};
}

QColor hsl240ToColor(int hue, int saturation, int lightness)
{
    const double h = hue / 239.0;
    const double s = saturation / 240.0;
    const double l = lightness / 240.0;
    auto toByte = [](double v) { return std::clamp(roundHalfEven(v * 255), 0, 255); };
    if (s == 0) {
        const int grey = toByte(l);
        return QColor(grey, grey, grey);
    }
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    return QColor(toByte(channelOfHue(m1, m2, h + 1.0 / 3.0)), toByte(channelOfHue(m1, m2, h)),
                  toByte(channelOfHue(m1, m2, h - 1.0 / 3.0)));
}

namespace Colors {

namespace {

QColor fromPalette(QPalette::ColorRole role)
{
    return QColor(QGuiApplication::palette().color(QPalette::Active, role).rgb());
}

} // namespace

QColor entryBackground()
{
    return fromPalette(QPalette::Base);
}

QColor buttonFace()
{
    return fromPalette(QPalette::Button);
}

QColor buttonShadow()
{
    return fromPalette(QPalette::Dark);
}

QColor buttonHighlight()
{
    return fromPalette(QPalette::Light);
}

} // namespace Colors

QColor adjustLightness(const QColor &base, const QColor &fallback, int percent, LightnessDirection direction)
{
    if (percent == 0)
        return fallback;
    Hsl240 hsl = colorToHsl240(base);
    hsl.lightness += 10;
    // The bounds are 100 and 0 on the 240 scale: a light base lightened ends
    // up as a mid-tone, as every derived colour of the control set always has.
    if (direction == LightnessDirection::Lighter)
        hsl.lightness = std::min(hsl.lightness + percent, 100);
    else
        hsl.lightness = std::max(hsl.lightness - percent, 0);
    return hsl240ToColor(hsl.hue, hsl.saturation, hsl.lightness);
}
