#include "flatmemo.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {
bool isFlatMemo(const QObject *object)
{
    return qobject_cast<const FlatMemo *>(object) != nullptr;
}
} // namespace

FlatMemo::FlatMemo(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_look(this, &isFlatMemo)
{
    // A plain three-pixel frame keeps the scroll bars and the text inside
    // the border this box draws itself.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(FlatEdit::kFrameWidth);
    setTabChangesFocus(true);
    setScrollBars(ScrollBars::None);
    resize(185, 89);
    m_look.adoptParentColor();
}

void FlatMemo::setScrollBars(ScrollBars bars)
{
    m_scrollBars = bars;
    const bool horizontal = bars == ScrollBars::Horizontal || bars == ScrollBars::Both;
    const bool vertical = bars == ScrollBars::Vertical || bars == ScrollBars::Both;
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    update();
}

// The frame belongs to the box itself; the text area is the viewport.
void FlatMemo::paintFrame()
{
    const QColor fill = m_look.fill();
    QPainter p(this);
    drawFlatEditFrame(p, rect(), m_look.colors().border, fill);
    const QScrollBar *vertical = verticalScrollBar();
    const QScrollBar *horizontal = horizontalScrollBar();
    if (m_scrollBars == ScrollBars::Both && vertical->isVisible() && horizontal->isVisible()) {
        // The square between the two bars (they sit in containers of their own).
        const int x = vertical->mapTo(this, QPoint(0, 0)).x();
        const int y = horizontal->mapTo(this, QPoint(0, 0)).y();
        p.fillRect(QRect(x, y, vertical->width(), horizontal->height()), fill);
    }
}

bool FlatMemo::event(QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        paintFrame();
        return true;
    }
    return QPlainTextEdit::event(event);
}

void FlatMemo::changeEvent(QEvent *event)
{
    QPlainTextEdit::changeEvent(event);
    m_look.changed(event);
}

void FlatMemo::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key());
    QPlainTextEdit::keyPressEvent(event);
}

void FlatMemo::focusInEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusInEvent(event);
    m_look.update();
}

void FlatMemo::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    m_look.update();
}

void FlatMemo::enterEvent(QEnterEvent *event)
{
    QPlainTextEdit::enterEvent(event);
    m_look.pointerEntered();
}

void FlatMemo::leaveEvent(QEvent *event)
{
    QPlainTextEdit::leaveEvent(event);
    m_look.pointerLeft();
}
