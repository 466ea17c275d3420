#include "schema.h"

#include "apperror.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace Schema {

namespace {

struct Column
{
    QString name;
    const char *type;
};

struct Table
{
    QString name;
    QList<Column> columns;
    // CREATE INDEX statements of the table.
    QStringList indexes = {};
    // A table of the program's own, beside the four the shop's file always
    // had: an older file gets it when it is upgraded.
    bool own = false;
};

const QList<Table> &tables()
{
    static const QList<Table> all = {
        // LIKE is case-insensitive, so only NOCASE indexes serve a LIKE prefix search.
        {kCatalogue,
         {{QStringLiteral("编码"), "TEXT NOT NULL UNIQUE"},
          {QStringLiteral("品名"), "TEXT"},
          {QStringLiteral("单价"), "REAL"}},
         {QStringLiteral("CREATE INDEX IF NOT EXISTS spinfo_code_nocase ON spinfo (编码 COLLATE NOCASE)"),
          QStringLiteral("CREATE INDEX IF NOT EXISTS spinfo_name_nocase ON spinfo (品名 COLLATE NOCASE)")}},
        {kOpenSale,
         {{kRowKey, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {QStringLiteral("编码"), "TEXT"},
          {QStringLiteral("品名"), "TEXT"},
          {QStringLiteral("数量"), "REAL"},
          {QStringLiteral("单价"), "REAL"},
          {QStringLiteral("金额"), "REAL"}}},
        {kSalesRecord,
         {{kRowKey, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {QStringLiteral("编码"), "TEXT"},
          {QStringLiteral("品名"), "TEXT"},
          {QStringLiteral("数量"), "REAL"},
          {QStringLiteral("单价"), "REAL"},
          {QStringLiteral("金额"), "REAL"},
          {QStringLiteral("单号"), "TEXT"},
          {QStringLiteral("收银员"), "TEXT"},
          {QStringLiteral("日期"), "TEXT"},
          {QStringLiteral("时间"), "TEXT"}},
         {QStringLiteral("CREATE INDEX IF NOT EXISTS record_date ON XiaoShouRecord (日期)"),
          QStringLiteral("CREATE INDEX IF NOT EXISTS record_date_nocase ON XiaoShouRecord (日期 COLLATE NOCASE)"),
          // A past receipt is found by its number to be printed again.
          QStringLiteral("CREATE INDEX IF NOT EXISTS record_receipt ON XiaoShouRecord (单号)")}},
        {kSettings,
         {{kRowKey, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {QStringLiteral("收银员"), "TEXT"},
          {QStringLiteral("店名"), "TEXT"},
          {QStringLiteral("备注"), "TEXT"}}},
        // Settings of one till (printer, drawer, backups …), by name; the
        // till number keeps tills that share one database apart.
        {kTillSettings,
         {{QStringLiteral("till"), "INTEGER NOT NULL"},
          {QStringLiteral("name"), "TEXT NOT NULL"},
          {QStringLiteral("value"), "TEXT"}},
         {QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS till_settings_name ON till_settings (till, name)")},
         true},
        // One row per Z report, numbered one after another. A Z report covers
        // the lines recorded after the last one's last_line; money is kept as
        // the exact decimal text that was printed.
        {kDayClosings,
         {{QStringLiteral("number"), "INTEGER PRIMARY KEY"},
          {QStringLiteral("closed_at"), "TEXT NOT NULL"},
          {QStringLiteral("date_from"), "TEXT NOT NULL"},
          {QStringLiteral("date_to"), "TEXT NOT NULL"},
          {QStringLiteral("after_line"), "INTEGER NOT NULL"},
          {QStringLiteral("last_line"), "INTEGER NOT NULL"},
          {QStringLiteral("receipts"), "INTEGER NOT NULL"},
          {QStringLiteral("lines"), "INTEGER NOT NULL"},
          {QStringLiteral("items"), "TEXT NOT NULL"},
          {QStringLiteral("takings"), "TEXT NOT NULL"},
          {QStringLiteral("counted"), "TEXT NOT NULL"},
          {QStringLiteral("difference"), "TEXT NOT NULL"}},
         {},
         true},
    };
    return all;
}

const Table *findTable(const QString &name)
{
    for (const Table &t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QString createTableStatement(const Table &t)
{
    QStringList cols;
    for (const Column &c : t.columns)
        cols << QStringLiteral("%1 %2").arg(c.name, QLatin1String(c.type));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(t.name, cols.join(QStringLiteral(", ")));
}

void run(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DatabaseError(q.lastError().text());
}

int fileVersion(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        throw DatabaseError(q.lastError().text());
    return q.value(0).toInt();
}

bool hasTable(QSqlDatabase &db, const QString &name)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("select 1 from sqlite_master where type = 'table' and name = ? collate nocase"));
    q.addBindValue(name);
    if (!q.exec())
        throw DatabaseError(q.lastError().text());
    return q.next();
}

} // namespace

QStringList columns(const QString &table)
{
    QStringList names;
    if (const Table *t = findTable(table))
        for (const Column &c : t->columns)
            names << c.name;
    return names;
}

bool isNumberColumn(const QString &table, const QString &column)
{
    if (const Table *t = findTable(table))
        for (const Column &c : t->columns)
            if (c.name.compare(column, Qt::CaseInsensitive) == 0)
                return QByteArray(c.type).startsWith("REAL");
    return false;
}

QStringList createStatements()
{
    QStringList out;
    for (const Table &t : tables())
        out << createTableStatement(t);
    for (const Table &t : tables())
        out << t.indexes;
    out << QStringLiteral("PRAGMA user_version = %1").arg(kVersion);
    return out;
}

void create(QSqlDatabase &db)
{
    for (const QString &sql : createStatements())
        run(db, sql);
}

void upgrade(QSqlDatabase &db)
{
    const int version = fileVersion(db);
    if (version == kVersion)
        return;
    if (version > kVersion)
        throw DatabaseError(QStringLiteral("The database file was made by a newer version of the program "
                                           "(layout %1; this program knows up to %2).")
                                .arg(version)
                                .arg(kVersion));
    // In one transaction: a file is either upgraded whole or left as it was.
    if (!db.transaction())
        throw DatabaseError(db.lastError().text());
    try {
        for (const Table &t : tables()) {
            if (t.own && !hasTable(db, t.name))
                run(db, createTableStatement(t));
        }
        for (const Table &t : tables())
            for (const QString &index : t.indexes)
                run(db, index);
        run(db, QStringLiteral("PRAGMA user_version = %1").arg(kVersion));
        if (!db.commit())
            throw DatabaseError(db.lastError().text());
    } catch (...) {
        db.rollback();
        throw;
    }
}

} // namespace Schema
