#pragma once

#include "storage/databaseaddress.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>

class Database;
class QThread;

// Keeps a till connected to its database server. When the server could not
// be reached at start, or the connection is lost during the day, it tries
// again every two seconds until the server answers, then reconnects the
// database and says so. Each try runs on a thread of its own: the window
// never waits for a server that does not answer (a try gives up after the
// 3-second connect timeout). A database file needs no watch: it does nothing.
class ServerWatch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ServerWatch)

public:
    explicit ServerWatch(Database &db, QObject *parent = nullptr);
    ~ServerWatch() override;

    // Starts trying (the database could not be opened); the database's own
    // connectionLost() starts it too.
    void start();
    // True while the connection is down and being tried again.
    bool isWaiting() const { return m_waiting; }

    // Time between two tries; 2 s unless a test wants it shorter.
    void setInterval(int milliseconds) { m_retry.setInterval(milliseconds); }

signals:
    // The connection is down; the window shows that it waits.
    void waiting();
    // The database is connected again.
    void reconnected();
    // The server answers but the database cannot be used (another layout …):
    // trying again will not help, so the watch stops.
    void refused(const QString &message);

private:
    void tryServer();
    void tried();

    Database &m_db;
    QTimer m_retry;
    QThread *m_try = nullptr;
    std::shared_ptr<std::atomic<bool>> m_answered;
    bool m_waiting = false;
};
