#pragma once

#include "dialect.h"

#include <QString>
#include <QStringList>

class QSqlDatabase;

// The tables, defined once for both kinds of database: the database-making
// step and the tests build them from here, and the query layer asks here
// which columns hold numbers.
namespace Schema {

inline const QString kCatalogue = QStringLiteral("spinfo");
inline const QString kOpenSale = QStringLiteral("xiaoshou");
inline const QString kSalesRecord = QStringLiteral("XiaoShouRecord");
inline const QString kSettings = QStringLiteral("beizhu");
inline const QString kTillSettings = QStringLiteral("till_settings");

// What a database on a server says, on commit, after any change to the
// catalogue, so that every till can refresh its product name list.
inline const QString kCatalogueChannel = QStringLiteral("catalogue_changed");

// Name of the key that the database assigns to each new row (position 0 of
// the open sale and the sales record). No window names it.
inline const QString kRowKey = QStringLiteral("id");

// Columns of a table in their stored order (the row key first where there is one).
QStringList columns(const QString &table);

// True when the column stores a number: text set into it is converted.
bool isNumberColumn(const QString &table, const QString &column);

// The layout this program reads and writes, kept in the file's user_version
// (on a server, in the one row of layout_version). Raise it whenever a table
// or index is added.
inline constexpr int kVersion = 3;

// CREATE TABLE and CREATE INDEX statements, in order, and what records the layout.
QStringList createStatements(Dialect dialect = Dialect::Sqlite);

// Makes every table and index on an empty database; throws DatabaseError.
// On a server: in one transaction, and only when the database holds no
// tables yet; the catalogue's change notice and, where the server has the
// pg_trgm extension, the index that serves name searches come with it.
void create(QSqlDatabase &db, Dialect dialect);

// A database on a server is made by --init-db and never upgraded by a
// till: refuses one that is empty, holds other tables, or has another
// layout, saying so. Throws DatabaseError.
void checkServerLayout(QSqlDatabase &db);

// Brings a file of an older layout up to this one in one transaction (the
// program's own tables and the indexes it lacks); refuses a file of a newer
// layout. Throws DatabaseError.
void upgrade(QSqlDatabase &db);

} // namespace Schema
