#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The two forms of a receipt: the second copy has a one byte wider name
// column and a header to match.
enum class ReceiptCopy { First, Second };

// One line of the open sale as it is printed: the product name as stored,
// quantity and amount as general number text.
struct ReceiptSaleLine
{
    QString name;
    QString quantity;
    QString amount;
};

// One payment as the receipt shows it: the method's name and the amount.
struct ReceiptPayment
{
    QString method;
    QString amount;
};

// Everything a receipt is made from, as text, taken as it stands: nothing
// here is trimmed, parsed or reformatted.
struct ReceiptInput
{
    QString shopName;      // leading blanks centre the title and are kept
    QString receiptNumber; // normally twelve digits "yyMMddHHmmss"
    QString saleDate;      // normally "yyyy-MM-dd"
    QString printTime;     // "HH:mm", taken once when the sale is completed
    QString cashier;
    QList<ReceiptSaleLine> saleLines;
    QString totalQuantity; // as the totals label shows it
    QString totalAmount;
    QString received;      // amount received, as typed
    QString change;        // empty when no change was computed
    // Paid by other methods than cash alone: a line each after the totals,
    // then the change (received and change stay empty then).
    QList<ReceiptPayment> payments;
    QString paymentChange;
    QString remark;        // may hold several lines separated by CR LF
};

// One printed line: the texts written one after another (an item line is
// three writes: name with its blanks, quantity with its blanks, amount),
// then a line end, all at one font size.
struct ReceiptLine
{
    QStringList writes;
    int pointSize = 10;

    QString text() const { return writes.join(QString()); }
    bool operator==(const ReceiptLine &) const = default;
};
