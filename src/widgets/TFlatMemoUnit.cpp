#include "TFlatMemoUnit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

TFlatMemo::TFlatMemo(QWidget *parent)
    : QPlainTextEdit(parent)
{
    // A plain three-pixel frame keeps the scroll bars and the text inside
    // the border this box draws itself.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(TFlatEdit::kFrameWidth);
    setTabChangesFocus(true);
    setScrollBars(ssNone);
    resize(185, 89);
    takeParentColor();
    updateLook();
}

void TFlatMemo::setColorFlat(const QColor &color)
{
    m_colors.flat = color;
    m_colors.parentColor = false;
    updateLook();
}

void TFlatMemo::setColorFocused(const QColor &color)
{
    m_colors.focused = color;
    updateLook();
}

void TFlatMemo::setColorBorder(const QColor &color)
{
    m_colors.border = color;
    updateLook();
}

void TFlatMemo::setParentColor(bool on)
{
    if (m_colors.parentColor == on)
        return;
    m_colors.parentColor = on;
    if (on) {
        takeParentColor();
        updateLook();
    }
}

void TFlatMemo::setUseAdvColors(bool on)
{
    if (m_colors.useAdvColors == on)
        return;
    m_colors.useAdvColors = on;
    setParentColor(on);
    m_colors.recomputeAdvanced();
    updateLook();
}

void TFlatMemo::setAdvColorFocused(int percent)
{
    m_colors.advFocused = std::clamp(percent, 0, 100);
    if (m_colors.useAdvColors) {
        m_colors.recomputeAdvanced();
        updateLook();
    }
}

void TFlatMemo::setAdvColorBorder(int percent)
{
    m_colors.advBorder = std::clamp(percent, 0, 100);
    if (m_colors.useAdvColors) {
        m_colors.recomputeAdvanced();
        updateLook();
    }
}

void TFlatMemo::setScrollBars(TScrollStyle style)
{
    m_scrollBars = style;
    const bool horizontal = style == ssHorizontal || style == ssBoth;
    const bool vertical = style == ssVertical || style == ssBoth;
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    update();
}

void TFlatMemo::takeParentColor()
{
    if (m_colors.parentColor && parentWidget())
        m_colors.flat = parentWidget()->palette().color(QPalette::Window);
}

void TFlatMemo::updateLook()
{
    const QWidget *focus = QApplication::focusWidget();
    m_focusedLook = hasFocus() || (m_mouseInside && !qobject_cast<const TFlatMemo *>(focus));
    const QColor fill = m_focusedLook ? m_colors.focused : m_colors.flat;
    if (palette().color(QPalette::Base) != fill) {
        m_updatingLook = true;
        QPalette p = palette();
        p.setColor(QPalette::Base, fill);
        setPalette(p);
        m_updatingLook = false;
    }
    update();
    viewport()->update();
}

// The frame belongs to the box itself; the text area is the viewport.
void TFlatMemo::paintFrame()
{
    const QColor fill = m_focusedLook ? m_colors.focused : m_colors.flat;
    QPainter p(this);
    DrawFlatEditFrame(p, rect(), m_colors.border, fill);
    const QScrollBar *vertical = verticalScrollBar();
    const QScrollBar *horizontal = horizontalScrollBar();
    if (m_scrollBars == ssBoth && vertical->isVisible() && horizontal->isVisible()) {
        // The square between the two bars (they sit in containers of their own).
        const int x = vertical->mapTo(this, QPoint(0, 0)).x();
        const int y = horizontal->mapTo(this, QPoint(0, 0)).y();
        p.fillRect(QRect(x, y, vertical->width(), horizontal->height()), fill);
    }
}

bool TFlatMemo::event(QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        paintFrame();
        return true;
    }
    return QPlainTextEdit::event(event);
}

void TFlatMemo::changeEvent(QEvent *event)
{
    QPlainTextEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        updateLook();
        break;
    case QEvent::ParentChange:
    case QEvent::PaletteChange:
        if (m_updatingLook)
            break;
        takeParentColor();
        m_colors.recomputeAdvanced();
        updateLook();
        break;
    default:
        break;
    }
}

void TFlatMemo::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key());
    QPlainTextEdit::keyPressEvent(event);
}

void TFlatMemo::focusInEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusInEvent(event);
    updateLook();
}

void TFlatMemo::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    updateLook();
}

void TFlatMemo::enterEvent(QEnterEvent *event)
{
    QPlainTextEdit::enterEvent(event);
    if (QApplication::activeWindow()) {
        m_mouseInside = true;
        updateLook();
    }
}

void TFlatMemo::leaveEvent(QEvent *event)
{
    QPlainTextEdit::leaveEvent(event);
    m_mouseInside = false;
    updateLook();
}
