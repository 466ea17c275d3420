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
};

const QList<Table> &tables()
{
    static const QList<Table> all = {
        {kCatalogue,
         {{QStringLiteral("编码"), "TEXT NOT NULL UNIQUE"},
          {QStringLiteral("品名"), "TEXT"},
          {QStringLiteral("单价"), "REAL"}}},
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
          {QStringLiteral("时间"), "TEXT"}}},
        {kSettings,
         {{kRowKey, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {QStringLiteral("收银员"), "TEXT"},
          {QStringLiteral("店名"), "TEXT"},
          {QStringLiteral("备注"), "TEXT"}}},
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
    for (const Table &t : tables()) {
        QStringList cols;
        for (const Column &c : t.columns)
            cols << QStringLiteral("%1 %2").arg(c.name, QLatin1String(c.type));
        out << QStringLiteral("CREATE TABLE %1 (%2)").arg(t.name, cols.join(QStringLiteral(", ")));
    }
    // LIKE is case-insensitive, so only NOCASE indexes serve a LIKE prefix search.
    out << QStringLiteral("CREATE INDEX spinfo_code_nocase ON spinfo (编码 COLLATE NOCASE)")
        << QStringLiteral("CREATE INDEX spinfo_name_nocase ON spinfo (品名 COLLATE NOCASE)")
        << QStringLiteral("CREATE INDEX record_date ON XiaoShouRecord (日期)")
        << QStringLiteral("CREATE INDEX record_date_nocase ON XiaoShouRecord (日期 COLLATE NOCASE)");
    return out;
}

void create(QSqlDatabase &db)
{
    for (const QString &sql : createStatements()) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            throw DatabaseError(q.lastError().text());
    }
}

} // namespace Schema
