#pragma once

#include "storage/stockledger.h"

#include <QList>
#include <QString>
#include <QVariant>

class Database;

// The goods of a recorded sale, a return or a sale taken back, as stock
// movements, written in the caller's transaction: the till's completion, its
// return, its taking back of an unprinted sale, and an offline till's sale
// arriving at the server all go through here.
class SaleStock final
{
public:
    SaleStock() = delete;

    // One recorded line: its code and its quantity as the sales record holds it.
    struct Line
    {
        QVariant code;
        QVariant quantity;
    };

    // Sale and Return move each product by minus its recorded quantity (a
    // return's lines are negative), Void by plus it. The lines are summed per
    // code and written in code order, so that two tills' transactions take
    // the products' rows in one order and never wait on each other in a
    // circle. Discounts, 抹零 and codes the catalogue does not have move
    // nothing. movedAt: the record's date and time.
    static void record(Database &db, StockKind kind, const QString &receiptNumber, int till, const QString &cashier,
                       const QString &movedAt, const QList<Line> &lines);

    // "yyyy-MM-dd HH:mm:ss" of a recorded date and "HH:mm" time.
    static QString movedAt(const QString &date, const QString &time);
};
