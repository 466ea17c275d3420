#pragma once

#include <QVariant>
#include <QVariantList>

#include <memory>

struct Statement;
class Database;
class QSqlQuery;
class SqliteStatement;

// One statement prepared once and run again and again with other values,
// for imports and exports over many rows. On an SQLite file it steps
// straight on the connection's handle (SqliteStatement); on a server the
// driver prepares it once and runs it for each set of values. Throws
// DatabaseError.
class PreparedStatement final
{
    Q_DISABLE_COPY_MOVE(PreparedStatement)

public:
    PreparedStatement(Database &db, const Statement &statement);
    ~PreparedStatement();

    // Other values for the next run, after a reset.
    void rebind(const QVariantList &params);
    // The next row, running the statement first when it has not run since
    // the last reset; false at the end (at once for a statement without rows).
    bool step();
    void reset();

    // A value of the current row, as the Qt driver gives it.
    QVariant value(int column) const;
    // The rows the last run changed.
    int changes() const;

private:
    Database &m_db;
    std::unique_ptr<SqliteStatement> m_sqlite;
    std::unique_ptr<QSqlQuery> m_query;
    QVariantList m_params;
    bool m_ran = false;
};
