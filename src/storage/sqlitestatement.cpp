#include "sqlitestatement.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/statements.h"

#include <QSqlDriver>
#include <QSqlQuery>

#include <sqlite3.h>

namespace {

// The driver hands out its handle as "sqlite3*"; we may step on it only when
// the driver runs on the same SQLite library as this program. Checked once
// per connection by comparing what each side says its version is.
bool sameLibrary(Database &db)
{
    QSqlQuery q(db.handle());
    if (!q.exec(QStringLiteral("select sqlite_version()")) || !q.next())
        return false;
    return q.value(0).toString() == QLatin1String(sqlite3_libversion());
}

} // namespace

sqlite3 *SqliteStatement::handleOf(Database &db)
{
    const QVariant handle = db.handle().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw DatabaseError(QStringLiteral("The database connection is not an SQLite connection"));
    sqlite3 *h = *static_cast<sqlite3 *const *>(handle.data());
    if (!h)
        throw DatabaseError(QStringLiteral("No database connection"));
    static sqlite3 *checked = nullptr;
    if (h != checked) {
        if (!sameLibrary(db))
            throw DatabaseError(QStringLiteral("The SQLite library of the database driver differs from the program's"));
        checked = h;
    }
    return h;
}

SqliteStatement::SqliteStatement(Database &db, const Statement &statement)
    : SqliteStatement(handleOf(db), statement)
{
}

SqliteStatement::SqliteStatement(sqlite3 *db, const Statement &statement)
    : m_db(db)
{
    const QByteArray sql = statement.sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &m_stmt, nullptr) != SQLITE_OK)
        fail();
    try {
        bindAll(statement.params);
    } catch (...) {
        sqlite3_finalize(m_stmt);
        throw;
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

void SqliteStatement::fail() const
{
    throw DatabaseError(QString::fromUtf8(sqlite3_errmsg(m_db)));
}

void SqliteStatement::bindAll(const QVariantList &params)
{
    for (int i = 0; i < params.size(); ++i) {
        const QVariant &v = params[i];
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(m_stmt, i + 1);
        } else {
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(m_stmt, i + 1, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_stmt, i + 1, v.toDouble());
                break;
            case QMetaType::QString: {
                const QByteArray &text = m_texts.emplace_back(static_cast<const QString *>(v.constData())->toUtf8());
                rc = sqlite3_bind_text(m_stmt, i + 1, text.constData(), int(text.size()), SQLITE_STATIC);
                break;
            }
            default: {
                const QByteArray &text = m_texts.emplace_back(v.toString().toUtf8());
                rc = sqlite3_bind_text(m_stmt, i + 1, text.constData(), int(text.size()), SQLITE_STATIC);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            fail();
    }
}

void SqliteStatement::rebind(const QVariantList &params)
{
    sqlite3_clear_bindings(m_stmt);
    m_texts.clear();
    bindAll(params);
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail();
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_stmt);
}

QVariant SqliteStatement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column)));
    }
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(m_stmt, column)));
    }
    default:
        return QVariant();
    }
}
