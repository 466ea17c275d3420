#pragma once

#include <QColor>

class QWidget;

// The fill of a panel or group box. It lives in the owner's palette as the
// window colour, so that controls placed on it that follow their parent's
// colour see it; until a colour is set it is the parent's.
class PanelFill final
{
public:
    explicit PanelFill(QWidget *owner);
    Q_DISABLE_COPY_MOVE(PanelFill)

    QColor color() const;
    void setColor(const QColor &color);   // also stops following the parent
    bool followsParent() const { return m_followsParent; }
    // Following again drops the window colour from the owner's palette and
    // keeps every other role set on it.
    void setFollowsParent(bool on);

private:
    QWidget *m_owner;
    bool m_followsParent = true;
};
