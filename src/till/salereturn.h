#pragma once

#include <QList>
#include <QString>

// A line of a sold receipt as a return sees it: what was sold and what
// earlier returns took back of it.
struct SoldLine
{
    qint64 key = 0;
    QString code;
    QString name;
    double quantity = 0;
    double price = 0;
    double amount = 0;
    int till = 0;
    double returned = 0;

    double returnable() const { return quantity - returned; }
};

// One line handed back: a sold line (by its key) or, without a receipt,
// goods named and priced by the cashier. The quantity is what comes back
// (above zero).
struct ReturnLine
{
    qint64 soldLine = 0;   // 0: without a receipt
    QString code;
    QString name;
    double quantity = 0;
    double price = 0;
};

// A return as the return window hands it to the till.
struct SaleReturn
{
    QString soldReceipt;     // empty: without a receipt
    QList<ReturnLine> lines;
    bool refundInCash = false;   // otherwise by the sale's own methods
    QString ownerPin;        // a return without a receipt needs it
    QString receiptNumber;   // proposed for the return's own receipt
    QString saleDate;
    QString cashier;
};
