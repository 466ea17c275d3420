#include "flatedit.h"


#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

void drawFlatEditFrame(QPainter &painter, const QRect &rect, const QColor &border, const QColor &fill)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    QRect ring = rect.adjusted(0, 0, -1, -1);   // drawRect covers one pixel more each way
    painter.setPen(border);
    painter.drawRect(ring);
    painter.setPen(fill);
    painter.drawRect(ring.adjusted(1, 1, -1, -1));
    painter.drawRect(ring.adjusted(2, 2, -2, -2));
    painter.restore();
}

namespace {
bool isFlatEdit(const QObject *object)
{
    return qobject_cast<const FlatEdit *>(object) != nullptr;
}
} // namespace

FlatEdit::FlatEdit(QWidget *parent)
    : QLineEdit(parent)
    , m_look(this, &isFlatEdit)
{
    // The platform's frame is off; three pixels around the text are ours.
    setFrame(false);
    setContentsMargins(kFrameWidth, kFrameWidth, kFrameWidth, kFrameWidth);
    resize(121, 19);
    m_look.adoptParentColor();
}

void FlatEdit::fitHeightToFont()
{
    resize(width(), QFontMetrics(font()).height() + 2 * kFrameWidth);
}

bool FlatEdit::event(QEvent *event)
{
    if (event->type() == QEvent::Polish)
        fitHeightToFont();
    return QLineEdit::event(event);
}

void FlatEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitHeightToFont();
    m_look.changed(event);
}

void FlatEdit::paintEvent(QPaintEvent *event)
{
    const QColor fill = m_look.fill();
    {
        QPainter p(this);
        p.fillRect(rect(), fill);
    }
    QLineEdit::paintEvent(event);
    QPainter p(this);
    drawFlatEditFrame(p, rect(), m_look.colors().border, fill);
}

void FlatEdit::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key());
    QLineEdit::keyPressEvent(event);
}

void FlatEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    m_look.update();
}

void FlatEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    m_look.update();
}

void FlatEdit::enterEvent(QEnterEvent *event)
{
    QLineEdit::enterEvent(event);
    m_look.pointerEntered();
}

void FlatEdit::leaveEvent(QEvent *event)
{
    QLineEdit::leaveEvent(event);
    m_look.pointerLeft();
}
