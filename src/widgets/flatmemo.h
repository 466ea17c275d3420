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
    enum class ScrollBars { None, Horizontal, Vertical, Both };

    explicit FlatMemo(QWidget *parent = nullptr);

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
    void setBorderDarkening(int percent) { m_look.setBorderDarkening(percent); }

    void setScrollBars(ScrollBars bars);
    ScrollBars scrollBars() const { return m_scrollBars; }

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
    ScrollBars m_scrollBars = ScrollBars::None;

    Q_DISABLE_COPY_MOVE(FlatMemo)
};
