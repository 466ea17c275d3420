#pragma once

#include "widgets/colors.h"

#include <QColor>

// Colours are kept as stored colour values: red in the low byte, then green,
// then blue (16635841 is #C1D7FD); a high byte of 0x80 names a system colour.
inline QColor colorFromValue(quint32 value)
{
    return resolveColorValue(value);
}

// The named colour values the windows use. "Gray" on the screens is clGray,
// #808080; Qt::gray is another grey (#A0A0A4) and is not used.
inline constexpr quint32 clBlack = 0;
inline constexpr quint32 clWhite = 16777215;
inline constexpr quint32 clGray = 8421504;
inline constexpr quint32 clSilver = 12632256;
inline constexpr quint32 clBlue = 16711680;
inline constexpr quint32 clAqua = 16776960;
inline constexpr quint32 clWindow = 0x80000005;
inline constexpr quint32 clWindowText = 0x80000008;
inline constexpr quint32 clHighlight = 0x8000000D;
inline constexpr quint32 clBtnFace = 0x8000000F;
inline constexpr quint32 clBtnShadow = 0x80000010;
inline constexpr quint32 clBtnHighlight = 0x80000014;
