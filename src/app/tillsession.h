#pragma once

#include "backup/automaticbackup.h"
#include "storage/copykeeper.h"
#include "storage/database.h"
#include "storage/serverwatch.h"
#include "windows/cashierwindow.h"

#include <memory>

class DatabaseDialog;
class QWidget;

// One till at work: the connection to the shop's database, the watch that
// connects a lost server again, the automatic copies, and the cashier screen
// on them. It opens the database and decides what the cashier is told when
// that fails; the program and the tests make a till this one way.
class TillSession final
{
    Q_DISABLE_COPY_MOVE(TillSession)

public:
    // databasePath: a file or a server address; tillNumber: this computer's
    // till; localCopy: the till's own copy of a server's database, where it
    // sells while the server is away (none: it waits for the server).
    explicit TillSession(const QString &databasePath, int tillNumber = 1, const QString &localCopy = {});
    ~TillSession();

    Database &database() { return m_db; }
    ServerWatch &serverWatch() { return m_serverWatch; }
    AutomaticBackup &automaticBackup() { return m_automaticBackup; }
    CopyKeeper &copyKeeper() { return m_copyKeeper; }
    CashierWindow &window() { return m_window; }

    // The database dialog on this computer's settings: it shows what the
    // settings file keeps, and a choice saved in it is written there.
    // lastSynchronised: when this till's copy last met the server, if it has one.
    static std::unique_ptr<DatabaseDialog> databaseDialog(const QString &currentAddress, QWidget *parent = nullptr,
                                                          const QString &lastSynchronised = {});

private:
    void openDatabase(const QString &databasePath);
    void chooseDatabase(QWidget *over);

    Database m_db;
    ServerWatch m_serverWatch;
    AutomaticBackup m_automaticBackup;
    CopyKeeper m_copyKeeper;
    CashierWindow m_window;   // last: it goes first, while what it works on is still there
};
