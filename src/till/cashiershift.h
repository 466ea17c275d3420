#pragma once

#include "till/shiftreport.h"

#include <QString>

#include <optional>

class Database;
class ReceiptSink;
class Till;

// Cashiers who sign in at the till, when the shop has them do so (off by
// default: the one cashier name of the shop's settings then serves). The
// cashier signed in is kept in the till's own settings, so a restart keeps
// the shift; the till records every row under that name.
class CashierShift final
{
    Q_DISABLE_COPY_MOVE(CashierShift)

public:
    CashierShift(Database &db, Till &till);

    // The shop's switch, kept with the shop's settings (till 0).
    static bool isRequired(Database &db);
    static void setRequired(Database &db, bool required);

    struct SignedIn
    {
        int number = 0;
        QString name;
        qint64 afterLine = 0;   // the sales record's last key at sign-in
        QString since;          // "yyyy-MM-dd HH:mm:ss"
    };
    // Who is signed in at this till, if anyone.
    std::optional<SignedIn> signedIn() const;

    // Signs the cashier of that number in with the PIN (a cashier without a
    // PIN with none), into the owner's trail; the till records under the
    // name from now on. Refusal for an unknown or switched-off number or a
    // wrong PIN, and while another cashier is signed in.
    SignedIn signIn(const QString &number, const QString &pin);
    // Prints the shift report of the cashier signed in and signs out, into
    // the owner's trail. Refusal while a sale is open or nobody is signed in;
    // a printer that fails leaves the cashier signed in.
    ShiftFigures signOut(const QString &shopName, ReceiptSink &printer);

private:
    void forget();

    Database &m_db;
    Till &m_till;
};
