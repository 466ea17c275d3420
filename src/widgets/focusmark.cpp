#include "focusmark.h"

#include "widgets/colors.h"

#include <QEvent>
#include <QPainter>

FocusMark::FocusMark(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void FocusMark::follow(QWidget *control)
{
    if (m_control == control)
        return;
    if (m_control)
        m_control->removeEventFilter(this);
    m_control = control;
    if (!m_control || !m_control->parentWidget()) {
        hide();
        return;
    }
    m_control->installEventFilter(this);
    place();
}

void FocusMark::place()
{
    if (!m_control || !m_control->isVisible() || !m_control->parentWidget()) {
        hide();
        return;
    }
    if (parentWidget() != m_control->parentWidget())
        setParent(m_control->parentWidget());
    setGeometry(m_control->geometry().adjusted(-kWidth, -kWidth, kWidth, kWidth));
    raise();
    show();
}

bool FocusMark::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_control) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::ParentChange:
        case QEvent::ZOrderChange:
            place();
            break;
        case QEvent::Hide:
            hide();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusMark::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect r = rect();
    const QColor colour = Colors::focusMark;
    painter.fillRect(QRect(r.left(), r.top(), r.width(), kWidth), colour);
    painter.fillRect(QRect(r.left(), r.bottom() - kWidth + 1, r.width(), kWidth), colour);
    painter.fillRect(QRect(r.left(), r.top(), kWidth, r.height()), colour);
    painter.fillRect(QRect(r.right() - kWidth + 1, r.top(), kWidth, r.height()), colour);
}
