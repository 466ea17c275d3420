#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

// One statement as it is sent: SQL with "?" placeholders and the values bound
// to them. Typed text is always bound, never pasted into the SQL, so a quote
// is just a character and "%" and "_" keep their LIKE meaning.
struct Statement
{
    QString sql;
    QVariantList params;
    // Where rows of the result are written back to, and the columns that find
    // a row there again (empty table: the result is read-only).
    QString table;
    QStringList keyColumns;
};

// Every statement the program sends.
namespace Statements {

Statement openSale();                                  // the lines being rung up, in the order added
Statement emptyOpenSale();                             // deletes every line of the open sale
Statement settings();                                  // the shop settings row
Statement productNames();                              // every product name once
Statement lookupByCodeOrName(const QString &text);     // code or name is like the text, as a whole
Statement lookupByName(const QString &text);           // name is like the text
Statement catalogue();                                 // the whole catalogue
Statement searchCatalogue(const QString &text);        // code like the text, or name containing it, by code
Statement deleteMatchingProducts(const QString &text); // every product the same search lists
Statement allRecords();                                // every sales record line, newest date first

// Walks of the sales record window over every line. Its view ends at the
// highest row key it saw when it was opened; lines recorded later have higher keys.
Statement recordWalkByKey();                           // key, quantity, amount, date; highest key first
Statement recordWalkByDate();                          // key, quantity, amount; newest date first, then highest key
Statement recordFieldsByKey(const QStringList &fields); // the named columns of the line whose key is bound
Statement recordFieldUpTo(const QString &field, qint64 lastKey); // key and one column of each line up to a key, by key

// One line of a completed sale into the sales record.
Statement recordSaleLine(const QVariant &code, const QVariant &name, const QVariant &quantity,
                         const QVariant &price, const QVariant &amount, const QString &receiptNumber,
                         const QString &cashier, const QString &date, const QString &time);

// Receipt numbers of the form yyMMddHHmmss in the sales record, largest first.
Statement recordedReceiptNumbers();
// The highest row key of the sales record (empty when there is none).
Statement lastRecordKey();
// The record rows of one sale by their keys, in the order they were written.
Statement recordedSale(qint64 firstKey, qint64 lastKey);
Statement removeRecordedSale(qint64 firstKey, qint64 lastKey);

// The sale whose receipt is being printed (at most one row).
Statement markAwaitingPrint(qint64 firstKey, qint64 lastKey, const QString &received,
                            const QString &change, int copies);
Statement awaitingPrint();
Statement clearAwaitingPrint();

// Used only when a new database file is filled with the demo catalogue.
Statement insertProduct(const QString &code, const QString &name, double price);
Statement insertSettings(const QString &cashier, const QString &shopName, const QString &remark);

} // namespace Statements
