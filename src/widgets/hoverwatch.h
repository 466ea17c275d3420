#pragma once

#include <QtGlobal>

class QPoint;
class QTimer;
class QWidget;

// A control whose hover look is driven by a SharedHoverWatch.
class HoverClient
{
public:
    virtual QWidget *hoverWidget() = 0;
    virtual void pointerEntered() = 0;   // set the hover look if it is not set
    virtual void pointerLeft() = 0;      // clear it, unless a mouse button is held on the control

protected:
    ~HoverClient() = default;
};

// One 100 ms timer for all controls of a kind. It watches the one control the
// pointer last moved onto and tells it when the pointer is no longer over it.
// The timer exists while at least one control of the kind does.
class SharedHoverWatch final
{
public:
    SharedHoverWatch() = default;
    Q_DISABLE_COPY_MOVE(SharedHoverWatch)

    void join();                      // a control of the kind was made
    void leave(HoverClient *client);  // one is going away

    // Each mouse move over the control, with the pointer's screen position.
    void pointerMoved(HoverClient *client, const QPoint &globalPos);
    void stopWatching(HoverClient *client);
    bool isWatching(const HoverClient *client) const { return m_watched && m_watched == client; }
    bool exists() const { return m_timer != nullptr; }

    static constexpr int kIntervalMs = 100;

private:
    void tick();

    int m_live = 0;
    QTimer *m_timer = nullptr;
    HoverClient *m_watched = nullptr;
};
