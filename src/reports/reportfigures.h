#pragma once

#include "reports/reportrange.h"

#include <QList>
#include <QString>

// What a report says about the lines of its range. Quantities and money are
// exact decimal sums of the recorded values in the general number text, as
// they are shown, printed and exported; counts are whole numbers.
struct ReportFigures
{
    // One cashier, hour of the day or sale date.
    struct Group
    {
        QString key;            // cashier, "08" for 08:00–08:59, or the date as recorded
        qint64 receipts = 0;    // distinct receipt numbers
        qint64 lines = 0;
        QString items = QStringLiteral("0");
        QString takings = QStringLiteral("0");
    };

    // One product, by code and name as recorded.
    struct Product
    {
        QString code;
        QString name;
        qint64 lines = 0;
        QString quantity = QStringLiteral("0");
        QString takings = QStringLiteral("0");
    };

    // What one payment method took, less the change it gave.
    struct Takings
    {
        QString method;
        QString amount = QStringLiteral("0");
    };

    static constexpr int TopCount = 20;
    // The hour row of lines whose time is empty or not "HH:mm", so that the hours add up.
    static inline const QString kUnknownHour = QStringLiteral("未知");

    ReportRange range;

    qint64 receipts = 0;
    qint64 lines = 0;
    QString items = QStringLiteral("0");
    QString takings = QStringLiteral("0");
    QString averageReceipt = QStringLiteral("0");   // takings per receipt, to the cent
    // Date and time ("yyyy-MM-dd HH:mm") of the first and the last line in
    // the order they were recorded; empty when nothing was sold.
    QString firstSale;
    QString lastSale;
    qint64 lastLine = 0;                            // highest row key among the lines

    QList<Group> byCashier;   // by cashier name
    QList<Group> byHour;      // hours with sales, in order; then kUnknownHour for times the program did not write
    QList<Group> byDay;       // from the first to the last date with sales, days without any included
    // Discount and 抹零 lines, summed apart as well as in the takings (negative).
    QString discounts = QStringLiteral("0");
    QString roundOffs = QStringLiteral("0");
    // By payment method, in the shop's order: cash first, with every sale
    // recorded without payments; other methods only where they took money.
    QList<Takings> byMethod;
    // Money handed back for returns, by method, in the same order (negative);
    // already taken off the takings and the method's figure above.
    QList<Takings> refunds;
    bool onlyCash = true;                           // no money came by another method
    QString cashTaken = QStringLiteral("0");        // cash received less change given
    QString changeGiven = QStringLiteral("0");
    // The drawer: the opening cash of the tills and what should be there.
    QString openingFloat = QStringLiteral("0");
    QString expectedCash = QStringLiteral("0");     // opening cash + cash taken
    QList<Product> topByTakings;    // at most TopCount, best first
    QList<Product> topByQuantity;

    // Cost and gross margin (毛利) of each product sold in the dates, by
    // code: the cost is what each sale's, return's or taken-back sale's stock
    // movement says, at the last cost price received before it. Empty cost
    // and margin: the product has no known cost (never received, or sold
    // before stock was kept); it is left out of the totals and counted.
    struct Margin
    {
        QString code;
        QString name;
        QString quantity = QStringLiteral("0");
        QString takings = QStringLiteral("0");
        QString cost;
        QString margin;
    };
    QList<Margin> margins;
    QString cost = QStringLiteral("0");
    QString margin = QStringLiteral("0");
    qint64 uncosted = 0;                            // products sold without a known cost

    // Lines whose quantity or amount is no number (a file from another
    // tool): counted as 0, each named here.
    QStringList warnings;
};
