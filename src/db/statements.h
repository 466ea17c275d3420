#pragma once

#include "dialect.h"

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
    // The same statement in PostgreSQL's words, where they differ (empty: the
    // same text serves both).
    QString postgresSql = {};

    const QString &sqlFor(Dialect dialect) const
    {
        return dialect == Dialect::Postgres && !postgresSql.isEmpty() ? postgresSql : sql;
    }
};

// Every statement the program sends.
namespace Statements {

Statement openSale(int till);                          // the till's lines being rung up, in the order added
Statement emptyOpenSale(int till);                     // deletes every line of the till's open sale
Statement settings();                                  // the shop settings row
Statement productNames();                              // every product name once
Statement lookupByCodeOrName(const QString &text);     // code or name is like the text, as a whole
Statement lookupByName(const QString &text);           // name is like the text
Statement lookupByCode(const QString &code);           // code is exactly the text
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

// Settings of one till, by name.
Statement tillSetting(int till, const QString &name);               // value
Statement tillSettings(int till);                                   // name, value of each
Statement forgetTillSetting(int till, const QString &name);
Statement storeTillSetting(int till, const QString &name, const QString &value);

// One line of a completed sale into the sales record, with the till that sold it.
Statement recordSaleLine(const QVariant &code, const QVariant &name, const QVariant &quantity,
                         const QVariant &price, const QVariant &amount, const QString &receiptNumber,
                         const QString &cashier, const QString &date, const QString &time, int till);

// Used only when a new database file is filled with the demo catalogue.
Statement insertProduct(const QString &code, const QString &name, double price);
Statement insertSettings(const QString &cashier, const QString &shopName, const QString &remark);

} // namespace Statements
