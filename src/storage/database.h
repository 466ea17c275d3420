#pragma once

#include "storage/answerwatch.h"
#include "storage/databaseaddress.h"
#include "storage/dialect.h"
#include "storage/filewait.h"
#include "storage/openingreport.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct Statement;
class QSqlError;
class QSqlQuery;

// The one connection to the shop's database: an SQLite file, or a database
// on a PostgreSQL server that several tills share. A file is opened only
// when it exists (a missing file is an error, never a new empty database);
// a server database only when it holds this program's tables.
class Database final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Database)

public:
    Database();
    ~Database() override;

    // Opens the database at the address (a file path or postgresql://…). A
    // file is opened read-write and its layout brought up to this program's
    // (DataFileError when it cannot be used as it is: lacks a table, is
    // newer, cannot be written). Throws ConnectionLost when the server cannot
    // be reached, DatabaseError for anything else (no such file, a database of
    // another layout …).
    OpeningReport open(const QString &address);
    void close();
    bool isOpen() const;
    // The file last opened (kept after close, so it can be opened again);
    // empty for a database on a server.
    QString filePath() const { return m_filePath; }
    // Connects again to the address last opened, after the server was lost.
    // Throws as open() does.
    void reconnect();

    const DatabaseAddress &address() const { return m_address; }
    // The dialect of the connection in use: a server's till selling on its
    // own copy speaks SQLite.
    Dialect dialect() const { return m_offline ? Dialect::Sqlite : m_address.dialect(); }
    bool isServer() const { return m_address.isServer(); }

    // The till's own copy of a server's catalogue and settings (a data file):
    // when the server cannot be reached the connection goes on there, and
    // the till keeps selling. None unless set.
    void setLocalCopy(const QString &filePath) { m_localCopy = filePath; }
    const QString &localCopy() const { return m_localCopy; }
    // True while the till sells on its own copy, the server being away.
    bool isOffline() const { return m_offline; }
    // Goes on on the till's own copy (the server is away); true when the
    // connection is now there. Tells switched().
    bool useLocalCopy();
    // False while a transaction or a Hold would be cut by a change of connection.
    bool maySwitch() const { return m_transactions == 0 && m_holds == 0; }

    // While one lives, the connection is not changed under a unit of work
    // that spans several transactions (a completion printing its receipt).
    class Hold final
    {
        Q_DISABLE_COPY_MOVE(Hold)

    public:
        explicit Hold(Database &db);
        ~Hold();

    private:
        Database &m_db;
    };

    // The till this connection works for: its open sale, its own settings and
    // the till number of the lines it records. 1 unless set.
    int till() const { return m_till; }
    void setTill(int till) { m_till = till; }
    // A till number as typed or given on the command line, 1 to 999; none
    // for any other text.
    static std::optional<int> parseTill(const QString &text);

    // Makes a new database file with every table, readable and writable by
    // its owner only; refuses to touch an existing file. Throws DatabaseError.
    static void createFile(const QString &filePath);
    // Makes every table: a new file, or the schema on an empty database of a
    // server (one that holds no tables yet). Throws DatabaseError.
    static void create(const QString &address);
    // Whether a database on a server can be used, without keeping the
    // connection: ConnectionLost when the server cannot be reached (within the
    // connect timeout), DatabaseError when it holds no tables of this program
    // or another layout.
    static void checkServer(const QString &address);
    // Whether the server takes a connection now. Safe from any thread: the
    // connection is made, closed and removed in the calling thread.
    static bool serverAnswers(const DatabaseAddress &address);

    // Runs a statement that yields no rows; returns the number of rows changed.
    int execute(const Statement &statement);

    // Prepares and runs a statement, throwing DatabaseError on failure
    // (DuplicateKeyError for a taken unique key, ConnectionLost when the
    // server went away).
    QSqlQuery run(const Statement &statement, bool forwardOnly = true);

    QSqlDatabase &handle();

    // While one lives, a wait for the server may take up to a minute instead
    // of the few seconds a till waits: for reports over many rows.
    class Patience final
    {
        Q_DISABLE_COPY_MOVE(Patience)

    public:
        explicit Patience(Database &db);
        ~Patience();

    private:
        Database &m_db;
    };

    // One wait for the server, limited (nothing on a file).
    std::unique_ptr<AnswerWatch::Wait> waitForServer();

    // Told while a statement on a data file waits for another program's
    // write (an import waits as long as it writes), and once when it is over.
    void setFileWaitNotice(FileWait::Notice notice) { m_fileWait.setNotice(std::move(notice)); }
    // After a statement: a wait told of during it is over.
    void finishFileWait() { m_fileWait.finish(); }

    // Hears of catalogue changes saved by any till (a database on a server
    // only; a file has one till): catalogueChanged() follows each one.
    // Kept across reconnections.
    void watchCatalogue();
    // The same for stock: stockChanged() follows each committed movement
    // or reorder level, of any till.
    void watchStock();

    // The message of an error of this connection, as it is thrown: a lost
    // server becomes ConnectionLost (and connectionLost() is emitted once).
    [[noreturn]] void fail(const QSqlError &error);

signals:
    // The server went away; sent once for each loss, when it is noticed.
    void connectionLost();
    // The catalogue (spinfo) was changed and committed, by this till or another.
    void catalogueChanged();
    // A product's stock or reorder level was changed and committed (a server only).
    void stockChanged();
    // The connection went over to the till's own copy or back to the server:
    // what lives in a till's memory (its open sale) is written there now.
    void switched();

private:
    OpeningReport openFile(const QString &filePath);
    QSqlQuery runHere(const Statement &statement, bool forwardOnly);
    QString offlineMessage() const;
    void openServer();
    void subscribe();
    void attachFileWait();
    QString lostMessage() const;
    QString noAnswerMessage() const;

    QString m_connectionName;
    QString m_filePath;
    QSqlDatabase m_db;
    DatabaseAddress m_address;
    int m_till = 1;
    bool m_watchingCatalogue = false;
    bool m_watchingStock = false;
    bool m_lost = false;
    bool m_everConnected = false;
    std::unique_ptr<AnswerWatch> m_answerWatch;
    int m_patience = 0;
    FileWait m_fileWait;
    QString m_localCopy;
    bool m_offline = false;
    int m_transactions = 0;
    int m_holds = 0;

    friend class Transaction;
};

// All or nothing: rolled back unless commit() was reached.
class Transaction final
{
    Q_DISABLE_COPY_MOVE(Transaction)

public:
    // Writing takes a data file's write lock at the start, waiting for
    // another till's write as any statement does; a transaction that reads
    // first and writes later could not write on what it read once another
    // till wrote meanwhile.
    enum class Start { AsNeeded, Writing };

    explicit Transaction(Database &db, Start start = Start::AsNeeded);
    ~Transaction();
    // Throws ConnectionLost when the server went away while committing: the
    // outcome is then unknown until the connection is back.
    void commit();

private:
    void begin(Start start);

    Database &m_db;
    bool m_done = false;
};
