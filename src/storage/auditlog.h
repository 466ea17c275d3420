#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

class Database;

// The owner's trail: what was taken back or given away at a till, one row
// each, with the time, the till, the cashier, the lines and the amount as
// exact decimal text. Rows are only ever added: the database refuses to
// change or remove one.
class AuditLog final
{
public:
    enum class Kind {
        LineDeleted,          // a line deleted from the open sale
        SaleEmptied,          // the open sale emptied without recording it
        PriceChanged,         // a line's price changed at the till
        Discount,             // a discount given
        DrawerWithoutSale,    // the drawer opened without a sale
        Reprint,              // a past receipt or Z report printed again
        ZReport,              // a Z report closed the day
        Return,               // goods returned against a receipt
        ReturnWithoutReceipt, // goods returned without one, on the owner's PIN
        SignIn,               // a cashier signed in at the till
        SignOut,              // a cashier signed out (交班)
    };

    struct Entry
    {
        Kind kind = Kind::LineDeleted;
        QString cashier;
        QString receiptNumber;
        QString lines;
        QString amount = QStringLiteral("0");
    };

    // One row as stored.
    struct Row
    {
        QString loggedAt;
        int till = 0;
        QString cashier;
        std::optional<Kind> kind;   // none: a kind this program does not know
        QString storedKind;
        QString receiptNumber;
        QString lines;
        QString amount;
    };

    // Which rows to read: days from..to (both included), one till (0: every
    // till), one cashier (empty: all), one kind (none: all).
    struct Filter
    {
        QDate from;
        QDate to;
        int till = 0;
        QString cashier;
        std::optional<Kind> kind;
    };

    // Adds the entry with the time now and the connection's till. Throws
    // DatabaseError.
    static void write(Database &db, const Entry &entry);
    // In the order they were written.
    static QList<Row> read(Database &db, const Filter &filter);

    static QList<Kind> kinds();
    // The kind as the shop reads it, and as it is stored.
    static QString kindName(Kind kind);
    static QString storedKind(Kind kind);
    static std::optional<Kind> kindOf(const QString &stored);
    // Kinds whose amount was taken off a sale or handed back.
    static bool isVoid(Kind kind);
};
