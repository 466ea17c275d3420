#include "database.h"

#include "base/apperror.h"
#include "storage/schema.h"
#include "storage/schemaupgrade.h"
#include "storage/sqlitestatement.h"
#include "storage/statements.h"
#include "storage/writeaccess.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <libpq-fe.h>

#include <atomic>
#include <functional>

namespace {

// A till waits this long for the server before it asks whether the server
// answers at all (its answer is waited for AnswerWatch::kPingWait; the ping
// itself gives up after kPingTimeout, libpq's least); a report over many
// rows waits longer.
constexpr std::chrono::milliseconds kAnswerLimit{500};
constexpr std::chrono::milliseconds kPatientAnswerLimit{60000};
constexpr std::chrono::seconds kPingTimeout{2};

// A connection string value, quoted as libpq reads it.
QByteArray quotedValue(const char *value)
{
    QByteArray text(value ? value : "");
    text.replace('\\', "\\\\").replace('\'', "\\'");
    return '\'' + text + '\'';
}

// How to reach the server of this connection on one of its own, to ask
// whether it answers.
QByteArray pingAddress(PGconn *connection)
{
    return "host=" + quotedValue(PQhost(connection)) + " port=" + quotedValue(PQport(connection))
        + " dbname=" + quotedValue(PQdb(connection)) + " user=" + quotedValue(PQuser(connection))
        + " connect_timeout=" + QByteArray::number(qint64(kPingTimeout.count()));
}

// The connection's own handle, to shut its socket when the server does not answer.
PGconn *serverConnection(QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    // The driver names the type by its typedef or by its struct.
    if (!handle.isValid()
        || (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn *const *>(handle.constData());
}

// The server ends this connection (a restart or a shutdown): as good as lost.
bool isServerGoingAway(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("57P01") || code == QLatin1String("57P02") || code == QLatin1String("57P03")
        || error.databaseText().contains(QLatin1String("terminating connection due to administrator command"))
        || error.databaseText().contains(QLatin1String("the database system is shutting down"));
}

bool isTooManyClients(const QSqlError &error)
{
    return error.nativeErrorCode() == QLatin1String("53300")
        || error.text().contains(QLatin1String("too many clients"))
        || error.text().contains(QLatin1String("remaining connection slots are reserved"));
}

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
    QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    // PostgreSQL's "ERROR:  message" with its context lines: the message is what counts.
    for (const QLatin1String severity : {QLatin1String("ERROR:  "), QLatin1String("FATAL:  ")}) {
        if (text.startsWith(severity)) {
            text = text.mid(severity.size());
            text.truncate(text.indexOf(QLatin1Char('\n')));
            break;
        }
    }
    text = text.trimmed();
    return text.isEmpty() ? QStringLiteral("Unknown database error") : text;
}

bool isUniqueViolation(const QSqlError &error)
{
    // SQLITE_CONSTRAINT_UNIQUE / _PRIMARYKEY, PostgreSQL's unique_violation,
    // or the plain message where the driver reports only the primary code.
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("2067") || code == QLatin1String("1555") || code == QLatin1String("23505")
        || error.databaseText().contains(QLatin1String("UNIQUE constraint failed"))
        || error.databaseText().contains(QLatin1String("duplicate key"));
}

QSqlDatabase addServerConnection(const DatabaseAddress &address, const QString &name)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    if (!db.isValid()) {
        QSqlDatabase::removeDatabase(name);
        throw DatabaseError(QStringLiteral("这台电脑上没有 PostgreSQL 数据库驱动，连接不了数据库服务器 %1。"
                                           "请安装 libqt6sql6-psql。")
                                .arg(address.serverName()));
    }
    db.setHostName(address.host());
    db.setPort(address.port());
    db.setDatabaseName(address.databaseName());
    db.setUserName(address.user());
    // Left empty, libpq reads PGPASSWORD or ~/.pgpass.
    db.setPassword(address.password());
    db.setConnectOptions(address.connectOptions());
    return db;
}

QString unreachableMessage(const DatabaseAddress &address, const QSqlError &error)
{
    if (isTooManyClients(error))
        return QStringLiteral("提示：数据库服务器 %1 已经满了，容不下再一台收银机连接。\n"
                              "请关掉不用的收银程序，或者请管理员调大服务器的 max_connections。程序会自动再试。\n（%2）")
            .arg(address.serverName(), errorText(error));
    return QStringLiteral("提示：连接不上数据库服务器 %1（数据库 %2）。\n"
                          "服务器可能没有开机、网络不通，或者地址、用户名、密码不对。\n（%3）")
        .arg(address.serverName(), address.databaseName(), errorText(error));
}

// Runs work on a connection of its own to the server, closed again whatever
// happens; throws ConnectionLost when the server does not answer.
void onServer(const DatabaseAddress &where, const std::function<void(QSqlDatabase &)> &work)
{
    const QString name = nextConnectionName();
    {
        QSqlDatabase db = addServerConnection(where, name);
        const auto removed = [&] {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
        };
        if (!db.open()) {
            const QString message = unreachableMessage(where, db.lastError());
            removed();
            throw ConnectionLost(message);
        }
        try {
            work(db);
        } catch (...) {
            removed();
            throw;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
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

std::optional<int> Database::parseTill(const QString &text)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < 1 || number > 999)
        return std::nullopt;
    return number;
}

OpeningReport Database::open(const QString &address)
{
    close();
    m_address = DatabaseAddress::parse(address);
    m_filePath.clear();
    m_everConnected = false;
    m_offline = false;
    if (m_address.isServer()) {
        openServer();
        return {};
    }
    return openFile(m_address.filePath());
}

OpeningReport Database::openFile(const QString &filePath)
{
    m_filePath = QFileInfo(filePath).absoluteFilePath();
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    // mode=rw: open what is there, never create a new empty file.
    QUrl url = QUrl::fromLocalFile(m_filePath);
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
        attachFileWait();
        return SchemaUpgrade(m_db, filePath).run();
    } catch (...) {
        close();
        throw;
    }
}

void Database::openServer()
{
    if (!m_db.isValid()) {
        m_db = addServerConnection(m_address, m_connectionName);
        // The driver stays the same object from one connection to the next.
        connect(m_db.driver(), &QSqlDriver::notification, this, [this](const QString &channel) {
            if (channel == Schema::kCatalogueChannel)
                emit catalogueChanged();
            else if (channel == Schema::kStockChannel)
                emit stockChanged();
        });
    }
    if (!m_db.open())
        throw ConnectionLost(unreachableMessage(m_address, m_db.lastError()));
    try {
        Schema::checkServerLayout(m_db);
    } catch (...) {
        m_db.close();
        throw;
    }
    m_lost = false;
    m_everConnected = true;
    subscribe();
}

void Database::reconnect()
{
    if (!m_address.isServer()) {
        open(m_address.filePath());
        return;
    }
    if (m_offline) {
        // Back from the till's own copy: the server first, the copy kept
        // until the server has taken the connection.
        Database trial;
        trial.m_address = m_address;
        trial.openServer();
        trial.close();
        close();
        m_offline = false;
        try {
            openServer();
        } catch (...) {
            useLocalCopy();
            throw;
        }
        emit switched();
        return;
    }
    if (m_db.isValid())
        m_db.close();
    openServer();
}

bool Database::useLocalCopy()
{
    if (m_offline)
        return true;
    if (!m_address.isServer() || m_localCopy.isEmpty() || !QFileInfo::exists(m_localCopy))
        return false;
    close();
    try {
        openFile(m_localCopy);
    } catch (const AppError &) {
        close();
        return false;
    }
    m_filePath.clear();   // still the server's till: no backups of the copy
    m_offline = true;
    if (!m_lost) {
        m_lost = true;
        emit connectionLost();
    }
    emit switched();
    return true;
}

QString Database::offlineMessage() const
{
    return QStringLiteral("提示：数据库服务器 %1 连接不上，收银机已转为离线收银，这一步没有做，请再做一次。\n"
                          "离线的销售存在本机，服务器恢复后自动送上去。")
        .arg(m_address.serverName());
}

Database::Hold::Hold(Database &db)
    : m_db(db)
{
    ++m_db.m_holds;
}

Database::Hold::~Hold()
{
    --m_db.m_holds;
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
    if (!isOpen()) {
        if (m_address.isServer() && !m_offline)
            fail(QSqlError());
        throw DatabaseError(QStringLiteral("No database connection"));
    }
    return m_db;
}

QString Database::lostMessage() const
{
    if (!m_everConnected)
        return QStringLiteral("提示：还没有连上数据库服务器 %1。程序正在自动重新连接，连上以后就可以收银。")
            .arg(m_address.serverName());
    return QStringLiteral("提示：和数据库服务器 %1 的连接断了。\n已经存到服务器上的商品和销售不会丢失。"
                          "程序正在自动重新连接，连上以后就可以继续收银。")
        .arg(m_address.serverName());
}

QString Database::noAnswerMessage() const
{
    return QStringLiteral("提示：数据库服务器 %1 超过 %2 秒没有回应，这一步没有做。\n已经存到服务器上的商品和销售不会丢失。"
                          "程序正在自动重新连接，连上以后就可以继续收银。")
        .arg(m_address.serverName())
        .arg(((m_patience > 0 ? kPatientAnswerLimit : kAnswerLimit) + AnswerWatch::kPingWait).count() / 1000);
}

void Database::fail(const QSqlError &error)
{
    const bool runOut = m_answerWatch && m_answerWatch->takeRunOut();
    const bool onServer = m_address.isServer() && !m_offline;
    const bool goingAway = onServer && isServerGoingAway(error);
    if (onServer && (!isOpen() || runOut || goingAway)) {
        // The connection is of no more use: the watch reconnects.
        if (goingAway || runOut)
            m_db.close();
        if (!m_lost) {
            m_lost = true;
            emit connectionLost();
        }
        throw ConnectionLost(runOut ? noAnswerMessage() : lostMessage());
    }
    const QString text = errorText(error);
    if (isUniqueViolation(error))
        throw DuplicateKeyError(text);
    const QString code = error.nativeErrorCode();
    if (code == QLatin1String("55P03"))
        throw DatabaseError(QStringLiteral("提示：另一台收银机正在修改同样的数据，等了几秒还没有完成，这一步没有做。请稍后再试。\n（%1）")
                                .arg(text));
    if (code == QLatin1String("57014"))
        throw DatabaseError(QStringLiteral("提示：数据库服务器处理这一步太久，已经取消，这一步没有做。请稍后再试。\n（%1）")
                                .arg(text));
    throw DatabaseError(text);
}

Database::Patience::Patience(Database &db)
    : m_db(db)
{
    ++m_db.m_patience;
}

Database::Patience::~Patience()
{
    --m_db.m_patience;
}

std::unique_ptr<AnswerWatch::Wait> Database::waitForServer()
{
    if (!m_address.isServer() || m_offline || !m_db.isValid())
        return nullptr;
    PGconn *connection = serverConnection(m_db);
    const int socket = connection ? PQsocket(connection) : -1;
    if (socket < 0)
        return nullptr;
    if (!m_answerWatch)
        m_answerWatch = std::make_unique<AnswerWatch>();
    return std::make_unique<AnswerWatch::Wait>(*m_answerWatch, socket,
                                               m_patience > 0 ? kPatientAnswerLimit : kAnswerLimit,
                                               pingAddress(connection));
}

void Database::watchCatalogue()
{
    m_watchingCatalogue = true;
    if (isOpen())
        subscribe();
}

void Database::watchStock()
{
    m_watchingStock = true;
    if (isOpen())
        subscribe();
}

void Database::subscribe()
{
    if (!m_address.isServer() || m_offline)
        return;
    QSqlDriver *driver = m_db.driver();
    for (const auto &[watching, channel] :
         {std::pair(m_watchingCatalogue, Schema::kCatalogueChannel), std::pair(m_watchingStock, Schema::kStockChannel)})
        if (watching && !driver->subscribedToNotifications().contains(channel)
            && !driver->subscribeToNotification(channel))
            fail(driver->lastError());
}

void Database::createFile(const QString &filePath)
{
    if (DatabaseAddress::isServerAddress(filePath))
        throw DatabaseError(QStringLiteral("%1 is not a file").arg(DatabaseAddress::masked(filePath)));
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
            Schema::create(db, Dialect::Sqlite);
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

void Database::create(const QString &address)
{
    const DatabaseAddress where = DatabaseAddress::parse(address);
    if (!where.isServer()) {
        createFile(where.filePath());
        return;
    }
    onServer(where, [](QSqlDatabase &db) { Schema::create(db, Dialect::Postgres); });
}

void Database::checkServer(const QString &address)
{
    const DatabaseAddress where = DatabaseAddress::parse(address);
    if (!where.isServer())
        throw DatabaseError(QStringLiteral("%1 is not a server address").arg(address));
    onServer(where, [](QSqlDatabase &db) { Schema::checkServerLayout(db); });
}

bool Database::serverAnswers(const DatabaseAddress &address)
{
    try {
        onServer(address, [](QSqlDatabase &) {});
        return true;
    } catch (const AppError &) {
        return false;
    }
}

void Database::attachFileWait()
{
    // After the pragmas: a busy timeout set later would take the waiting back.
    try {
        m_fileWait.attach(SqliteStatement::handleOf(*this), m_filePath);
    } catch (const AppError &) {
        // The driver's SQLite is another: its own busy timeout waits instead.
    }
}

QSqlQuery Database::run(const Statement &statement, bool forwardOnly)
{
    try {
        return runHere(statement, forwardOnly);
    } catch (const ConnectionLost &) {
        // A scan or a line goes on on the till's own copy at once; work
        // begun on the server is not finished there.
        if (!m_transactions && useLocalCopy())
            return runHere(statement, forwardOnly);
        if (useLocalCopy())
            throw ConnectionLost(offlineMessage());
        throw;
    }
}

QSqlQuery Database::runHere(const Statement &statement, bool forwardOnly)
{
    QSqlQuery q(handle());
    const auto waited = qScopeGuard([this] { m_fileWait.finish(); });
    q.setForwardOnly(forwardOnly);
    // PostgreSQL prepares no table changes (a temporary table for an import):
    // a statement without values runs as it is.
    if (statement.params.isEmpty() && dialect() == Dialect::Postgres) {
        bool done;
        {
            const auto wait = waitForServer();
            done = q.exec(statement.sqlFor(dialect()));
        }
        if (!done)
            fail(q.lastError());
        return q;
    }
    bool done;
    {
        const auto wait = waitForServer();
        done = q.prepare(statement.sqlFor(dialect()));
        if (done) {
            for (const QVariant &v : statement.params)
                q.addBindValue(v);
            done = q.exec();
        }
    }
    if (!done)
        fail(q.lastError());
    return q;
}

int Database::execute(const Statement &statement)
{
    QSqlQuery q = run(statement);
    return q.numRowsAffected();
}

Transaction::Transaction(Database &db, Start start)
    : m_db(db)
{
    try {
        begin(start);
    } catch (const ConnectionLost &) {
        // Nothing done yet: the work goes on on the till's own copy.
        if (!m_db.useLocalCopy())
            throw;
        begin(start);
    }
    ++m_db.m_transactions;
}

void Transaction::begin(Start start)
{
    if (start == Start::Writing && m_db.dialect() == Dialect::Sqlite) {
        QSqlQuery q(m_db.handle());
        const bool begun = q.exec(QStringLiteral("BEGIN IMMEDIATE"));
        m_db.finishFileWait();
        if (!begun)
            m_db.fail(q.lastError());
        return;
    }
    bool begun;
    {
        const auto wait = m_db.waitForServer();
        begun = m_db.handle().transaction();
    }
    if (!begun)
        m_db.fail(m_db.handle().lastError());
}

Transaction::~Transaction()
{
    if (!m_done) {
        --m_db.m_transactions;
        if (m_db.isOpen()) {
            const auto wait = m_db.waitForServer();
            m_db.handle().rollback();
        }
    }
}

void Transaction::commit()
{
    bool committed;
    {
        const auto wait = m_db.waitForServer();
        committed = m_db.handle().commit();
    }
    m_db.finishFileWait();
    if (!committed)
        m_db.fail(m_db.handle().lastError());
    m_done = true;
    --m_db.m_transactions;
}
