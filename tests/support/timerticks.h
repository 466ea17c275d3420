#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

// Counts, from now on, the timeouts of the program's timers that run at one
// interval. A test that must see a timer fire (or see that its firing
// changed nothing) waits on the count instead of on the clock, and so fails
// when the timer never fires.
class TimerTicks final : public QObject
{
public:
    explicit TimerTicks(int intervalMs)
        : m_intervalMs(intervalMs)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

    int count() const { return m_count; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Timer) {
            const auto *timer = qobject_cast<QTimer *>(watched);
            if (timer && timer->interval() == m_intervalMs)
                ++m_count;
        }
        return false;
    }

private:
    int m_intervalMs;
    int m_count = 0;
};
