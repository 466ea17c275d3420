#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <memory>

struct Statement;
class Database;
class QSqlQuery;
class SqliteStatement;
struct sqlite3_stmt;

// The rows of a statement read one after another, for walks over every line
// of a large table. On an SQLite file the values come straight from SQLite's
// statement, without a QVariant per value; on a server they come through
// the Qt driver, a row at a time. Throws DatabaseError.
class RowWalk final
{
    Q_DISABLE_COPY_MOVE(RowWalk)

public:
    RowWalk(Database &db, const Statement &statement);
    ~RowWalk();

    // Next row; false at the end.
    bool step();

    enum class Kind { Empty, Number, Text };
    Kind kind(int column) const;
    double number(int column) const;
    qint64 key(int column) const;
    // Text as UTF-8 bytes ("" for an empty value); valid until the next step.
    QByteArrayView bytes(int column) const;
    // A quantity or amount: an empty value is 0, text must convert
    // (throws ConversionError like textToNumber).
    double numberOrZero(int column) const;

private:
    Database &m_db;
    std::unique_ptr<SqliteStatement> m_sqlite;
    sqlite3_stmt *m_row = nullptr;
    std::unique_ptr<QSqlQuery> m_query;
    mutable QList<QByteArray> m_texts;   // by column, on a server
};
