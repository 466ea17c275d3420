#pragma once

#include <QColor>

class QEvent;
class QObject;
class QWidget;

// The colours of a flat edit or memo: the flat look's fill, the focused
// look's fill and the border line. With derived colours on, the last two
// are the fill made lighter and darker by the given percent.
struct FlatEditColors
{
    QColor flat;
    QColor focused;
    QColor border;
    bool followsParentColor = true;
    bool derivedColors = false;
    int focusedLightening = 10;
    int borderDarkening = 50;

    FlatEditColors();
    void recomputeDerived();
};

// The look of a flat text box, shared by the one-line edit and the memo:
// its colours, and whether it shows the focused look (while it has the
// focus, or while the pointer is over it and the focus is not on another box
// of its kind). The fill of the look is kept in the box's Base palette role.
class FlatEditLook final
{
public:
    using SameKind = bool (*)(const QObject *);

    FlatEditLook(QWidget *box, SameKind sameKind);

    const FlatEditColors &colors() const { return m_colors; }
    bool focusedLook() const { return m_focusedLook; }
    QColor fill() const;

    void setFlat(const QColor &color);   // also stops following the parent's colour
    void setFocused(const QColor &color);
    void setBorder(const QColor &color);
    void setFollowsParentColor(bool on);
    void setDerivedColors(bool on);
    void setFocusedLightening(int percent);
    void setBorderDarkening(int percent);

    // Takes the parent's colour when following it, then decides the look.
    void adoptParentColor();
    // Decides the look again and repaints the box.
    void update();
    void pointerEntered();
    void pointerLeft();
    // To be called from the box's changeEvent, after the base class.
    void changed(const QEvent *event);

private:
    void takeParentColor();

    QWidget *m_box;
    SameKind m_sameKind;
    FlatEditColors m_colors;
    bool m_mouseInside = false;
    bool m_focusedLook = false;
    bool m_updatingLook = false;
};
