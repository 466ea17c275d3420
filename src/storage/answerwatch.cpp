#include "answerwatch.h"

#include <sys/socket.h>

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

AnswerWatch::Wait::Wait(AnswerWatch &watch, int socket, std::chrono::milliseconds limit)
    : m_watch(watch)
{
    m_watch.arm(socket, limit);
}

AnswerWatch::Wait::~Wait()
{
    m_watch.disarm();
}

bool AnswerWatch::takeRunOut()
{
    return m_runOut.exchange(false);
}

void AnswerWatch::arm(int socket, std::chrono::milliseconds limit)
{
    {
        std::lock_guard lock(m_mutex);
        // Only a connection to a server waits: the thread comes with the first wait.
        if (!m_thread.joinable())
            m_thread = std::thread([this] { watch(); });
        m_socket = socket;
        m_deadline = std::chrono::steady_clock::now() + limit;
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
        if (m_changed.wait_until(lock, m_deadline) == std::cv_status::timeout && m_armed
            && std::chrono::steady_clock::now() >= m_deadline) {
            // The blocked call sees the connection end; the socket itself is
            // closed by its owner, later, on its own thread.
            ::shutdown(m_socket, SHUT_RDWR);
            m_runOut = true;
            m_armed = false;
        }
    }
}
