#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What an import of a product list did: how many products it added,
// updated, found unchanged or skipped, and each row it did not write, with
// the line of the file and the reason.
struct ImportReport
{
    struct BadRow
    {
        qint64 line = 0;
        QString reason;
        QString code;
        QString name;
        QString price;
    };

    // Bad rows beyond this many are counted but not listed.
    static constexpr int kListedBadRows = 10000;

    // The title row of the saved bad rows.
    static QStringList titles();

    qint64 added = 0;
    qint64 updated = 0;
    qint64 unchanged = 0;
    qint64 skipped = 0;
    qint64 badCount = 0;
    QList<BadRow> badRows;

    void addBadRow(BadRow row);
    // Those of another report, in the order of their lines among these.
    void addBadRows(const ImportReport &other);
    qint64 written() const { return added + updated; }

    // One line for the shop: "新增 3 个商品，更新 1 个，…".
    QString summary() const;
    // The bad rows as CSV (line, reason, code, name, price), UTF-8 with BOM.
    // Throws FileError, or Refusal for a database file.
    void saveCsv(const QString &path) const;
};
