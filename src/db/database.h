#pragma once

#include "openingreport.h"

#include <QSqlDatabase>
#include <QString>

struct Statement;
class QSqlQuery;

// The one connection to the shop's database file. It opens an existing file
// only: a missing file is an error, never a new empty database.
class Database final
{
    Q_DISABLE_COPY_MOVE(Database)

public:
    Database();
    ~Database();

    // Opens the file read-write and brings its layout up to this program's;
    // throws DatabaseError when it cannot, DataFileError when the file cannot
    // be used as it is (lacks a table, is newer, cannot be written).
    OpeningReport open(const QString &filePath);
    void close();
    bool isOpen() const;
    // The file last opened (kept after close, so it can be opened again).
    QString filePath() const { return m_filePath; }

    // data.db in the folder of the running program.
    static QString defaultPath();

    // Makes a new database file with every table, readable and writable by
    // its owner only; refuses to touch an existing file. Throws DatabaseError.
    static void createFile(const QString &filePath);

    // Runs a statement that yields no rows; returns the number of rows changed.
    int execute(const Statement &statement);

    // Prepares and runs a statement, throwing DatabaseError on failure.
    QSqlQuery run(const Statement &statement, bool forwardOnly = true);

    QSqlDatabase &handle();

private:
    QString m_connectionName;
    QString m_filePath;
    QSqlDatabase m_db;
};

// All or nothing: rolled back unless commit() was reached.
class Transaction final
{
    Q_DISABLE_COPY_MOVE(Transaction)

public:
    explicit Transaction(Database &db);
    ~Transaction();
    void commit();

private:
    Database &m_db;
    bool m_done = false;
};
