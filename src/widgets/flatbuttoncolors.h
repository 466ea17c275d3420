#pragma once

#include <QColor>

class QWidget;

// The colours a flat speed button and a flat check box share: the colour at
// rest (the parent's background until set), the hover, pressed and frame
// colours, and the rule that derives the last three from the colour when
// derived colours are on: lighter or darker by the given percent.
struct FlatButtonColors
{
    QColor color;
    bool followsParentColor = true;
    QColor focused;
    QColor down;
    QColor border;
    bool derivedColors = false;
    int focusedLightening = 10;
    int downDarkening = 10;
    int borderDarkening = 50;

    FlatButtonColors(const QColor &focused, const QColor &down, const QColor &border);

    // The colour at rest, as owner shows it.
    QColor base(const QWidget *owner) const;

    void setColor(const QColor &value);   // also stops following the parent's colour
    void setFollowsParentColor(bool on, const QWidget *owner);
    void setDerivedColors(bool on, const QWidget *owner);
    void setFocusedLightening(int percent, const QWidget *owner);
    void setDownDarkening(int percent, const QWidget *owner);
    void setBorderDarkening(int percent, const QWidget *owner);
    // The parent's colour or the system colours changed.
    void paletteChanged(const QWidget *owner);
    void recompute(const QWidget *owner);
};
