#pragma once

#include <QString>

// One payment of a sale: the method (its number and name as the shop calls
// it), the amount paid with it and the change given back from it, both in
// the general number text. The amount less the change of every payment adds
// up to the sale's total.
struct Payment
{
    int method = 0;
    QString methodName;
    QString amount;
    QString change = QStringLiteral("0");
};
