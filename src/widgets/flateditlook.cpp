#include "flateditlook.h"

#include "widgets/colors.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <algorithm>

FlatEditColors::FlatEditColors()
    : flat(resolveColorValue(14805739))
    , focused(resolveColorValue(16777215))
    , border(resolveColorValue(8623776))
{
}

void FlatEditColors::recomputeAdvanced()
{
    if (!useAdvColors)
        return;
    focused = adjustLightness(flat, focused, advFocused, LightnessDirection::Lighter);
    border = adjustLightness(flat, border, advBorder, LightnessDirection::Darker);
}

FlatEditLook::FlatEditLook(QWidget *box, SameKind sameKind)
    : m_box(box)
    , m_sameKind(sameKind)
{
}

void FlatEditLook::setFlat(const QColor &color)
{
    m_colors.flat = color;
    m_colors.parentColor = false;
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

void FlatEditLook::setParentColor(bool on)
{
    if (m_colors.parentColor == on)
        return;
    m_colors.parentColor = on;
    if (on) {
        takeParentColor();
        update();
    }
}

void FlatEditLook::setUseAdvColors(bool on)
{
    if (m_colors.useAdvColors == on)
        return;
    m_colors.useAdvColors = on;
    setParentColor(on);
    m_colors.recomputeAdvanced();
    update();
}

void FlatEditLook::setAdvFocused(int percent)
{
    m_colors.advFocused = std::clamp(percent, 0, 100);
    if (m_colors.useAdvColors) {
        m_colors.recomputeAdvanced();
        update();
    }
}

void FlatEditLook::setAdvBorder(int percent)
{
    m_colors.advBorder = std::clamp(percent, 0, 100);
    if (m_colors.useAdvColors) {
        m_colors.recomputeAdvanced();
        update();
    }
}

void FlatEditLook::takeParentColor()
{
    if (m_colors.parentColor && m_box->parentWidget())
        m_colors.flat = m_box->parentWidget()->palette().color(QPalette::Window);
}

void FlatEditLook::adoptParentColor()
{
    takeParentColor();
    m_colors.recomputeAdvanced();
    update();
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
