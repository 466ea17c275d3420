#pragma once

#include <QColor>

// Colours are kept as stored colour values: red in the low byte, then green,
// then blue (16635841 is #C1D7FD).
inline QColor colorFromValue(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}
