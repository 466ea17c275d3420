#pragma once

#include "storage/dialect.h"

#include <QString>
#include <QStringList>

class QSqlDatabase;

// The tables, defined once for both kinds of database (their names are in
// tables.h): the database-making step, the upgrade step and the tests build
// them from here, and the query layer asks here which columns hold numbers.
namespace Schema {

// What a database on a server says, on commit, after any change to the
// catalogue, so that every till can refresh its product name list.
inline const QString kCatalogueChannel = QStringLiteral("catalogue_changed");

// What a database on a server says, on commit, after any change to a
// product's stock (a sale, a receipt of goods …): the stock windows read it
// again. Apart from the catalogue's, which has every till copy the catalogue.
inline const QString kStockChannel = QStringLiteral("stock_changed");

// The unique index that keeps product codes apart as the lookup compares them
// (LIKE ignores the case of ASCII letters).
inline const QString kCodeIndex = QStringLiteral("spinfo_code_unique");

// What the database says when a row of the owner's trail would be changed
// or taken out.
inline const QString kAppendOnly = QStringLiteral("audit_log is append-only");
// The same of a stock movement: a mistake is put right by another movement.
inline const QString kStockAppendOnly = QStringLiteral("stock_movements is append-only");

struct Column
{
    QString name;
    // In SQLite's words; a database on a server gets PostgreSQL's.
    const char *type;
    // A column of the program's own in one of the shop's tables: an older
    // file gets it, with its default, when it is upgraded.
    bool own = false;
};

// One statement of the schema: the same text for both kinds of database, or
// a text for each (an empty one: the statement has no place there).
class Sql
{
public:
    Sql(const QString &both)
        : m_sqlite(both)
        , m_postgres(both)
    {
    }
    Sql(const QString &sqlite, const QString &postgres)
        : m_sqlite(sqlite)
        , m_postgres(postgres)
    {
    }
    const QString &in(Dialect dialect) const { return dialect == Dialect::Postgres ? m_postgres : m_sqlite; }

private:
    QString m_sqlite;
    QString m_postgres;
};

struct Table
{
    QString name;
    QList<Column> columns;
    // CREATE INDEX statements of the table.
    QList<Sql> indexes = {};
    // A table of the program's own, beside the four the shop's file always
    // had: an older file gets it when it is upgraded.
    bool own = false;
};

// Every table, the shop's four first.
const QList<Table> &tables();

// Columns of a table in their stored order (the row key first where there is one).
QStringList columns(const QString &table);

// True when the column stores a number: text set into it is converted.
bool isNumberColumn(const QString &table, const QString &column);

// The layout this program reads and writes, kept in the file's user_version
// (on a server, in the one row of layout_version). Raise it whenever a table,
// column or index is added.
inline constexpr int kVersion = 17;

// The payment methods every database starts with: 现金 (number 1, the one
// that gives change), 微信, 支付宝, 银行卡.
inline constexpr int kCashMethod = 1;
QStringList builtInPaymentMethods();

// CREATE TABLE and CREATE INDEX statements, in order, and what records the layout.
QStringList createStatements(Dialect dialect = Dialect::Sqlite);

QString createTableStatement(const Table &table, Dialect dialect = Dialect::Sqlite);

// The name an index (or trigger) statement gives it.
QString indexName(const QString &createIndex);

// Makes every table and index on an empty database; throws DatabaseError.
// On a server: in one transaction, and only when the database holds no
// tables yet; the catalogue's change notice and, where the server has the
// pg_trgm extension, the index that serves name searches come with it.
void create(QSqlDatabase &db, Dialect dialect);

// A database on a server is made by --init-db and never upgraded by a
// till: refuses one that is empty, holds other tables, or has another
// layout, saying so. Throws DatabaseError.
void checkServerLayout(QSqlDatabase &db);

} // namespace Schema
