#pragma once

#include "transfer/csvreader.h"
#include "transfer/importreport.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

class Database;

// Brings a product list (CSV) into the catalogue. Looking at the file first
// tells its encoding, separator and which columns hold code, name and price;
// the import then writes every good row in one transaction, so a crash or a
// kill part-way leaves the catalogue as it was. A field in quotes is taken
// as it stands, others without blanks around them; codes never keep blanks
// around them. What an export wrote comes back as it was.
class ProductImport final
{
public:
    // What happens to a product whose code the catalogue already has.
    enum class Existing { Update, Skip };

    enum Role { Code, Name, Price, RoleCount };

    struct Row
    {
        qint64 line = 0;
        QString code;
        QString name;
        QString price;
        QString problem;   // why the row would not be written, as far as the row itself tells
        QVariant priceValue;   // the price as stored; null when none was given
    };

    // Reads the start of the file. Throws Refusal (an empty file, one that is
    // not text) or FileError (cannot be read).
    explicit ProductImport(QString filePath);

    const QString &filePath() const { return m_filePath; }
    const CsvFormat &format() const { return m_format; }
    // True when the first row names the columns (编码/条码/barcode/code,
    // 品名/名称/name, 单价/售价/价格/price; letter case and blanks aside);
    // otherwise the first three columns are code, name and price and the
    // first row is a product.
    bool hasHeader() const { return m_hasHeader; }
    // The file's column (from 0) for each role, -1 when it has none.
    int column(Role role) const { return m_columns[role]; }
    // Where a role comes from, for the shop: "条码（第 1 列）", "第 3 列", "（没有）".
    QString columnSource(Role role) const;

    // The first rows as they would be imported.
    QList<Row> preview(int rows) const;

    // Writes the file's good rows into the catalogue, all in one transaction.
    // The file is read first into a table of the connection's own, without
    // holding up another till; only the writing of the catalogue takes the
    // write lock. A row whose code two products share but for letter case is
    // reported, not applied. progress, when given, hears the number of rows
    // read now and then. Throws (and writes nothing) when the file cannot be
    // read to its end or the database refuses.
    ImportReport run(Database &db, Existing existing, const std::function<void(qint64)> &progress = {}) const;

private:
    // Every good record of the file into the import's own table; bad ones into the report.
    qint64 stageRows(Database &db, CsvReader &reader, const std::function<void(qint64)> &progress,
                   ImportReport *report) const;
    // The staged rows into the catalogue; the caller holds the transaction.
    void writeRows(Database &db, Existing existing, ImportReport *report) const;
    Row rowOf(const CsvReader &reader, const QStringList &fields) const;

    QString m_filePath;
    CsvFormat m_format;
    bool m_hasHeader = false;
    QStringList m_header;
    int m_columns[RoleCount] = {0, 1, 2};
};
