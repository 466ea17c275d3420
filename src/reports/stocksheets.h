#pragma once

#include "receipt/stockpaperlayout.h"
#include "storage/stockledger.h"

#include <QHash>
#include <QList>
#include <QString>

// One product's line of a stock-take: what the ledger says and what was counted.
struct StockCount
{
    QString code;
    QString name;
    QString onHand;    // 账面, exact decimal text
    QString counted;   // 实点
    QString lastCost;  // empty when never received
};

// The figures, papers and CSV files of the stock windows: a receipt of
// goods, a stock-take and the low-stock list. Quantities and money are
// exact decimals, never doubles.
class StockSheets final
{
public:
    StockSheets() = delete;

    // A quantity as a list shows it: below zero with a true minus sign and
    // a mark ("−3 ▲"), so that it is seen even without its colour.
    static QString shownQuantity(const QString &quantity);
    static bool isBelowZero(const QString &quantity);

    // Quantity × cost price of each line, summed, in 元 to the fen.
    static QString receivedAmount(const QList<StockChange> &lines);
    static QString lineAmount(const QString &quantity, const QString &cost);
    static StockPaper receivedPaper(const StockDocument &document, const QHash<QString, QString> &names);

    // 实点 less 账面.
    static QString difference(const StockCount &count);
    // The difference at the last cost price; empty when it has none.
    static QString differenceCost(const StockCount &count);
    struct TakeTotals
    {
        int differing = 0;
        QString difference = QStringLiteral("0");
        QString missingCost = QStringLiteral("0.00");   // what is short, at cost, as a positive amount
        QString netCost = QStringLiteral("0.00");       // every difference at cost
    };
    static TakeTotals totals(const QList<StockCount> &counts);
    // The stock-take's document: the differing lines only.
    static QList<StockChange> takeChanges(const QList<StockCount> &counts);
    static StockPaper takePaper(const QList<StockCount> &counts, const QString &note, const QString &at,
                                qint64 number);
    // Throws FileError, or Refusal for a database file.
    static void saveTakeCsv(const QList<StockCount> &counts, const QString &path, const QString &databasePath);

    static StockPaper lowStockPaper(const QList<StockLevel> &levels, const QString &at);
    static void saveLowStockCsv(const QList<StockLevel> &levels, const QString &path, const QString &databasePath);
};
