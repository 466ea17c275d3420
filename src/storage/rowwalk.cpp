#include "rowwalk.h"

#include "storage/database.h"
#include "base/numbertext.h"
#include "storage/sqlitestatement.h"
#include "storage/statements.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

RowWalk::RowWalk(Database &db, const Statement &statement)
    : m_db(db)
{
    if (db.dialect() == Dialect::Sqlite) {
        m_sqlite = std::make_unique<SqliteStatement>(db, statement);
        m_row = m_sqlite->handle();
    } else {
        // A walk reads many rows: the server may take longer than a till's wait.
        const Database::Patience patience(db);
        m_query = std::make_unique<QSqlQuery>(db.run(statement));
    }
}

RowWalk::~RowWalk() = default;

bool RowWalk::step()
{
    if (m_sqlite)
        return m_sqlite->step();
    if (m_query->next())
        return true;
    if (m_query->lastError().isValid())
        m_db.fail(m_query->lastError());
    return false;
}

RowWalk::Kind RowWalk::kind(int column) const
{
    if (m_sqlite) {
        switch (sqlite3_column_type(m_row, column)) {
        case SQLITE_NULL: return Kind::Empty;
        case SQLITE_INTEGER:
        case SQLITE_FLOAT: return Kind::Number;
        default: return Kind::Text;   // text, and blobs as their text
        }
    }
    const QVariant v = m_query->value(column);
    if (v.isNull())
        return Kind::Empty;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return Kind::Number;
    default:
        return Kind::Text;
    }
}

double RowWalk::number(int column) const
{
    return m_sqlite ? sqlite3_column_double(m_row, column) : m_query->value(column).toDouble();
}

qint64 RowWalk::key(int column) const
{
    return m_sqlite ? sqlite3_column_int64(m_row, column) : m_query->value(column).toLongLong();
}

QByteArrayView RowWalk::bytes(int column) const
{
    if (m_sqlite) {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(m_row, column));
        return QByteArrayView(data ? data : "", sqlite3_column_bytes(m_row, column));
    }
    if (m_texts.size() <= column)
        m_texts.resize(column + 1);
    m_texts[column] = m_query->value(column).toString().toUtf8();
    return QByteArrayView(m_texts[column]);
}

double RowWalk::numberOrZero(int column) const
{
    switch (kind(column)) {
    case Kind::Number:
        return number(column);
    case Kind::Empty:
        return 0;
    case Kind::Text:
        break;
    }
    const QByteArrayView text = bytes(column);
    return text.isEmpty() ? 0 : textToNumber(QString::fromUtf8(text));
}
