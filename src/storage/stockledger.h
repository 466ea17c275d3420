#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Database;

// What moved a product's quantity. The numbers are stored; none may change.
enum class StockKind {
    Sale = 1,        // a completed sale's line (out)
    Return = 2,      // a return's line (in)
    Received = 3,    // a receipt of goods, 进货 (in, with its cost price)
    StockTake = 4,   // a stock-take's adjustment, 盘点 (the counted less the ledger)
    Correction = 5,  // a correction by hand, with its reason
    Void = 6,        // a sale taken back before its receipt was printed (in)
};

// One line of a stock document as it is written.
struct StockChange
{
    QString code;
    // Exact decimal text: positive into the shop, negative out; at most three
    // decimals (weighed goods are kept to the gram).
    QString quantity;
    // A received line's cost price per unit, in 元 (decimal text); empty otherwise.
    QString unitCost;
};

// A product's stock as the catalogue and the lists show it.
struct StockLevel
{
    QString code;
    QString name;
    QString price;
    QString onHand;        // decimal text; "0" for a product that never moved
    QString reorderLevel;  // decimal text; empty when the shop set none
    QString lastCost;      // the last received cost price; empty when never received
};

// The stock documents that are not sales: a receipt of goods, a stock-take,
// a correction.
struct StockDocument
{
    qint64 number = 0;
    StockKind kind = StockKind::Received;
    QString at;        // "yyyy-MM-dd HH:mm:ss"
    int till = 0;
    QString cashier;
    QString note;      // the supplier, the shelf, the reason
    QList<StockChange> lines;
};

// The stock ledger: every movement of a product's quantity is a row, and on
// hand is their sum. The figure kept per product for quick reading is kept
// by the database itself on every movement, so it cannot drift from the
// rows; check() proves it. A sale's and a return's movements are written by
// the till in the completion's own transaction; everything else comes here.
class StockLedger final
{
public:
    StockLedger() = delete;

    // Writes one document and its movements, all or nothing, in a
    // transaction of its own; yields the document's number. Throws Refusal for
    // a code the catalogue does not have or a quantity that is no number (no
    // row written) and while the till sells on its own copy (the server
    // away), DatabaseError when the database refuses. A stock-take's line
    // carries the difference: the counted less the ledger's on hand.
    static qint64 record(Database &db, StockKind kind, const QList<StockChange> &changes, const QString &note,
                         const QString &cashier);
    static std::optional<StockDocument> document(Database &db, qint64 number);

    // The product's stock; nullopt when the catalogue has no such code.
    static std::optional<StockLevel> level(Database &db, const QString &code);
    // Those of these codes that the catalogue has, in the order given.
    static QList<StockLevel> levels(Database &db, const QStringList &codes);
    // Products below zero, or at or below their reorder level, by code.
    static QList<StockLevel> lowStock(Database &db);
    // An empty level clears it. Throws Refusal for a level that is no number.
    static void setReorderLevel(Database &db, const QString &code, const QString &level);

    // Compares the figure kept per product with the sum of its movements.
    struct Check
    {
        qint64 products = 0;   // products with any stock row
        QStringList wrong;     // "code: kept X, ledger Y" for each that differs
    };
    static Check check(Database &db);
};
