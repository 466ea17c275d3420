#include "TFlatPanelUnit.h"

#include "FlatUtilitys.h"

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
    painter.setPen(ResolveColorValue(0x80000014));   // button highlight
    painter.drawText(rect.translated(1, 1), flags, text);
    painter.setPen(ResolveColorValue(0x80000010));   // button shadow
    painter.drawText(rect, flags, text);
    painter.restore();
}

TFlatPanel::TFlatPanel(QWidget *parent)
    : QFrame(parent)
    , m_colorHighLight(ResolveColorValue(8623776))
    , m_colorShadow(ResolveColorValue(8623776))
{
    // The frame is drawn here, not by QFrame; contents reach the edges.
    setFrameShape(QFrame::NoFrame);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(185, 41);
}

QSize TFlatPanel::sizeHint() const
{
    return {185, 41};
}

// The colour lives in the palette's window colour, so controls placed on
// the panel that follow their parent's colour see it.
void TFlatPanel::setColor(const QColor &color)
{
    m_parentColor = false;
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
    update();
}

QColor TFlatPanel::color() const
{
    return palette().color(QPalette::Window);
}

void TFlatPanel::setParentColor(bool on)
{
    if (m_parentColor == on)
        return;
    m_parentColor = on;
    if (on)
        FollowParentColor(this);
    update();
}

void TFlatPanel::setColorHighLight(const QColor &color)
{
    m_colorHighLight = color;
    update();
}

void TFlatPanel::setColorShadow(const QColor &color)
{
    m_colorShadow = color;
    update();
}

void TFlatPanel::setTransparent(bool on)
{
    m_transparent = on;
    // Transparent: the parent, drawn beneath by Qt, shows through.
    setAttribute(Qt::WA_OpaquePaintEvent, !on);
    update();
}

void TFlatPanel::setCaption(const QString &caption)
{
    m_caption = caption;
    update();
}

void TFlatPanel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    update();
}

void TFlatPanel::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        update();
}

void TFlatPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!m_transparent)
        p.fillRect(rect(), color());
    DrawBevelFrame(p, rect(), m_colorHighLight, m_colorShadow, 1);
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
