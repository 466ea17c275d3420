#include "testdatabase.h"
#include "withnames.h"

#include "storage/database.h"
#include "storage/databaseaddress.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <QUrl>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

std::atomic<int> counter{0};

// The connection to the test server's own database, where test databases
// are made and dropped.
QSqlDatabase serverAdmin()
{
    const QString name = QStringLiteral("testdb-admin");
    if (!QSqlDatabase::contains(name)) {
        const DatabaseAddress address = DatabaseAddress::parse(TestDatabase::serverAddress());
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(address.host());
        db.setPort(address.port());
        db.setDatabaseName(address.databaseName());
        db.setUserName(address.user());
        db.setConnectOptions(address.connectOptions());
        if (!db.open())
            qFatal("cannot reach the test server: %s", qPrintable(db.lastError().text()));
    }
    return QSqlDatabase::database(name);
}

void runOnServer(const QString &sql)
{
    QSqlQuery q(serverAdmin());
    if (!q.exec(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
}

QString serverDatabaseAddress(const QString &name)
{
    QUrl url(TestDatabase::serverAddress());
    url.setPath(QLatin1Char('/') + name);
    return url.toString();
}

QString newServerDatabase()
{
    const QString name = QStringLiteral("fenwo_t%1_%2").arg(QCoreApplication::applicationPid()).arg(counter++);
    runOnServer(QStringLiteral("CREATE DATABASE %1").arg(name));
    return name;
}

QList<QVariantList> rowsOf(QSqlQuery &q)
{
    QList<QVariantList> out;
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < q.record().count(); ++i)
            row << q.value(i);
        out << row;
    }
    return out;
}

} // namespace

bool TestDatabase::onServer()
{
    return qEnvironmentVariable("FENWO_TEST_BACKEND") == QLatin1String("postgresql");
}

QString TestDatabase::serverAddress()
{
    return qEnvironmentVariable("FENWO_TEST_PG");
}

QString TestDatabase::makeEmptyServerDatabase()
{
    // Left for the throw-away server to take away with it.
    return serverDatabaseAddress(newServerDatabase());
}

TestDatabase::TestDatabase(const QString &folder)
{
    if (onServer()) {
        if (serverAddress().isEmpty()) {
            std::fprintf(stdout, "SKIP: these tests run on a PostgreSQL server and FENWO_TEST_PG names none "
                                 "(scripts/test.sh starts one)\n");
            std::fflush(stdout);
            std::_Exit(77);
        }
        m_serverDatabase = newServerDatabase();
        m_path = serverDatabaseAddress(m_serverDatabase);
        Database::create(m_path);
    } else {
        m_path = QDir(folder.isEmpty() ? m_dir.path() : folder).filePath(QStringLiteral("data.db"));
        Database::createFile(m_path);
    }
    connect();
}

TestDatabase::TestDatabase(const QStringList &layout)
{
    m_path = m_dir.filePath(QStringLiteral("data.db"));
    connect();
    for (const QString &statement : layout)
        exec(statement);
}

void TestDatabase::connect()
{
    m_connection = QStringLiteral("testdb-%1").arg(counter++);
    QSqlDatabase db;
    if (!m_serverDatabase.isEmpty()) {
        const DatabaseAddress address = DatabaseAddress::parse(m_path);
        db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connection);
        db.setHostName(address.host());
        db.setPort(address.port());
        db.setDatabaseName(address.databaseName());
        db.setUserName(address.user());
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(m_path);
    }
    if (!db.open())
        qFatal("cannot open test database: %s", qPrintable(db.lastError().text()));
}

QString TestDatabase::folder() const
{
    return m_serverDatabase.isEmpty() ? QFileInfo(m_path).path() : m_dir.path();
}

TestDatabase::~TestDatabase()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    // Connections the test left open go with it.
    if (!m_serverDatabase.isEmpty())
        runOnServer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_serverDatabase));
}

void TestDatabase::release()
{
    QSqlDatabase::database(m_connection, false).close();
}

