#include "TFlatEditUnit.h"

#include "FlatUtilitys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

FlatEditColors::FlatEditColors()
    : flat(ResolveColorValue(14805739))
    , focused(ResolveColorValue(16777215))
    , border(ResolveColorValue(8623776))
{
}

void FlatEditColors::recomputeAdvanced()
{
    if (!useAdvColors)
        return;
    focused = AdjustLightness(flat, focused, advFocused, LightnessDirection::Lighter);
    border = AdjustLightness(flat, border, advBorder, LightnessDirection::Darker);
}

void DrawFlatEditFrame(QPainter &painter, const QRect &rect, const QColor &border, const QColor &fill)
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

TFlatEdit::TFlatEdit(QWidget *parent)
    : QLineEdit(parent)
{
    // The platform's frame is off; three pixels around the text are ours.
    setFrame(false);
    setContentsMargins(kFrameWidth, kFrameWidth, kFrameWidth, kFrameWidth);
    resize(121, 19);
    takeParentColor();
    updateLook();
}

void TFlatEdit::setColorFlat(const QColor &color)
{
    m_colors.flat = color;
    m_colors.parentColor = false;
    updateLook();
}

void TFlatEdit::setColorFocused(const QColor &color)
{
    m_colors.focused = color;
    updateLook();
}

void TFlatEdit::setColorBorder(const QColor &color)
{
    m_colors.border = color;
    updateLook();
}

void TFlatEdit::setParentColor(bool on)
{
    if (m_colors.parentColor == on)
        return;
    m_colors.parentColor = on;
    if (on) {
        takeParentColor();
        updateLook();
    }
}

void TFlatEdit::setUseAdvColors(bool on)
{
    if (m_colors.useAdvColors == on)
        return;
    m_colors.useAdvColors = on;
    setParentColor(on);
    m_colors.recomputeAdvanced();
    updateLook();
}

void TFlatEdit::setAdvColorFocused(int percent)
{
    m_colors.advFocused = std::clamp(percent, 0, 100);
    if (m_colors.useAdvColors) {
        m_colors.recomputeAdvanced();
        updateLook();
    }
}

void TFlatEdit::setAdvColorBorder(int percent)
{
    m_colors.advBorder = std::clamp(percent, 0, 100);
    if (m_colors.useAdvColors) {
        m_colors.recomputeAdvanced();
        updateLook();
    }
}

void TFlatEdit::takeParentColor()
{
    if (m_colors.parentColor && parentWidget())
        m_colors.flat = parentWidget()->palette().color(QPalette::Window);
}

// The look is decided here and kept; the text area's background (the
// palette's base) follows it, and the frame is painted from it.
void TFlatEdit::updateLook()
{
    const QWidget *focus = QApplication::focusWidget();
    m_focusedLook = hasFocus() || (m_mouseInside && !qobject_cast<const TFlatEdit *>(focus));
    const QColor fill = m_focusedLook ? m_colors.focused : m_colors.flat;
    if (palette().color(QPalette::Base) != fill) {
        m_updatingLook = true;
        QPalette p = palette();
        p.setColor(QPalette::Base, fill);
        setPalette(p);
        m_updatingLook = false;
    }
    update();
}

void TFlatEdit::fitHeightToFont()
{
    resize(width(), QFontMetrics(font()).height() + 2 * kFrameWidth);
}

bool TFlatEdit::event(QEvent *event)
{
    if (event->type() == QEvent::Polish)
        fitHeightToFont();
    return QLineEdit::event(event);
}

void TFlatEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        fitHeightToFont();
        break;
    case QEvent::EnabledChange:
        updateLook();
        break;
    case QEvent::ParentChange:
    case QEvent::PaletteChange:
        // The parent's colour changed, or the system colours did.
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

void TFlatEdit::paintEvent(QPaintEvent *event)
{
    const QColor fill = m_focusedLook ? m_colors.focused : m_colors.flat;
    {
        QPainter p(this);
        p.fillRect(rect(), fill);
    }
    QLineEdit::paintEvent(event);
    QPainter p(this);
    DrawFlatEditFrame(p, rect(), m_colors.border, fill);
}

void TFlatEdit::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key());
    QLineEdit::keyPressEvent(event);
}

void TFlatEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    updateLook();
}

void TFlatEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    updateLook();
}

void TFlatEdit::enterEvent(QEnterEvent *event)
{
    QLineEdit::enterEvent(event);
    if (QApplication::activeWindow()) {
        m_mouseInside = true;
        updateLook();
    }
}

void TFlatEdit::leaveEvent(QEvent *event)
{
    QLineEdit::leaveEvent(event);
    m_mouseInside = false;
    updateLook();
}
