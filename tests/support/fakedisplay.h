#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <poll.h>
#include <pty.h>
#include <unistd.h>

// A pseudo-terminal in place of a pole display: the till writes to its
// device, the test reads what arrived at the other end.
struct FakeDisplay
{
    int controller = -1;
    QString device;

    FakeDisplay()
    {
        int other = -1;
        char name[256] = {};
        if (openpty(&controller, &other, name, nullptr, nullptr) != 0)
            qFatal("no pseudo-terminal");
        ::close(other);   // the display's side is opened by the till
        device = QString::fromLocal8Bit(name);
    }
    ~FakeDisplay() { unplug(); }
    FakeDisplay(const FakeDisplay &) = delete;
    FakeDisplay &operator=(const FakeDisplay &) = delete;

    void unplug()
    {
        if (controller >= 0)
            ::close(controller);
        controller = -1;
    }

    QByteArray received()
    {
        QByteArray out;
        pollfd ready{controller, POLLIN, 0};
        while (::poll(&ready, 1, 100) > 0 && (ready.revents & POLLIN)) {
            char buffer[256];
            const ssize_t n = ::read(controller, buffer, sizeof buffer);
            if (n <= 0)
                break;
            out.append(buffer, n);
        }
        return out;
    }
};