void TestDatabase::exec(const QString &sql, const QVariantList &params)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    // PostgreSQL prepares no table changes: those run as they are.
    if (params.isEmpty()) {
        if (!q.exec(sql))
            qFatal("exec failed: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return;
    }
    if (!q.prepare(sql))
        qFatal("prepare failed: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    for (const QVariant &v : params)
        q.addBindValue(v);
    if (!q.exec())
        qFatal("exec failed: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
}

QList<QVariantList> TestDatabase::rows(const QString &sql, const QVariantList &params)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (!q.prepare(sql))
        qFatal("prepare failed: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    for (const QVariant &v : params)
        q.addBindValue(v);
    if (!q.exec())
        qFatal("exec failed: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return rowsOf(q);
}

QList<QVariantList> TestDatabase::rowsAt(const QString &path, const QString &sql)
{
    const QString name = QStringLiteral("testdb-%1").arg(counter++);
    QList<QVariantList> out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s: %s", qPrintable(path), qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        for (const QString &part : sql.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (!q.exec(part))
                qFatal("exec failed: %s: %s", qPrintable(part), qPrintable(q.lastError().text()));
        }
        out = rowsOf(q);
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

QVariant TestDatabase::scalar(const QString &sql, const QVariantList &params)
{
    const auto all = rows(sql, params);
    return all.isEmpty() || all.first().isEmpty() ? QVariant() : all.first().first();
}

int TestDatabase::count(const QString &table)
{
    return scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt();
}

void TestDatabase::addProduct(const QString &code, const QString &name, double price)
{
    exec(withNames("insert into {Catalogue} ({code}, {name}, {price}) values (?, ?, ?)"), {code, name, price});
}

void TestDatabase::addSaleLine(const QString &code, const QString &name, double quantity, double price)
{
    exec(withNames("insert into {OpenSale} ({code}, {name}, {quantity}, {price}, {amount}) values (?, ?, ?, ?, ?)"),
         {code, name, quantity, price, quantity * price});
}

void TestDatabase::addRecordLine(const QString &receipt, const QString &cashier, const QString &date,
                                 const QString &time, const QString &name, double quantity, double amount)
{
    exec(withNames("insert into {SalesRecord} ({code}, {name}, {quantity}, {price}, {amount}, {receiptNumber}, {cashier}, {date}, {time}) "
                        "values ('69', ?, ?, 0, ?, ?, ?, ?, ?)"),
         {name, quantity, amount, receipt, cashier, date, time});
}

void TestDatabase::setSettings(const QString &cashier, const QString &shopName, const QString &remark)
{
    exec(withNames("delete from {ShopSettings}"));
    exec(withNames("insert into {ShopSettings} ({cashier}, {shopName}, {remark}) values (?, ?, ?)"), {cashier, shopName, remark});
}

void TestDatabase::refuseInserts(const QString &table, const QString &message, int fromRows)
{
    refuse(QStringLiteral("insert"), table, message, fromRows);
}

void TestDatabase::allowInserts(const QString &table)
{
    allow(QStringLiteral("insert"), table);
}

void TestDatabase::refuseDeletes(const QString &table, const QString &message)
{
    refuse(QStringLiteral("delete"), table, message, 0);
}

void TestDatabase::allowDeletes(const QString &table)
{
    allow(QStringLiteral("delete"), table);
}

void TestDatabase::refuse(const QString &change, const QString &table, const QString &message, int fromRows)
{
    const QString name = QStringLiteral("refuse_%1_%2").arg(change, table);
    if (onServer()) {
        exec(QStringLiteral("create function %1() returns trigger language plpgsql as $$ begin "
                            "if (select count(*) from %2) >= %4 then raise exception '%3'; end if; "
                            "return coalesce(new, old); end $$")
                 .arg(name, table, message)
                 .arg(fromRows));
        exec(QStringLiteral("create trigger %1 before %2 on %3 for each row execute function %1()").arg(name, change, table));
    } else {
        exec(QStringLiteral("create trigger %1 before %2 on %3 when (select count(*) from %3) >= %5 "
                            "begin select raise(abort, '%4'); end")
                 .arg(name, change, table, message)
                 .arg(fromRows));
    }
}

void TestDatabase::allow(const QString &change, const QString &table)
{
    const QString name = QStringLiteral("refuse_%1_%2").arg(change, table);
    exec(onServer() ? QStringLiteral("drop trigger %1 on %2").arg(name, table) : QStringLiteral("drop trigger %1").arg(name));
}
