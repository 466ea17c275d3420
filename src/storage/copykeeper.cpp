#include "copykeeper.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/localcopy.h"

#include <QThread>

struct CopyKeeper::Outcome
{
    int waiting = 0;
    QString lastSynchronised;
    QString problem;
    bool refreshed = false;
    int refreshAsked = 0;
};

CopyKeeper::CopyKeeper(Database &db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
    m_timer.setInterval(3000);
    connect(&m_timer, &QTimer::timeout, this, &CopyKeeper::look);
}

CopyKeeper::~CopyKeeper()
{
    m_timer.stop();
    if (m_work) {
        disconnect(m_work, nullptr, this, nullptr);
        m_work->wait();
        delete m_work;
    }
}

void CopyKeeper::start()
{
    if (!m_db.isServer() || m_db.localCopy().isEmpty())
        return;
    m_refreshWanted = true;
    m_timer.start();
    look();
}

void CopyKeeper::refreshSoon()
{
    m_refreshWanted = true;
    ++m_refreshAsked;
    lookSoon();
}

void CopyKeeper::lookSoon()
{
    if (m_timer.isActive())
        QTimer::singleShot(0, this, &CopyKeeper::look);
}

void CopyKeeper::look()
{
    if (m_work)
        return;
    const bool refresh = m_refreshWanted && !m_db.isOffline();
    const bool send = !m_db.isOffline();
    m_outcome = std::make_shared<Outcome>();
    m_outcome->refreshAsked = m_refreshAsked;
    m_work = QThread::create([address = m_db.address().text(), copy = m_db.localCopy(), till = m_db.till(), refresh,
                              send, outcome = m_outcome] {
        try {
            if (refresh) {
                LocalCopy::refresh(address, copy);
                outcome->refreshed = true;
            }
            if (send)
                LocalCopy::sendWaiting(address, copy, till);
        } catch (const ConnectionLost &) {
            // Tried again at the next look.
        } catch (const AppError &e) {
            outcome->problem = e.message();
        }
        try {
            outcome->waiting = LocalCopy::waitingCount(copy);
            outcome->lastSynchronised = LocalCopy::lastSynchronised(copy);
        } catch (const AppError &e) {
            outcome->problem = e.message();
        }
    });
    connect(m_work, &QThread::finished, this, &CopyKeeper::looked);
    m_work->start();
}

void CopyKeeper::looked()
{
    m_work->deleteLater();
    m_work = nullptr;
    // A change told while the copy was read is read at the next look.
    if (m_outcome->refreshed && m_outcome->refreshAsked == m_refreshAsked)
        m_refreshWanted = false;
    const bool news = m_outcome->waiting != m_waiting || m_outcome->lastSynchronised != m_lastSynchronised
        || m_outcome->problem != m_problem;
    m_waiting = m_outcome->waiting;
    m_lastSynchronised = m_outcome->lastSynchronised;
    m_problem = m_outcome->problem;
    if (news)
        emit changed();
}
