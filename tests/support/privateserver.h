#pragma once

#include <QString>
#include <QTemporaryDir>

// A PostgreSQL server of the test's own, to stop and start at will: a
// throw-away cluster started by scripts/pg-test-env.sh in a temporary folder,
// stopped and removed with the object. Never the server other tests share.
class PrivateServer final
{
public:
    PrivateServer();
    ~PrivateServer();

    // False when PostgreSQL is not installed here (or would not start).
    bool isRunning() const { return m_running; }
    QString whyNot() const { return m_whyNot; }

    // A new database with every table; its address.
    QString makeDatabase();
    // "127.0.0.1:PORT", as the program names the server.
    QString serverName() const;
    // The server's own database, for checks and settings.
    QString adminAddress() const { return m_address; }

    // Stops it at once, as a crash or a pulled cable would (no goodbye to
    // the clients), and starts it again on the same port.
    void kill();
    void restart();
    // Stops every process of it (SIGSTOP), as a hung machine would: the
    // connections stay open and nothing answers; resume() lets it go on.
    void pause();
    void resume();
    // The shell command that kills it, for a thread of the test's own.
    QByteArray killCommand() const;

private:
    QTemporaryDir m_dir;
    QString m_folder;
    QString m_address;
    bool m_running = false;
    QString m_whyNot;
    int m_databases = 0;
};
