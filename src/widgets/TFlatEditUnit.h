#pragma once

#include <QColor>
#include <QLineEdit>

class QPainter;

// The colours of a flat edit or memo: the flat look's fill (ColorFlat), the
// focused look's fill (ColorFocused) and the border line (ColorBorder).
// With UseAdvColors the last two are derived from the fill.
struct FlatEditColors
{
    QColor flat;
    QColor focused;
    QColor border;
    bool parentColor = true;
    bool useAdvColors = false;
    int advFocused = 10;
    int advBorder = 50;

    FlatEditColors();
    void recomputeAdvanced();
};

// The three-pixel frame of a flat edit or memo: a border line along the
// edge and two rings of the look's fill inside it.
void DrawFlatEditFrame(QPainter &painter, const QRect &rect, const QColor &border, const QColor &fill);

// A one-line edit box drawn flat, in a flat look or in the focused look it
// takes while it has the focus, or while the pointer is over it and the focus
// is not on another flat edit. Its height follows the font: character cell
// plus 6. keyDown is announced before the box handles the key.
class TFlatEdit : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr int kFrameWidth = 3;

    explicit TFlatEdit(QWidget *parent = nullptr);

    void setColorFlat(const QColor &color);   // also stops following the parent's colour
    QColor colorFlat() const { return m_colors.flat; }
    void setColorFocused(const QColor &color);
    QColor colorFocused() const { return m_colors.focused; }
    void setColorBorder(const QColor &color);
    QColor colorBorder() const { return m_colors.border; }
    void setParentColor(bool on);
    bool parentColor() const { return m_colors.parentColor; }
    void setUseAdvColors(bool on);
    bool useAdvColors() const { return m_colors.useAdvColors; }
    void setAdvColorFocused(int percent);
    int advColorFocused() const { return m_colors.advFocused; }
    void setAdvColorBorder(int percent);
    int advColorBorder() const { return m_colors.advBorder; }

    bool focusedLook() const { return m_focusedLook; }

signals:
    void keyDown(int key);

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void takeParentColor();
    void updateLook();
    void fitHeightToFont();

    FlatEditColors m_colors;
    bool m_mouseInside = false;
    bool m_focusedLook = false;
    bool m_updatingLook = false;

    Q_DISABLE_COPY_MOVE(TFlatEdit)
};
