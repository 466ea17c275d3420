#include "hoverwatch.h"

#include <QApplication>
#include <QCursor>
#include <QTimer>
#include <QWidget>

void SharedHoverWatch::join()
{
    if (m_live++ == 0) {
        m_timer = new QTimer;
        m_timer->setInterval(kIntervalMs);
        QObject::connect(m_timer, &QTimer::timeout, [this] { tick(); });
    }
}

void SharedHoverWatch::leave(HoverClient *client)
{
    stopWatching(client);
    if (--m_live == 0) {
        delete m_timer;
        m_timer = nullptr;
    }
}

void SharedHoverWatch::pointerMoved(HoverClient *client, const QPoint &globalPos)
{
    if (m_watched == client || QApplication::widgetAt(globalPos) != client->hoverWidget())
        return;
    // Moving straight from one control onto another un-hovers the first at once.
    if (m_watched)
        m_watched->pointerLeft();
    if (!QApplication::activeWindow() || !m_timer)
        return;
    m_timer->stop();
    m_watched = client;
    m_timer->start();
    client->pointerEntered();
}

void SharedHoverWatch::stopWatching(HoverClient *client)
{
    if (m_watched != client)
        return;
    if (m_timer)
        m_timer->stop();
    m_watched = nullptr;
}

void SharedHoverWatch::tick()
{
    if (m_watched && QApplication::widgetAt(QCursor::pos()) != m_watched->hoverWidget())
        m_watched->pointerLeft();
}
