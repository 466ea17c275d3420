#pragma once

#include <QString>
#include <QStringList>

class QSqlDatabase;

// The tables, defined once: the database-making step, the upgrade step and the
// tests build them from here, and the query layer asks here which columns hold numbers.
namespace Schema {

inline const QString kCatalogue = QStringLiteral("spinfo");
inline const QString kOpenSale = QStringLiteral("xiaoshou");
inline const QString kSalesRecord = QStringLiteral("XiaoShouRecord");
inline const QString kSettings = QStringLiteral("beizhu");
inline const QString kTillSettings = QStringLiteral("till_settings");
// The program's own: a sale whose record rows are committed and whose
// receipt is being printed; gone once the open sale is emptied.
inline const QString kAwaitingPrint = QStringLiteral("awaiting_print");
inline const QString kDayClosings = QStringLiteral("day_closings");

// Name of the key that the database assigns to each new row (position 0 of
// the open sale and the sales record). No window names it.
inline const QString kRowKey = QStringLiteral("id");

// The unique index that keeps product codes apart as the lookup compares them
// (LIKE ignores the case of ASCII letters).
inline const QString kCodeIndex = QStringLiteral("spinfo_code_unique");

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

// Every table, the shop's four first.
const QList<Table> &tables();

// Columns of a table in their stored order (the row key first where there is one).
QStringList columns(const QString &table);

// True when the column stores a number: text set into it is converted.
bool isNumberColumn(const QString &table, const QString &column);

// The layout this program reads and writes, kept in the file's user_version.
// Raise it whenever a table or index is added.
inline constexpr int kVersion = 5;

// CREATE TABLE and CREATE INDEX statements, in order.
QStringList createStatements();

QString createTableStatement(const Table &table);

// The name an index statement gives its index.
QString indexName(const QString &createIndex);

// Makes every table and index on an empty database; throws DatabaseError.
void create(QSqlDatabase &db);

} // namespace Schema
