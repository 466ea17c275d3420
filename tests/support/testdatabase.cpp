#include "testdatabase.h"

#include "db/database.h"
#include "db/databaseaddress.h"

#include <QCoreApplication>
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

TestDatabase::TestDatabase()
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
        m_path = m_dir.filePath(QStringLiteral("data.db"));
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
    QList<QVariantList> out;
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < q.record().count(); ++i)
            row << q.value(i);
        out << row;
    }
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
    exec(QStringLiteral("insert into spinfo (编码, 品名, 单价) values (?, ?, ?)"), {code, name, price});
}

void TestDatabase::addSaleLine(const QString &code, const QString &name, double quantity, double price)
{
    exec(QStringLiteral("insert into xiaoshou (编码, 品名, 数量, 单价, 金额) values (?, ?, ?, ?, ?)"),
         {code, name, quantity, price, quantity * price});
}

void TestDatabase::setSettings(const QString &cashier, const QString &shopName, const QString &remark)
{
    exec(QStringLiteral("delete from beizhu"));
    exec(QStringLiteral("insert into beizhu (收银员, 店名, 备注) values (?, ?, ?)"), {cashier, shopName, remark});
}

void TestDatabase::refuseInserts(const QString &table, const QString &message, int fromRows)
{
    if (onServer()) {
        exec(QStringLiteral("create function refuse_%1() returns trigger language plpgsql as $$ begin "
                            "if (select count(*) from %1) >= %3 then raise exception '%2'; end if; "
                            "return new; end $$")
                 .arg(table, message)
                 .arg(fromRows));
        exec(QStringLiteral("create trigger refuse_%1 before insert on %1 for each row execute function refuse_%1()")
                 .arg(table));
    } else {
        exec(QStringLiteral("create trigger refuse_%1 before insert on %1 when (select count(*) from %1) >= %3 "
                            "begin select raise(abort, '%2'); end")
                 .arg(table, message)
                 .arg(fromRows));
    }
}

void TestDatabase::allowInserts(const QString &table)
{
    exec(onServer() ? QStringLiteral("drop trigger refuse_%1 on %1").arg(table)
                    : QStringLiteral("drop trigger refuse_%1").arg(table));
}
