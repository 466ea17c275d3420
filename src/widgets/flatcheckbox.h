#pragma once

#include "widgets/hoverwatch.h"
#include "widgets/flatbuttoncolors.h"

#include <QAbstractButton>

enum TCheckBoxLayout { checkboxLeft, checkboxRight };

// A flat check box: an 11 x 11 box at the top of the control with a drawn
// tick, and a word-wrapped caption beside it. The whole control is the hit
// area. Every change of the checked state, by the user or by the program,
// emits clicked() once. The hover look is kept by one timer shared by all
// flat check boxes.
class FlatCheckBox final : public QAbstractButton, private HoverClient
{
    Q_OBJECT

public:
    explicit FlatCheckBox(const QString &caption, QWidget *parent = nullptr);
    ~FlatCheckBox() override;
    Q_DISABLE_COPY_MOVE(FlatCheckBox)

    // Background of the control and fill of the box at rest; until set, the
    // parent's background colour.
    QColor color() const;
    void setColor(const QColor &color);
    bool parentColor() const { return m_colors.parentColor; }
    void setParentColor(bool parentColor);
    QColor colorFocused() const { return m_colors.focused; }
    void setColorFocused(const QColor &color);
    QColor colorDown() const { return m_colors.down; }
    void setColorDown(const QColor &color);
    QColor colorCheck() const { return m_colorCheck; }
    void setColorCheck(const QColor &color);
    QColor colorBorder() const { return m_colors.border; }
    void setColorBorder(const QColor &color);
    void setFontColor(const QColor &color);

    TCheckBoxLayout checkBoxLayout() const { return m_layout; }
    void setCheckBoxLayout(TCheckBoxLayout layout);
    // Show what lies beneath instead of filling the control with its colour.
    bool isTransparent() const { return m_transparent; }
    void setTransparent(bool transparent);

    // Derive the focused, pressed and outline colours from the colour.
    bool useAdvColors() const { return m_colors.useAdvColors; }
    void setUseAdvColors(bool use);
    int advColorFocused() const { return m_colors.advFocused; }
    void setAdvColorFocused(int percent);
    int advColorDown() const { return m_colors.advDown; }
    void setAdvColorDown(int percent);
    int advColorBorder() const { return m_colors.advBorder; }
    void setAdvColorBorder(int percent);

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
    TCheckBoxLayout m_layout = checkboxLeft;
    bool m_transparent = false;

    bool m_hovered = false;
    bool m_pressing = false;
    bool m_focused = false;
};
