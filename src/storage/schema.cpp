#include "schema.h"

#include "base/apperror.h"

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
        // PostgreSQL compares lower() of both sides, which indexes on lower()
        // in pattern order serve.
        {kCatalogue,
         {{QStringLiteral("编码"), "TEXT NOT NULL UNIQUE"},
          {QStringLiteral("品名"), "TEXT"},
          {QStringLiteral("单价"), "REAL"}},
         {{QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS spinfo_code_unique ON spinfo (编码 COLLATE NOCASE)"),
           QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS spinfo_code_unique ON spinfo (lower(编码) text_pattern_ops)")},
          {QStringLiteral("CREATE INDEX IF NOT EXISTS spinfo_name_nocase ON spinfo (品名 COLLATE NOCASE)"),
           QStringLiteral("CREATE INDEX IF NOT EXISTS spinfo_name_nocase ON spinfo (lower(品名) text_pattern_ops)")}}},
        {kOpenSale,
         {{kRowKey, "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {QStringLiteral("编码"), "TEXT"},
          {QStringLiteral("品名"), "TEXT"},
          {QStringLiteral("数量"), "REAL"},
          {QStringLiteral("单价"), "REAL"},
          {QStringLiteral("金额"), "REAL"},
          // The till whose sale the line belongs to.
          {QStringLiteral("till"), "INTEGER NOT NULL DEFAULT 1", true}}},
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
          {QStringLiteral("时间"), "TEXT"},
          // The till that sold the line.
          {QStringLiteral("till"), "INTEGER NOT NULL DEFAULT 1", true}},
         {QStringLiteral("CREATE INDEX IF NOT EXISTS record_date ON XiaoShouRecord (日期)"),
          {QStringLiteral("CREATE INDEX IF NOT EXISTS record_date_nocase ON XiaoShouRecord (日期 COLLATE NOCASE)"),
           QStringLiteral("CREATE INDEX IF NOT EXISTS record_date_nocase ON XiaoShouRecord (lower(日期) text_pattern_ops)")},
          // Each new receipt number is later than the largest recorded one, and
          // a past receipt is found by its number to be printed again.
          QStringLiteral("CREATE INDEX IF NOT EXISTS record_receipt_number ON XiaoShouRecord (单号)"),
          // The tills the records window offers to filter by.
          QStringLiteral("CREATE INDEX IF NOT EXISTS record_till ON XiaoShouRecord (till)")}},
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
          {QStringLiteral("copies"), "INTEGER"},
          // Each till has its own sale awaiting print.
          {QStringLiteral("till"), "INTEGER NOT NULL DEFAULT 1"}},
         {},
         true},
        // Every receipt number a completion took, once: tills that share a
        // database never give two sales one number.
        {kReceiptNumbers,
         {{QStringLiteral("number"), "TEXT NOT NULL PRIMARY KEY"},
          {QStringLiteral("till"), "INTEGER NOT NULL"}},
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

// PostgreSQL's REAL is four bytes: prices and amounts need eight. Its keys
// count up by an identity column where SQLite's count by AUTOINCREMENT.
QString columnType(const char *type, Dialect dialect)
{
    const QString sqlite = QLatin1String(type);
    if (dialect == Dialect::Sqlite)
        return sqlite;
    if (sqlite == QLatin1String("INTEGER PRIMARY KEY AUTOINCREMENT"))
        return QStringLiteral("INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
    if (sqlite.startsWith(QLatin1String("REAL")))
        return QStringLiteral("DOUBLE PRECISION") + sqlite.mid(4);
    return sqlite;
}

} // namespace

QString createTableStatement(const Table &t, Dialect dialect)
{
    QStringList cols;
    for (const Column &c : t.columns)
        cols << QStringLiteral("%1 %2").arg(c.name, columnType(c.type, dialect));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(t.name, cols.join(QStringLiteral(", ")));
}

QString indexName(const QString &createIndex)
{
    static const QRegularExpression name(QStringLiteral("INDEX\\s+(?:IF\\s+NOT\\s+EXISTS\\s+)?(\\S+)\\s+ON\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    return name.match(createIndex).captured(1);
}

namespace {

// The program's own on a server: the layout, and the notice of a changed
// catalogue (sent at commit, once per transaction and channel).
const QString kLayoutTable = QStringLiteral("layout_version");

QStringList serverExtras()
{
    return {
        QStringLiteral("CREATE TABLE %1 (version INTEGER NOT NULL)").arg(kLayoutTable),
        QStringLiteral("INSERT INTO %1 (version) VALUES (%2)").arg(kLayoutTable).arg(kVersion),
        QStringLiteral("CREATE FUNCTION catalogue_changed() RETURNS trigger LANGUAGE plpgsql AS "
                       "$$ BEGIN PERFORM pg_notify('%1', ''); RETURN NULL; END $$")
            .arg(kCatalogueChannel),
        QStringLiteral("CREATE TRIGGER spinfo_changed AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON spinfo "
                       "FOR EACH STATEMENT EXECUTE FUNCTION catalogue_changed()"),
    };
}

// A search for a part of a name reads every row unless a trigram index
// serves it (about 0.3 ms instead of 140 ms at 100,000 products). pg_trgm
// comes with the server but is not always allowed: without it searches work,
// only slower.
QStringList trigramIndexes()
{
    return {QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS spinfo_name_contains ON spinfo USING gin (lower(品名) gin_trgm_ops)")};
}

void run(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DatabaseError(q.lastError().text());
}

int serverTableCount(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select count(*) from information_schema.tables where table_schema = current_schema()"))
        || !q.next())
        throw DatabaseError(q.lastError().text());
    return q.value(0).toInt();
}

bool hasServerTable(QSqlDatabase &db, const QString &name)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("select 1 from information_schema.tables where table_schema = current_schema() "
                             "and table_name = ?"));
    q.addBindValue(name.toLower());
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

QStringList createStatements(Dialect dialect)
{
    QStringList out;
    for (const Table &t : tables())
        out << createTableStatement(t, dialect);
    for (const Table &t : tables())
        for (const Sql &index : t.indexes)
            if (!index.in(dialect).isEmpty())
                out << index.in(dialect);
    if (dialect == Dialect::Sqlite)
        out << QStringLiteral("PRAGMA user_version = %1").arg(kVersion);
    else
        out << serverExtras();
    return out;
}

void create(QSqlDatabase &db, Dialect dialect)
{
    if (dialect == Dialect::Sqlite) {
        for (const QString &sql : createStatements(dialect))
            run(db, sql);
        return;
    }
    if (serverTableCount(db) > 0)
        throw DatabaseError(QStringLiteral("数据库 %1 里已经有表了：只能在空的数据库上建立收银程序的表。")
                                .arg(db.databaseName()));
    if (!db.transaction())
        throw DatabaseError(db.lastError().text());
    try {
        for (const QString &sql : createStatements(dialect))
            run(db, sql);
        run(db, QStringLiteral("SAVEPOINT trigram"));
        try {
            for (const QString &sql : trigramIndexes())
                run(db, sql);
            run(db, QStringLiteral("RELEASE SAVEPOINT trigram"));
        } catch (const DatabaseError &) {
            run(db, QStringLiteral("ROLLBACK TO SAVEPOINT trigram"));
        }
        if (!db.commit())
            throw DatabaseError(db.lastError().text());
    } catch (...) {
        db.rollback();
        throw;
    }
}

void checkServerLayout(QSqlDatabase &db)
{
    const QString name = db.databaseName();
    if (!hasServerTable(db, kLayoutTable)) {
        if (serverTableCount(db) == 0)
            throw DatabaseError(QStringLiteral("数据库 %1 还是空的：请先在一台收银机上运行 fenwo --init-db "
                                               "postgresql://… 建立收银程序的表。")
                                    .arg(name));
        throw DatabaseError(QStringLiteral("数据库 %1 里的表不是收银程序建立的，不能使用。").arg(name));
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select version from %1").arg(kLayoutTable)) || !q.next())
        throw DatabaseError(QStringLiteral("数据库 %1 的版本记录不对，不能使用。").arg(name));
    const int version = q.value(0).toInt();
    if (version > kVersion)
        throw DatabaseError(QStringLiteral("数据库 %1 是新版收银程序建立的（表结构第 %2 版，这个程序只认识到第 %3 版）。"
                                           "请把这台收银机上的程序更新到新版本。")
                                .arg(name)
                                .arg(version)
                                .arg(kVersion));
    if (version < kVersion)
        throw DatabaseError(QStringLiteral("数据库 %1 是旧版收银程序建立的（表结构第 %2 版，这个程序用第 %3 版），"
                                           "这个程序不能使用它。")
                                .arg(name)
                                .arg(version)
                                .arg(kVersion));
}

} // namespace Schema
