#pragma once

#include "widgets/flateditlook.h"

#include <QColor>
#include <QLineEdit>

class QPainter;

// The three-pixel frame of a flat edit or memo: a border line along the
// edge and two rings of the look's fill inside it.
void drawFlatEditFrame(QPainter &painter, const QRect &rect, const QColor &border, const QColor &fill);

// A one-line edit box drawn flat, in a flat look or in the focused look it
// takes while it has the focus, or while the pointer is over it and the focus
// is not on another flat edit. Its height follows the font: character cell
// plus 6. keyDown is announced before the box handles the key.
class FlatEdit : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr int kFrameWidth = 3;

    explicit FlatEdit(QWidget *parent = nullptr);

    void setColorFlat(const QColor &color) { m_look.setFlat(color); }   // also stops following the parent's colour
    QColor colorFlat() const { return m_look.colors().flat; }
    void setColorFocused(const QColor &color) { m_look.setFocused(color); }
    QColor colorFocused() const { return m_look.colors().focused; }
    void setColorBorder(const QColor &color) { m_look.setBorder(color); }
    QColor colorBorder() const { return m_look.colors().border; }
    void setFollowsParentColor(bool on) { m_look.setFollowsParentColor(on); }
    bool followsParentColor() const { return m_look.colors().followsParentColor; }
    void setDerivedColors(bool on) { m_look.setDerivedColors(on); }
    bool derivedColors() const { return m_look.colors().derivedColors; }
    void setFocusedLightening(int percent) { m_look.setFocusedLightening(percent); }
    int focusedLightening() const { return m_look.colors().focusedLightening; }
    void setBorderDarkening(int percent) { m_look.setBorderDarkening(percent); }
    int borderDarkening() const { return m_look.colors().borderDarkening; }

    bool focusedLook() const { return m_look.focusedLook(); }

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
    void fitHeightToFont();

    FlatEditLook m_look;

    Q_DISABLE_COPY_MOVE(FlatEdit)
};
