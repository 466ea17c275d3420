#include "answerwatch.h"

#include <libpq-fe.h>
#include <sys/socket.h>

#include <future>
#include <memory>

namespace {

// A server that answers a ping is busy, not hung (a lock held by another
// till, a loaded machine); it may keep a till waiting this long at most.
constexpr std::chrono::seconds kBusyBound{30};
// How often a busy server is asked again.
constexpr std::chrono::seconds kPingAgain{1};

// libpq's ping waits out its connect timeout, two seconds at the least, on
// a server that takes the connection and never answers: its answer is
// waited for only so long, the ping left to end on a thread of its own.
PGPing pingWithin(const QByteArray &address, std::chrono::milliseconds wait)
{
    auto answer = std::make_shared<std::promise<PGPing>>();
    std::future<PGPing> result = answer->get_future();
    std::thread([address, answer] { answer->set_value(PQping(address.constData())); }).detach();
    if (result.wait_for(wait) != std::future_status::ready)
        return PQPING_NO_RESPONSE;
    return result.get();
}

} // namespace

AnswerWatch::AnswerWatch() = default;

AnswerWatch::~AnswerWatch()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

AnswerWatch::Wait::Wait(AnswerWatch &watch, int socket, std::chrono::milliseconds limit, QByteArray ping)
    : m_watch(watch)
{
    m_watch.arm(socket, limit, std::move(ping));
}

AnswerWatch::Wait::~Wait()
{
    m_watch.disarm();
}

bool AnswerWatch::takeRunOut()
{
    return m_runOut.exchange(false);
}

void AnswerWatch::arm(int socket, std::chrono::milliseconds limit, QByteArray ping)
{
    {
        std::lock_guard lock(m_mutex);
        // Only a connection to a server waits: the thread comes with the first wait.
        if (!m_thread.joinable())
            m_thread = std::thread([this] { watch(); });
        m_socket = socket;
        const auto now = std::chrono::steady_clock::now();
        m_deadline = now + limit;
        m_giveUp = now + std::max<std::chrono::milliseconds>(limit * 5, kBusyBound);
        m_ping = std::move(ping);
        ++m_generation;
        m_armed = true;
    }
    m_changed.notify_all();
}

void AnswerWatch::disarm()
{
    std::lock_guard lock(m_mutex);
    m_armed = false;
}

void AnswerWatch::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (!m_armed) {
            m_changed.wait(lock);
            continue;
        }
        if (m_changed.wait_until(lock, m_deadline) != std::cv_status::timeout || !m_armed
            || std::chrono::steady_clock::now() < m_deadline)
            continue;
        if (!m_ping.isEmpty() && std::chrono::steady_clock::now() < m_giveUp) {
            const quint64 generation = m_generation;
            const QByteArray ping = m_ping;
            lock.unlock();
            // A stopped server takes the connection and never answers: the
            // ping's own connect timeout ends it.
            const PGPing answer = pingWithin(ping, kPingWait);
            lock.lock();
            if (!m_armed || m_generation != generation)
                continue;   // the call came back meanwhile
            if (answer == PQPING_OK || answer == PQPING_REJECT) {
                m_deadline = std::chrono::steady_clock::now() + kPingAgain;
                continue;
            }
        }
        // The blocked call sees the connection end; the socket itself is
        // closed by its owner, later, on its own thread.
        ::shutdown(m_socket, SHUT_RDWR);
        m_runOut = true;
        m_armed = false;
    }
}
