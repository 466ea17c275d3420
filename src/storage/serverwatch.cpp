#include "serverwatch.h"

#include "base/apperror.h"
#include "storage/database.h"

#include <QThread>

#include <atomic>

ServerWatch::ServerWatch(Database &db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
    m_retry.setInterval(2000);
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &ServerWatch::tryServer);
    connect(&m_db, &Database::connectionLost, this, &ServerWatch::start);
}

ServerWatch::~ServerWatch()
{
    m_retry.stop();
    if (m_try) {
        disconnect(m_try, nullptr, this, nullptr);
        m_try->wait();
        delete m_try;
    }
}

void ServerWatch::start()
{
    if (!m_db.isServer() || m_waiting)
        return;
    m_waiting = true;
    emit waiting();
    m_retry.start();
}

void ServerWatch::tryServer()
{
    if (m_try)
        return;
    m_answered = std::make_shared<std::atomic<bool>>(false);
    m_try = QThread::create([address = m_db.address(), answered = m_answered] { *answered = Database::serverAnswers(address); });
    connect(m_try, &QThread::finished, this, &ServerWatch::tried);
    m_try->start();
}

void ServerWatch::tried()
{
    m_try->deleteLater();
    m_try = nullptr;
    // A completion printing its receipt on the till's own copy finishes there first.
    if (!*m_answered || !m_db.maySwitch()) {
        m_retry.start();
        return;
    }
    try {
        m_db.reconnect();
    } catch (const ConnectionLost &) {
        m_retry.start();   // gone again in the meantime
        return;
    } catch (const AppError &e) {
        m_waiting = false;
        emit refused(e.message());
        return;
    }
    m_waiting = false;
    emit reconnected();
}
