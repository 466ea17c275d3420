#pragma once

#include "widgets/hoverwatch.h"
#include "widgets/flatbuttoncolors.h"

#include <QAbstractButton>

// A flat check box: an 11 x 11 box at the top of the control with a drawn
// tick, and a word-wrapped caption beside it. The whole control is the hit
// area. Every change of the checked state, by the user or by the program,
// emits clicked() once. The hover look is kept by one timer shared by all
// flat check boxes.
class FlatCheckBox final : public QAbstractButton, private HoverClient
{
    Q_OBJECT

public:
    enum class BoxSide { Left, Right };

    explicit FlatCheckBox(const QString &caption, QWidget *parent = nullptr);
    ~FlatCheckBox() override;
    Q_DISABLE_COPY_MOVE(FlatCheckBox)

    // Background of the control and fill of the box at rest; until set, the
    // parent's background colour.
    QColor color() const;
    void setColor(const QColor &color);
    bool followsParentColor() const { return m_colors.followsParentColor; }
    void setFollowsParentColor(bool on);
    QColor colorFocused() const { return m_colors.focused; }
    void setColorFocused(const QColor &color);
    QColor colorDown() const { return m_colors.down; }
    void setColorDown(const QColor &color);
    QColor colorCheck() const { return m_colorCheck; }
    void setColorCheck(const QColor &color);
    QColor colorBorder() const { return m_colors.border; }
    void setColorBorder(const QColor &color);
    void setFontColor(const QColor &color);

    // Which side of the caption the box stands on.
    BoxSide boxSide() const { return m_boxSide; }
    void setBoxSide(BoxSide side);
    // Show what lies beneath instead of filling the control with its colour.
    bool isTransparent() const { return m_transparent; }
    void setTransparent(bool transparent);

    // Derive the focused, pressed and outline colours from the colour.
    bool derivedColors() const { return m_colors.derivedColors; }
    void setDerivedColors(bool use);
    int focusedLightening() const { return m_colors.focusedLightening; }
    void setFocusedLightening(int percent);
    int downDarkening() const { return m_colors.downDarkening; }
    void setDownDarkening(int percent);
    int borderDarkening() const { return m_colors.borderDarkening; }
    void setBorderDarkening(int percent);

    QRect boxRect() const;
    bool isHovered() const { return m_hovered; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QWidget *hoverWidget() override { return this; }
    void pointerEntered() override;
    void pointerLeft() override;

    void toggleChecked();
    void updateBox();
    void drawBox(QPainter &painter) const;

    FlatButtonColors m_colors;
    QColor m_colorCheck;
    BoxSide m_boxSide = BoxSide::Left;
    bool m_transparent = false;

    bool m_hovered = false;
    bool m_pressing = false;
    bool m_focused = false;
};
