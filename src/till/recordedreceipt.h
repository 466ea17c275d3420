#pragma once

#include "receipt/receiptdata.h"
#include "till/payment.h"

#include <QList>
#include <QString>
#include <QVariantList>

class Database;
class ReceiptSink;

// A past sale made into its receipt again from the lines the sales record
// keeps: the same lines in the same order, the receipt number, cashier, sale
// date and time as recorded, the totals added up as the till added them, and
// the shop name and remark as they stand now, and the payments as the
// receipt showed them.
class RecordedReceipt final
{
public:
    RecordedReceipt() = delete;

    // Throws Refusal when no recorded line carries the number (blanks around
    // a typed number do not count), DatabaseError when reading fails.
    static ReceiptInput load(Database &db, const QString &receiptNumber);
    // Each sale that carries the number: older data may have given one number
    // to several sales, told apart by cashier, date and time.
    static QList<ReceiptInput> loadSales(Database &db, const QString &receiptNumber);
    // The same for a till's record rows with keys from firstKey to lastKey
    // (one sale as the till wrote it); no sale lines when there are none.
    static ReceiptInput loadRows(Database &db, qint64 firstKey, qint64 lastKey, int till);

    // Prints it once, marked as a reprint, a receipt for each sale that
    // carries the number; nothing is recorded.
    static void reprint(Database &db, const QString &receiptNumber, ReceiptSink &printer);

    // A sale's payments as recorded, those its receipt showed.
    static QList<Payment> shownPayments(Database &db, const QString &receiptNumber, int till);
    // Puts the payments on the receipt: cash alone as the amount received and
    // the change, anything else as a line per payment and the change.
    static void showPayments(ReceiptInput &input, const QList<Payment> &payments);

private:
    // lines: as the record's statements give them (Statements::ReceiptLineColumn).
    static ReceiptInput fromLines(Database &db, const QList<QVariantList> &lines, int *till = nullptr);
};
