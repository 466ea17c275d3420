#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

struct Statement;
struct sqlite3;
struct sqlite3_stmt;
class Database;

// A statement stepped straight on the connection's SQLite handle, for the few
// walks that read every row of a large table: no QVariant per value, no copy
// of the row. Finalized when it goes out of scope, so it never keeps the
// connection from closing. Throws DatabaseError.
class SqliteStatement final
{
    Q_DISABLE_COPY_MOVE(SqliteStatement)

public:
    SqliteStatement(Database &db, const Statement &statement);
    // On a connection of SQLite's own (a backup file, a copy being checked).
    SqliteStatement(sqlite3 *db, const Statement &statement);
    ~SqliteStatement();

    // Binds other values, after a reset.
    void rebind(const QVariantList &params);

    // Next row; false at the end.
    bool step();
    void reset();

    // The value as the Qt driver would give it: qlonglong, double, QString,
    // QByteArray or a null QVariant.
    QVariant value(int column) const;

    // For walks over every row, which call SQLite's column functions directly.
    sqlite3_stmt *handle() const { return m_stmt; }

    // The SQLite handle behind the connection; throws when the connection is
    // not an SQLite one this program can step on directly.
    static sqlite3 *handleOf(Database &db);

private:
    void bindAll(const QVariantList &params);
    [[noreturn]] void fail() const;

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    // The bound texts as UTF-8, kept until the next binding so that SQLite
    // reads them where they are instead of copying each one again.
    QList<QByteArray> m_texts;
};
