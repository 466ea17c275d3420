#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// A limit on each wait for the server. A server that is stopped, or hangs,
// keeps the connection open and acknowledged, so neither the keepalives nor
// the server's own timeouts end the wait: when the limit passes, the server
// is asked on a new connection whether it answers at all. A server that
// answers is only busy (another till holds a lock, the machine is loaded) and
// the wait goes on, up to a longer bound; one that does not has its
// connection's socket shut from a thread of its own, the call comes back with
// a lost connection, and the till can say so and reconnect.
class AnswerWatch final
{
    Q_DISABLE_COPY_MOVE(AnswerWatch)

public:
    AnswerWatch();
    ~AnswerWatch();

    // One wait: the socket is shut if the wait outlives the limit.
    class Wait final
    {
        Q_DISABLE_COPY_MOVE(Wait)

    public:
        // ping: how to reach the same server on a connection of its own.
        Wait(AnswerWatch &watch, int socket, std::chrono::milliseconds limit, QByteArray ping);
        ~Wait();

    private:
        AnswerWatch &m_watch;
    };

    // Whether a wait ran out since the last call; clears it.
    bool takeRunOut();

    // How long the server's answer to the ping is waited for: a server on
    // the shop's network answers a new connection within milliseconds.
    static constexpr std::chrono::milliseconds kPingWait{700};

private:
    void arm(int socket, std::chrono::milliseconds limit, QByteArray ping);
    void disarm();
    void watch();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
    int m_socket = -1;
    std::chrono::steady_clock::time_point m_deadline;
    std::chrono::steady_clock::time_point m_giveUp;   // busy or not, no longer than this
    QByteArray m_ping;
    quint64 m_generation = 0;   // tells one wait from the next
    bool m_armed = false;
    bool m_stopping = false;
    std::atomic<bool> m_runOut{false};
};
