#pragma once

#include "receipt/receiptdata.h"

#include <QList>
#include <QString>

class Database;

// One cashier's shift at one till, by payment method: what came in (less the
// change given) and what was handed back for returns, with how many payments
// each, as exact decimal text.
struct ShiftFigures
{
    struct Method
    {
        QString name;
        QString takings = QStringLiteral("0");
        qint64 takingsCount = 0;
        QString refunds = QStringLiteral("0");   // negative
        qint64 refundsCount = 0;
    };

    QString cashier;
    QString since;   // "yyyy-MM-dd HH:mm:ss"
    QString until;
    qint64 sales = 0;     // receipts that took money
    qint64 returns = 0;   // receipts that handed money back
    QList<Method> methods;   // in the shop's order, only those used
    QString takings = QStringLiteral("0");
    QString refunds = QStringLiteral("0");
    QString net = QStringLiteral("0");
};

// The shift report (交班) printed when a cashier signs out.
class ShiftReport final
{
public:
    ShiftReport() = delete;

    // The payments of the cashier's receipts at this connection's till
    // recorded above afterLine (the sales record's last key at sign-in).
    static ShiftFigures compute(Database &db, const QString &cashier, qint64 afterLine);
    static QList<ReceiptLine> lines(const ShiftFigures &figures, const QString &shopName);
};
