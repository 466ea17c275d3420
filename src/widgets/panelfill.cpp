#include "panelfill.h"

#include <QPalette>
#include <QWidget>

PanelFill::PanelFill(QWidget *owner)
    : m_owner(owner)
{
}

QColor PanelFill::color() const
{
    return m_owner->palette().color(QPalette::Window);
}

void PanelFill::setColor(const QColor &color)
{
    m_followsParent = false;
    QPalette p = m_owner->palette();
    p.setColor(QPalette::Window, color);
    m_owner->setPalette(p);
}

void PanelFill::setFollowsParent(bool on)
{
    if (m_followsParent == on)
        return;
    m_followsParent = on;
    if (!on)
        return;
    const QPalette own = m_owner->palette();
    QPalette kept;   // nothing set: every role comes from the parent
    for (int g = 0; g < QPalette::NColorGroups; ++g) {
        const auto group = QPalette::ColorGroup(g);
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto role = QPalette::ColorRole(r);
            if (role != QPalette::Window && own.isBrushSet(group, role))
                kept.setBrush(group, role, own.brush(group, role));
        }
    }
    m_owner->setPalette(kept);
}
