#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class Database;
class QThread;

// Keeps a server till's own copy (Database::localCopy()) up to date on a
// thread of its own: the catalogue, settings and payment methods read in
// full at start and after every catalogue change the server tells of, and
// the sales made while the server was away sent from the outbox as soon as
// the server answers. It looks every few seconds; nothing for a data file
// or a till without a copy.
class CopyKeeper final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CopyKeeper)

public:
    explicit CopyKeeper(Database &db, QObject *parent = nullptr);
    ~CopyKeeper() override;

    // Starts looking, with a full refresh first.
    void start();
    // The server's catalogue changed: the copy is read again.
    void refreshSoon();
    // Looks now (the server is back, a sale went into the outbox).
    void lookSoon();

    // As last looked: sales in the outbox, and when the copy last met the server.
    int waitingSales() const { return m_waiting; }
    const QString &lastSynchronised() const { return m_lastSynchronised; }
    // What went wrong at the last look (the server being away is not wrong).
    const QString &problem() const { return m_problem; }

    // Time between two looks; 3 s unless a test wants it shorter.
    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }

signals:
    // The waiting sales or the last synchronisation changed.
    void changed();

private:
    struct Outcome;
    void look();
    void looked();

    Database &m_db;
    QTimer m_timer;
    QThread *m_work = nullptr;
    std::shared_ptr<Outcome> m_outcome;
    bool m_refreshWanted = false;
    int m_refreshAsked = 0;
    int m_waiting = 0;
    QString m_lastSynchronised;
    QString m_problem;
};
