#pragma once

#include <QColor>

// The program's colours, named by what they paint.
namespace Colors {

// The pale green of the panels, the grids' title rows and the group boxes.
inline constexpr QColor panelGreen{0xDD, 0xFF, 0xEE};
// The cashier screen's background.
inline constexpr QColor cashierBlue{0xC1, 0xD7, 0xFD};
// The cells of the data grids.
inline constexpr QColor gridGrey{0xEE, 0xEE, 0xEE};
// The sale header's boxes (date, cashier, receipt number).
inline constexpr QColor headerGrey{0xE3, 0xE3, 0xE3};
// The program's green: the action buttons' face, the window pictures' title
// strip and footer, the program icon; the darker shade draws their rules.
inline constexpr QColor brandGreen{0x0F, 0x97, 0x04};
inline constexpr QColor brandGreenShade{0x0A, 0x6E, 0x03};
// The action buttons while hovered and while pressed.
inline constexpr QColor actionHover{0x51, 0x51, 0xFF};
inline constexpr QColor actionPressed{0x80, 0x80, 0xFF};
// The notes under a form that say what saving it does.
inline constexpr QColor noteMaroon{0x80, 0x00, 0x00};
// The frame of the hot spots over the window pictures.
inline constexpr QColor hotSpotBlue{0x09, 0x84, 0xFF};
// The frame round the control that has the keyboard focus.
inline constexpr QColor focusMark{0x00, 0x50, 0xD8};
// Grey #808080 and silver #C0C0C0 of the classic sixteen colours (Qt::gray,
// #A0A0A4, is another grey).
inline constexpr QColor grey{0x80, 0x80, 0x80};
inline constexpr QColor silver{0xC0, 0xC0, 0xC0};
// The flat controls' own colours until a window sets others: the face of
// an edit or combo box, the pressed face and the border line.
inline constexpr QColor flatFace{0xEB, 0xEA, 0xE1};
inline constexpr QColor flatPressed{0xD9, 0xD6, 0xC5};
inline constexpr QColor flatBorder{0xA0, 0x96, 0x83};

// The system's colours, from the application palette at the moment they are
// asked for, so that the controls follow a change of palette.
QColor entryBackground();   // of the boxes one types into
QColor buttonFace();
QColor buttonShadow();
QColor buttonHighlight();

} // namespace Colors

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

enum class LightnessDirection { Lighter, Darker };

// The rule behind every derived colour: percent 0 gives the fallback.
QColor adjustLightness(const QColor &base, const QColor &fallback, int percent, LightnessDirection direction);
