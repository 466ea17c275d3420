#include "schema.h"

#include "apperror.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace Schema {

const QList<Table> &tables()
{
    static const QList<Table> all = {
        // LIKE is case-insensitive, so only NOCASE indexes serve a LIKE prefix
        // search; the code index also keeps codes unique as the lookup sees them.
        {kCatalogue,
         {{QStringLiteral("编码"), "TEXT NOT NULL UNIQUE"},
          {QStringLiteral("品名"), "TEXT"},
          {QStringLiteral("单价"), "REAL"}},
         {QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS spinfo_code_unique ON spinfo (编码 COLLATE NOCASE)"),
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
          // Each new receipt number is later than the largest recorded one, and
          // a past receipt is found by its number to be printed again.
          QStringLiteral("CREATE INDEX IF NOT EXISTS record_receipt_number ON XiaoShouRecord (单号)")}},
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
        // The record rows of the sale (keys first_record to last_record, none
        // for an empty sale) and what the receipt shows besides them.
        {kAwaitingPrint,
         {{kRowKey, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {QStringLiteral("first_record"), "INTEGER"},
          {QStringLiteral("last_record"), "INTEGER"},
          {QStringLiteral("received"), "TEXT"},
          {QStringLiteral("change_given"), "TEXT"},
          {QStringLiteral("copies"), "INTEGER"}},
         {},
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

namespace {

const Table *findTable(const QString &name)
{
    for (const Table &t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

} // namespace

QString createTableStatement(const Table &t)
{
    QStringList cols;
    for (const Column &c : t.columns)
        cols << QStringLiteral("%1 %2").arg(c.name, QLatin1String(c.type));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(t.name, cols.join(QStringLiteral(", ")));
}

QString indexName(const QString &createIndex)
{
    static const QRegularExpression name(QStringLiteral("INDEX\\s+(?:IF\\s+NOT\\s+EXISTS\\s+)?(\\S+)\\s+ON\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    return name.match(createIndex).captured(1);
}

namespace {

void run(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DatabaseError(q.lastError().text());
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

} // namespace Schema
