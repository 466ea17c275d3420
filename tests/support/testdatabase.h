#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

// A fresh database with every table, gone with the object: a file in a
// temporary folder, or — when the tests run on the server back end — a new
// database on the test server. Rows are written and read with plain SQL on a
// connection of its own, so checks do not go through the code under test.
//
// The back end is chosen by the environment: FENWO_TEST_BACKEND=postgresql
// (CTest sets it for the *_pg runs) and FENWO_TEST_PG, the address of a
// server where databases may be made (scripts/pg-test-env.sh starts one).
// A server run without a server is skipped as a whole (exit code 77).
class TestDatabase final
{
public:
    // folder: where data.db is made (a small disk of a test's own); a
    // temporary folder of its own by default.
    explicit TestDatabase(const QString &folder = {});
    // A file of another layout, made by these statements alone, as another
    // tool or an older version would have left it (a file, whatever the back end).
    explicit TestDatabase(const QStringList &layout);
    ~TestDatabase();

    // True when this run's databases are on the server.
    static bool onServer();
    // The server where test databases are made; empty when there is none.
    static QString serverAddress();
    // Makes an empty database (no tables) on the test server and returns its
    // address; it goes with the throw-away server.
    static QString makeEmptyServerDatabase();

    // What the program opens: the file's path, or the database's address.
    QString path() const { return m_path; }
    QString folder() const;
    // Closes the test's own connection until the next check needs it: a
    // restore refuses to replace a file another connection has open.
    void release();

    void exec(const QString &sql, const QVariantList &params = {});
    QList<QVariantList> rows(const QString &sql, const QVariantList &params = {});
    // The rows of the last of the statements (split at ';') run on the SQLite
    // file at path, on a connection closed again at once so that none stays
    // open on the file.
    static QList<QVariantList> rowsAt(const QString &path, const QString &sql);
    QVariant scalar(const QString &sql, const QVariantList &params = {});
    int count(const QString &table);

    void addProduct(const QString &code, const QString &name, double price);
    void addSaleLine(const QString &code, const QString &name, double quantity, double price);
    // A line of the sales record (product code 69, price 0).
    void addRecordLine(const QString &receipt, const QString &cashier, const QString &date, const QString &time,
                       const QString &name, double quantity, double amount);
    void setSettings(const QString &cashier, const QString &shopName, const QString &remark);

    // From now on the database refuses a row for the table, with the message
    // (as for a full disk), once the table holds fromRows rows; until allowInserts().
    void refuseInserts(const QString &table, const QString &message, int fromRows = 0);
    void allowInserts(const QString &table);
    // The same for taking rows out of the table.
    void refuseDeletes(const QString &table, const QString &message);
    void allowDeletes(const QString &table);

private:
    void connect();
    void refuse(const QString &change, const QString &table, const QString &message, int fromRows);
    void allow(const QString &change, const QString &table);

    QTemporaryDir m_dir;
    QString m_path;
    QString m_connection;
    QString m_serverDatabase;
};
