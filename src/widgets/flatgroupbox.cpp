#include "flatgroupbox.h"

#include "widgets/colors.h"
#include "widgets/flatpanel.h"

#include <QEvent>
#include <QKeySequence>
#include <QPainter>

#include <algorithm>

namespace {

// Joined straight lines through the points; as with every line this set
// draws, the final point is left unpainted.
void drawOpenPolyline(QPainter &p, std::initializer_list<QPoint> points)
{
    const QPoint *a = points.begin();
    for (const QPoint *b = a + 1; b != points.end(); a = b, ++b) {
        if (a->y() == b->y() && a->x() != b->x()) {
            const int step = b->x() > a->x() ? 1 : -1;
            p.fillRect(QRect(QPoint(std::min(a->x(), b->x() - step), a->y()),
                             QPoint(std::max(a->x(), b->x() - step), a->y())),
                       p.pen().color());
        } else if (a->x() == b->x() && a->y() != b->y()) {
            const int step = b->y() > a->y() ? 1 : -1;
            p.fillRect(QRect(QPoint(a->x(), std::min(a->y(), b->y() - step)),
                             QPoint(a->x(), std::max(a->y(), b->y() - step))),
                       p.pen().color());
        }
    }
}

} // namespace

FlatGroupBox::FlatGroupBox(QWidget *parent)
    : QWidget(parent)
    , m_fill(this)
    , m_colorBorder(Colors::flatBorder)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(185, 105);
}

QSize FlatGroupBox::sizeHint() const
{
    return {185, 105};
}

void FlatGroupBox::setColor(const QColor &color)
{
    m_fill.setColor(color);
    update();
}

QColor FlatGroupBox::color() const
{
    return m_fill.color();
}

void FlatGroupBox::setFollowsParentColor(bool on)
{
    if (m_fill.followsParent() == on)
        return;
    m_fill.setFollowsParent(on);
    update();
}

void FlatGroupBox::setColorBorder(const QColor &color)
{
    m_colorBorder = color;
    update();
}

void FlatGroupBox::setBorder(Border border)
{
    m_border = border;
    update();
}

void FlatGroupBox::setDerivedColors(bool on)
{
    if (m_derivedColors == on)
        return;
    m_derivedColors = on;
    setFollowsParentColor(on);
    recomputeDerived();
    update();
}

void FlatGroupBox::setBorderDarkening(int percent)
{
    m_borderDarkening = std::clamp(percent, 0, 100);
    recomputeDerived();
    update();
}

void FlatGroupBox::recomputeDerived()
{
    if (m_derivedColors)
        m_colorBorder = adjustLightness(color(), m_colorBorder, m_borderDarkening, LightnessDirection::Darker);
}

void FlatGroupBox::setTransparent(bool on)
{
    m_transparent = on;
    setAttribute(Qt::WA_OpaquePaintEvent, !on);
    update();
}

void FlatGroupBox::setCaption(const QString &caption)
{
    m_caption = caption;
    if (m_shortcutId)
        releaseShortcut(m_shortcutId);
    m_shortcutId = grabShortcut(QKeySequence::mnemonic(caption));
    update();
}

bool FlatGroupBox::event(QEvent *event)
{
    // The caption's accelerator brings the focus to the box.
    if (event->type() == QEvent::Shortcut) {
        if (isEnabled() && isVisible())
            setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QWidget::event(event);
}

void FlatGroupBox::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::PaletteChange:
        // The parent's colour or the system colours changed.
        if (m_derivedColors && m_fill.followsParent())
            recomputeDerived();
        update();
        break;
    case QEvent::EnabledChange:
    case QEvent::FontChange:
    case QEvent::LayoutDirectionChange:
        update();
        break;
    default:
        break;
    }
}

void FlatGroupBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!m_transparent)
        p.fillRect(rect(), color());
    p.setFont(font());
    const QFontMetrics fm(font());
    const int tw = fm.horizontalAdvance(m_caption);
    const int th = fm.height();
    const int l = 0;
    const int t = 0;
    const int r = width();
    const int b = height();
    const int y = t + th / 2;
    const bool rtl = layoutDirection() == Qt::RightToLeft;

    p.setPen(m_colorBorder);
    if (m_border == Border::Full) {
        if (!rtl)
            drawOpenPolyline(p, {{l + 5, y}, {l, y}, {l, b - 1}, {r - 1, b - 1}, {r - 1, y}, {l + tw + 12, y}});
        else
            drawOpenPolyline(p, {{r - tw - 15, y}, {l, y}, {l, b - 1}, {r - 1, b - 1}, {r - 1, y}, {r - 7, y}});
    } else if (!rtl) {
        drawOpenPolyline(p, {{l + 5, y}, {l, y}});
        drawOpenPolyline(p, {{r - 1, y}, {l + tw + 12, y}});
    } else {
        drawOpenPolyline(p, {{r - 5, y}, {r, y}});
        drawOpenPolyline(p, {{l + 1, y}, {r - tw - 12, y}});
    }

    if (m_caption.isEmpty())
        return;
    const QRect captionRect(QPoint(l + 10, t), QPoint(r - 10 - 1, t + th - 1));
    const int flags = (rtl ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop | Qt::TextSingleLine
        | Qt::TextShowMnemonic;
    if (isEnabled()) {
        p.setPen(palette().color(QPalette::Active, QPalette::WindowText));
        p.drawText(captionRect, flags, m_caption);
    } else {
        drawEmbossedText(p, captionRect, flags, m_caption);
    }
}
