#pragma once

#include <QString>
#include <QStringList>

class QSqlDatabase;

// The four tables, defined once: the database-making step and the tests build
// them from here, and the query layer asks here which columns hold numbers.
namespace Schema {

inline const QString kCatalogue = QStringLiteral("spinfo");
inline const QString kOpenSale = QStringLiteral("xiaoshou");
inline const QString kSalesRecord = QStringLiteral("XiaoShouRecord");
inline const QString kSettings = QStringLiteral("beizhu");
inline const QString kTillSettings = QStringLiteral("till_settings");
inline const QString kDayClosings = QStringLiteral("day_closings");

// Name of the key that the database assigns to each new row (position 0 of
// the open sale and the sales record). No window names it.
inline const QString kRowKey = QStringLiteral("id");

// Columns of a table in their stored order (the row key first where there is one).
QStringList columns(const QString &table);

// True when the column stores a number: text set into it is converted.
bool isNumberColumn(const QString &table, const QString &column);

// The layout this program reads and writes, kept in the file's user_version.
// Raise it whenever a table or index is added.
inline constexpr int kVersion = 3;

// CREATE TABLE and CREATE INDEX statements, in order.
QStringList createStatements();

// Makes every table and index on an empty database; throws DatabaseError.
void create(QSqlDatabase &db);

// Brings a file of an older layout up to this one in one transaction (the
// program's own tables and the indexes it lacks); refuses a file of a newer
// layout. Throws DatabaseError.
void upgrade(QSqlDatabase &db);

} // namespace Schema
