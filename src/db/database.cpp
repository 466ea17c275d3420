#include "database.h"

#include "apperror.h"
#include "schema.h"
#include "schemaupgrade.h"
#include "statements.h"
#include "writeaccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>

namespace {

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("fenwo-%1").arg(counter++);
}

// Every committed change must survive a crash or a power cut: write-ahead log,
// synced at each commit.
void applyDurability(QSqlDatabase &db, const QString &filePath)
{
    QSqlQuery q(db);
    for (const char *pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL",
                               "PRAGMA foreign_keys=ON", "PRAGMA busy_timeout=5000"}) {
        if (!q.exec(QString::fromLatin1(pragma))) {
            WriteAccess::refuseIfUnwritable(q.lastError(), filePath);
            throw DatabaseError(q.lastError().text());
        }
    }
}

// SQLite opens a file it cannot write read-only without a word, and even
// takes the write lock on it: only writing a page tells, so one is written
// and undone. While another till is writing, the files are looked at instead
// of waiting for it.
void tryWriting(QSqlDatabase &db, const QString &filePath)
{
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA busy_timeout=0"));
    bool written = q.exec(QStringLiteral("BEGIN IMMEDIATE"));
    QSqlError error = q.lastError();
    if (written) {
        written = q.exec(QStringLiteral("PRAGMA user_version")) && q.next();
        const int version = q.value(0).toInt();
        q.finish();
        written = written && q.exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
        error = q.lastError();
        q.exec(QStringLiteral("ROLLBACK"));
    }
    q.exec(QStringLiteral("PRAGMA busy_timeout=5000"));
    if (written)
        return;
    if (WriteAccess::isBusy(error)) {
        WriteAccess::refuseIfUnwritable(filePath);
        return;
    }
    WriteAccess::refuseIfUnwritable(error, filePath);
    throw DatabaseError(error.text());
}

QString errorText(const QSqlError &error)
{
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("Unknown database error") : text;
}

} // namespace

Database::Database()
    : m_connectionName(nextConnectionName())
{
}

Database::~Database()
{
    close();
}

QString Database::defaultPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("data.db"));
}

OpeningReport Database::open(const QString &filePath)
{
    close();
    m_filePath = QFileInfo(filePath).absoluteFilePath();
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    // mode=rw: open what is there, never create a new empty file.
    QUrl url = QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath());
    url.setQuery(QStringLiteral("mode=rw"));
    m_db.setDatabaseName(url.toString(QUrl::FullyEncoded));
    m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    if (!m_db.open()) {
        const QString message = errorText(m_db.lastError());
        close();
        throw DatabaseError(message);
    }
    try {
        applyDurability(m_db, filePath);
        tryWriting(m_db, filePath);
        return SchemaUpgrade(m_db, filePath).run();
    } catch (...) {
        close();
        throw;
    }
}

void Database::close()
{
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

bool Database::isOpen() const
{
    return m_db.isValid() && m_db.isOpen();
}

QSqlDatabase &Database::handle()
{
    if (!isOpen())
        throw DatabaseError(QStringLiteral("No database connection"));
    return m_db;
}

void Database::createFile(const QString &filePath)
{
    if (QFileInfo::exists(filePath))
        throw DatabaseError(QStringLiteral("%1 already exists").arg(filePath));
    // The shop's sales are nobody else's business. SQLite gives the -wal and
    // -shm files the mode of the database file.
    constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    {
        QFile empty(filePath);
        if (!empty.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerOnly))
            throw DatabaseError(QStringLiteral("%1: %2").arg(filePath, empty.errorString()));
        // The mode given at creation passes through the umask; this one does not.
        if (!empty.setPermissions(ownerOnly)) {
            const QString why = empty.errorString();
            empty.remove();
            throw DatabaseError(QStringLiteral("%1: %2").arg(filePath, why));
        }
    }
    const QString name = nextConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(filePath);
        if (!db.open()) {
            QFile::remove(filePath);
            throw DatabaseError(errorText(db.lastError()));
        }
        try {
            applyDurability(db, filePath);
            Schema::create(db);
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            QFile::remove(filePath);
            throw;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QSqlQuery Database::run(const Statement &statement, bool forwardOnly)
{
    QSqlQuery q(handle());
    q.setForwardOnly(forwardOnly);
    if (!q.prepare(statement.sql))
        throw DatabaseError(errorText(q.lastError()));
    for (const QVariant &v : statement.params)
        q.addBindValue(v);
    if (!q.exec())
        throw DatabaseError(errorText(q.lastError()));
    return q;
}

int Database::execute(const Statement &statement)
{
    QSqlQuery q = run(statement);
    return q.numRowsAffected();
}

Transaction::Transaction(Database &db)
    : m_db(db)
{
    if (!m_db.handle().transaction())
        throw DatabaseError(errorText(m_db.handle().lastError()));
}

Transaction::~Transaction()
{
    if (!m_done && m_db.isOpen())
        m_db.handle().rollback();
}

void Transaction::commit()
{
    if (!m_db.handle().commit())
        throw DatabaseError(errorText(m_db.handle().lastError()));
    m_done = true;
}
