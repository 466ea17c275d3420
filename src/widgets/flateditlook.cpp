#include "flateditlook.h"

#include "widgets/colors.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <algorithm>

FlatEditColors::FlatEditColors()
    : flat(Colors::flatFace)
    , focused(Qt::white)
    , border(Colors::flatBorder)
{
}

void FlatEditColors::recomputeDerived()
{
    if (!derivedColors)
        return;
    focused = adjustLightness(flat, focused, focusedLightening, LightnessDirection::Lighter);
    border = adjustLightness(flat, border, borderDarkening, LightnessDirection::Darker);
}

FlatEditLook::FlatEditLook(QWidget *box, SameKind sameKind)
    : m_box(box)
    , m_sameKind(sameKind)
{
}

void FlatEditLook::setFlat(const QColor &color)
{
    m_colors.flat = color;
    m_colors.followsParentColor = false;
    update();
}

void FlatEditLook::setFocused(const QColor &color)
{
    m_colors.focused = color;
    update();
}

void FlatEditLook::setBorder(const QColor &color)
{
    m_colors.border = color;
    update();
}

void FlatEditLook::setFollowsParentColor(bool on)
{
    if (m_colors.followsParentColor == on)
        return;
    m_colors.followsParentColor = on;
    if (on) {
        takeParentColor();
        update();
    }
}

void FlatEditLook::setDerivedColors(bool on)
{
    if (m_colors.derivedColors == on)
        return;
    m_colors.derivedColors = on;
    setFollowsParentColor(on);
    m_colors.recomputeDerived();
    update();
}

void FlatEditLook::setFocusedLightening(int percent)
{
    m_colors.focusedLightening = std::clamp(percent, 0, 100);
    if (m_colors.derivedColors) {
        m_colors.recomputeDerived();
        update();
    }
}

void FlatEditLook::setBorderDarkening(int percent)
{
    m_colors.borderDarkening = std::clamp(percent, 0, 100);
    if (m_colors.derivedColors) {
        m_colors.recomputeDerived();
        update();
    }
}

void FlatEditLook::takeParentColor()
{
    if (m_colors.followsParentColor && m_box->parentWidget())
        m_colors.flat = m_box->parentWidget()->palette().color(QPalette::Window);
}

void FlatEditLook::adoptParentColor()
{
    takeParentColor();
    m_colors.recomputeDerived();
    update();
}

QColor FlatEditLook::fill() const
{
    // A box that does not apply offers no white writing surface: the panel shows through.
    if (!m_box->isEnabled() && m_box->parentWidget())
        return m_box->parentWidget()->palette().color(QPalette::Window);
    return m_focusedLook ? m_colors.focused : m_colors.flat;
}

// The look is decided here and kept; the text area's background (the
// palette's base) follows it, and the frame is painted from it.
void FlatEditLook::update()
{
    m_focusedLook = m_box->hasFocus() || (m_mouseInside && !m_sameKind(QApplication::focusWidget()));
    const QColor colour = fill();
    if (m_box->palette().color(QPalette::Base) != colour) {
        m_updatingLook = true;
        QPalette p = m_box->palette();
        p.setColor(QPalette::Base, colour);
        m_box->setPalette(p);
        m_updatingLook = false;
    }
    m_box->update();
    if (auto *area = qobject_cast<QAbstractScrollArea *>(m_box))
        area->viewport()->update();
}

void FlatEditLook::pointerEntered()
{
    if (QApplication::activeWindow()) {
        m_mouseInside = true;
        update();
    }
}

void FlatEditLook::pointerLeft()
{
    m_mouseInside = false;
    update();
}

void FlatEditLook::changed(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
        update();
        break;
    case QEvent::ParentChange:
    case QEvent::PaletteChange:
        // The parent's colour changed, or the system colours did; not our own fill.
        if (!m_updatingLook)
            adoptParentColor();
        break;
    default:
        break;
    }
}
