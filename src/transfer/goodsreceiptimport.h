#pragma once

#include "transfer/csvreader.h"
#include "transfer/importreport.h"

#include <QList>
#include <QString>

class Database;

// A receipt of goods (进货单) read from a CSV file: code, quantity and cost
// price per unit of each line. The file is read by the product import's
// reader and rules (encoding, separator, titles, blanks, formula guards);
// nothing is written here. A row that cannot be a line of the receipt is
// reported with its line of the file and the reason, and left out whole.
class GoodsReceiptImport final
{
public:
    enum Role { Code, Quantity, Cost, RoleCount };

    struct Line
    {
        qint64 line = 0;   // of the file
        QString code;
        QString name;      // as the catalogue has it
        QString quantity;  // exact decimal text, above zero, at most three decimals
        QString cost;      // exact decimal text, zero or more
    };

    struct Result
    {
        QList<Line> lines;
        ImportReport report;   // only its bad rows are used
    };

    // Reads the start of the file. Throws Refusal (empty, not text, titles
    // that cannot be read) or FileError.
    explicit GoodsReceiptImport(QString filePath);

    const CsvFormat &format() const { return m_format; }
    // True when the first row names the columns (编码/条码…, 数量…, 进货价/进价/成本…);
    // otherwise the first three columns are code, quantity and cost.
    bool hasHeader() const { return m_hasHeader; }

    // Every row of the file, checked against the catalogue. Throws when the
    // file cannot be read to its end.
    Result read(Database &db) const;

    // The checks a typed line meets as a file's row does: the reason it is
    // refused, or empty.
    static QString problemOf(const QString &quantity, const QString &cost);

private:
    QString m_filePath;
    CsvFormat m_format;
    bool m_hasHeader = false;
    int m_columns[RoleCount] = {0, 1, 2};
};
