#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class Database;
class QThread;

// The copies of the database the shop never has to think about: one every
// few hours while the program runs, taken on a thread of its own so that
// selling never waits for a slow disk, and one when the program closes.
// Each copy is followed by deleting the oldest beyond the number kept. A
// failure is told once (failed()), and again only after a copy has worked.
class AutomaticBackup final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AutomaticBackup)

public:
    explicit AutomaticBackup(Database &db, QObject *parent = nullptr);
    // Waits for a copy under way.
    ~AutomaticBackup() override;

    // Reads the settings (BackupSettings) and sets the timer; again after
    // they change. Without a database nothing is scheduled.
    void start();

    // A copy now, in the background; nothing when one is under way or there
    // is no database.
    void copyInBackground();
    // A copy now, waiting for it (the program is closing). Returns the path,
    // or an empty text when it failed (failed() tells why, once) or there is
    // no database.
    QString copyNow();

    void waitForCopy();
    int intervalMs() const { return m_timer.isActive() ? m_timer.interval() : 0; }

signals:
    void copied(const QString &path);
    void failed(const QString &message);
    // After every copy, whether it worked or not, and whether or not its
    // failure was told.
    void finished();

private:
    void finish(const QString &path, const QString &error, QThread *thread);

    Database &m_db;
    QTimer m_timer;
    QThread *m_thread = nullptr;
    bool m_failureTold = false;
};
