#include "testdatabase.h"

#include "db/database.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <atomic>

TestDatabase::TestDatabase(const QString &folder)
{
    m_path = QDir(folder.isEmpty() ? m_dir.path() : folder).filePath(QStringLiteral("data.db"));
    Database::createFile(m_path);
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
    static std::atomic<int> counter{0};
    m_connection = QStringLiteral("testdb-%1").arg(counter++);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    if (!db.open())
        qFatal("cannot open test database: %s", qPrintable(db.lastError().text()));
}

QString TestDatabase::folder() const
{
    return QFileInfo(m_path).path();
}

TestDatabase::~TestDatabase()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

void TestDatabase::release()
{
    QSqlDatabase::database(m_connection, false).close();
}

void TestDatabase::exec(const QString &sql, const QVariantList &params)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
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
