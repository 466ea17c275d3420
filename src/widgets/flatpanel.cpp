#include "flatpanel.h"

#include "widgets/colors.h"
#include "widgets/bevel.h"

#include <QEvent>
#include <QPainter>

void drawEmbossedText(QPainter &painter, const QRect &rect, int flags, const QString &text)
{
    painter.save();
    painter.setPen(Colors::buttonHighlight());
    painter.drawText(rect.translated(1, 1), flags, text);
    painter.setPen(Colors::buttonShadow());
    painter.drawText(rect, flags, text);
    painter.restore();
}

FlatPanel::FlatPanel(QWidget *parent)
    : QFrame(parent)
    , m_fill(this)
    , m_colorHighlight(Colors::flatBorder)
    , m_colorShadow(Colors::flatBorder)
{
    // The frame is drawn here, not by QFrame; contents reach the edges.
    setFrameShape(QFrame::NoFrame);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(185, 41);
}

QSize FlatPanel::sizeHint() const
{
    return {185, 41};
}

void FlatPanel::setColor(const QColor &color)
{
    m_fill.setColor(color);
    update();
}

QColor FlatPanel::color() const
{
    return m_fill.color();
}

void FlatPanel::setFollowsParentColor(bool on)
{
    if (m_fill.followsParent() == on)
        return;
    m_fill.setFollowsParent(on);
    update();
}

void FlatPanel::setColorHighlight(const QColor &color)
{
    m_colorHighlight = color;
    update();
}

void FlatPanel::setColorShadow(const QColor &color)
{
    m_colorShadow = color;
    update();
}

void FlatPanel::setTransparent(bool on)
{
    m_transparent = on;
    // Transparent: the parent, drawn beneath by Qt, shows through.
    setAttribute(Qt::WA_OpaquePaintEvent, !on);
    update();
}

void FlatPanel::setCaption(const QString &caption)
{
    m_caption = caption;
    update();
}

void FlatPanel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    update();
}

void FlatPanel::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        update();
}

void FlatPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!m_transparent)
        p.fillRect(rect(), color());
    drawBevelFrame(p, rect(), m_colorHighlight, m_colorShadow, 1);
    if (m_caption.isEmpty())
        return;
    p.setFont(font());
    const int flags = int(m_alignment) | Qt::AlignVCenter | Qt::TextSingleLine;
    if (isEnabled()) {
        p.setPen(palette().color(QPalette::Active, QPalette::WindowText));
        p.drawText(rect(), flags, m_caption);
    } else {
        drawEmbossedText(p, rect(), flags, m_caption);
    }
}
