#include "flatpanel.h"

#include "widgets/colors.h"
#include "widgets/bevel.h"

#include <QEvent>
#include <QPainter>

void FollowParentColor(QWidget *widget)
{
    const QPalette own = widget->palette();
    QPalette kept;   // nothing set: every role comes from the parent
    for (int g = 0; g < QPalette::NColorGroups; ++g) {
        const auto group = QPalette::ColorGroup(g);
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto role = QPalette::ColorRole(r);
            if (role != QPalette::Window && own.isBrushSet(group, role))
                kept.setBrush(group, role, own.brush(group, role));
        }
    }
    widget->setPalette(kept);
}

void DrawEmbossedText(QPainter &painter, const QRect &rect, int flags, const QString &text)
{
    painter.save();
    painter.setPen(resolveColorValue(0x80000014));   // button highlight
    painter.drawText(rect.translated(1, 1), flags, text);
    painter.setPen(resolveColorValue(0x80000010));   // button shadow
    painter.drawText(rect, flags, text);
    painter.restore();
}

FlatPanel::FlatPanel(QWidget *parent)
    : QFrame(parent)
    , m_colorHighLight(resolveColorValue(8623776))
    , m_colorShadow(resolveColorValue(8623776))
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

// The colour lives in the palette's window colour, so controls placed on
// the panel that follow their parent's colour see it.
void FlatPanel::setColor(const QColor &color)
{
    m_parentColor = false;
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
    update();
}

QColor FlatPanel::color() const
{
    return palette().color(QPalette::Window);
}

void FlatPanel::setParentColor(bool on)
{
    if (m_parentColor == on)
        return;
    m_parentColor = on;
    if (on)
        FollowParentColor(this);
    update();
}

void FlatPanel::setColorHighLight(const QColor &color)
{
    m_colorHighLight = color;
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
    drawBevelFrame(p, rect(), m_colorHighLight, m_colorShadow, 1);
    if (m_caption.isEmpty())
        return;
    p.setFont(font());
    const int flags = int(m_alignment) | Qt::AlignVCenter | Qt::TextSingleLine;
    if (isEnabled()) {
        p.setPen(palette().color(QPalette::Active, QPalette::WindowText));
        p.drawText(rect(), flags, m_caption);
    } else {
        DrawEmbossedText(p, rect(), flags, m_caption);
    }
}
