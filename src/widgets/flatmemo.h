#pragma once

#include "widgets/flatedit.h"

#include <QPlainTextEdit>

// A box of several lines of plain text, drawn flat like FlatEdit: the
// focused look while it has the focus, or while the pointer is over it and
// the focus is not on another flat memo. Enter starts a new line; Tab moves
// the focus on. keyDown is announced before the box handles the key.
class FlatMemo : public QPlainTextEdit
{
    Q_OBJECT

public:
    enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

    explicit FlatMemo(QWidget *parent = nullptr);

    void setColorFlat(const QColor &color) { m_look.setFlat(color); }   // also stops following the parent's colour
    QColor colorFlat() const { return m_look.colors().flat; }
    void setColorFocused(const QColor &color) { m_look.setFocused(color); }
    QColor colorFocused() const { return m_look.colors().focused; }
    void setColorBorder(const QColor &color) { m_look.setBorder(color); }
    QColor colorBorder() const { return m_look.colors().border; }
    void setParentColor(bool on) { m_look.setParentColor(on); }
    bool parentColor() const { return m_look.colors().parentColor; }
    void setUseAdvColors(bool on) { m_look.setUseAdvColors(on); }
    bool useAdvColors() const { return m_look.colors().useAdvColors; }
    void setAdvColorFocused(int percent) { m_look.setAdvFocused(percent); }
    void setAdvColorBorder(int percent) { m_look.setAdvBorder(percent); }

    void setScrollBars(TScrollStyle style);
    TScrollStyle scrollBars() const { return m_scrollBars; }

    bool focusedLook() const { return m_look.focusedLook(); }

signals:
    void keyDown(int key);

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void paintFrame();

    FlatEditLook m_look;
    TScrollStyle m_scrollBars = ssNone;

    Q_DISABLE_COPY_MOVE(FlatMemo)
};
