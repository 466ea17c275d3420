#include "preparedstatement.h"

#include "storage/database.h"
#include "storage/sqlitestatement.h"
#include "storage/statements.h"

#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

PreparedStatement::PreparedStatement(Database &db, const Statement &statement)
    : m_db(db)
    , m_params(statement.params)
{
    if (db.dialect() == Dialect::Sqlite) {
        m_sqlite = std::make_unique<SqliteStatement>(db, statement);
        return;
    }
    m_query = std::make_unique<QSqlQuery>(db.handle());
    m_query->setForwardOnly(true);
    if (!m_query->prepare(statement.sqlFor(db.dialect())))
        db.fail(m_query->lastError());
}

PreparedStatement::~PreparedStatement() = default;

void PreparedStatement::rebind(const QVariantList &params)
{
    if (m_sqlite)
        m_sqlite->rebind(params);
    else
        m_params = params;
}

bool PreparedStatement::step()
{
    if (m_sqlite)
        return m_sqlite->step();
    if (!m_ran) {
        for (int i = 0; i < m_params.size(); ++i)
            m_query->bindValue(i, m_params[i]);
        if (!m_query->exec())
            m_db.fail(m_query->lastError());
        m_ran = true;
    }
    if (!m_query->isSelect())
        return false;
    if (m_query->next())
        return true;
    if (m_query->lastError().isValid())
        m_db.fail(m_query->lastError());
    return false;
}

void PreparedStatement::reset()
{
    if (m_sqlite) {
        m_sqlite->reset();
        return;
    }
    m_query->finish();
    m_ran = false;
}

QVariant PreparedStatement::value(int column) const
{
    return m_sqlite ? m_sqlite->value(column) : m_query->value(column);
}

int PreparedStatement::changes() const
{
    if (m_sqlite)
        return sqlite3_changes(SqliteStatement::handleOf(m_db));
    return m_query->numRowsAffected();
}
