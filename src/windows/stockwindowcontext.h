#pragma once

#include <QString>

#include <functional>

class ReceiptSink;

// What the stock windows take from the cashier screen: its receipt printer,
// asked for at each print (its settings may have changed), and who is at
// the till, written with each stock document.
struct StockWindowContext
{
    std::function<ReceiptSink &()> printer;
    std::function<QString()> cashier;

    // Typed text as a document stores it: trimmed, and empty rather than
    // none, as the ledger keeps a cashier and a note with each document.
    static QString stored(const QString &typed)
    {
        const QString text = typed.trimmed();
        return text.isNull() ? QStringLiteral("") : text;
    }
    static QString cashierOf(const StockWindowContext &context)
    {
        return stored(context.cashier ? context.cashier() : QString());
    }
};
