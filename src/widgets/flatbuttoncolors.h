#pragma once

#include <QColor>

class QWidget;

// The colours a flat speed button and a flat check box share: the colour at
// rest (the parent's background until set), the hover, pressed and frame
// colours, and the rule that derives the last three from the colour when
// UseAdvColors is on.
struct FlatButtonColors
{
    QColor color;
    bool parentColor = true;
    QColor focused;
    QColor down;
    QColor border;
    bool useAdvColors = false;
    int advFocused = 10;
    int advDown = 10;
    int advBorder = 50;

    FlatButtonColors(const QColor &focused, const QColor &down, const QColor &border);

    // The colour at rest, as owner shows it.
    QColor base(const QWidget *owner) const;

    void setColor(const QColor &value);   // also stops following the parent's colour
    void setParentColor(bool on, const QWidget *owner);
    void setUseAdvColors(bool on, const QWidget *owner);
    void setAdvFocused(int percent, const QWidget *owner);
    void setAdvDown(int percent, const QWidget *owner);
    void setAdvBorder(int percent, const QWidget *owner);
    // The parent's colour or the system colours changed.
    void paletteChanged(const QWidget *owner);
    void recompute(const QWidget *owner);
};
