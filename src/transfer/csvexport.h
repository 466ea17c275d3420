#pragma once

#include <QString>
#include <QStringList>

class Database;

// The catalogue and the sales record as CSV files for a spreadsheet or an
// accountant: UTF-8 with a byte order mark, Chinese column titles, numbers in
// the text the program shows. An exported catalogue imports back to the same
// catalogue.
namespace CsvExport {

// The title rows the files begin with.
QStringList productTitles();
QStringList salesTitles();
QStringList paymentTitles();

// 编码, 品名, 单价 of every product, by code; returns the number of products.
// Throws FileError or DatabaseError; an existing file is replaced only once
// everything was written.
qint64 products(Database &db, const QString &path);

// Every line of the sales record, oldest first, or those dated from..to
// ("yyyy-mm-dd", both days included; either may be empty for no limit).
// Returns the number of lines. Throws Refusal for a date that is not
// yyyy-mm-dd or a range that ends before it starts, FileError, DatabaseError.
qint64 sales(Database &db, const QString &path, const QString &from = {}, const QString &to = {});

// How each sale was paid: a row per payment (单号, 收银台, 日期, 时间,
// 付款方式, 金额, 找零), of the sales dated from..to as sales() chooses
// them; a sale recorded before payments were kept has none. Returns the
// number of payments; throws as sales() does.
qint64 payments(Database &db, const QString &path, const QString &from = {}, const QString &to = {});

} // namespace CsvExport
