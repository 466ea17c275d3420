#pragma once

#include "till/payment.h"

#include <QList>
#include <QString>

// What the cashier screen holds about the sale besides its lines, as typed
// or shown: it is recorded and printed as it stands.
struct SaleHeader
{
    QString receiptNumber;
    QString saleDate;
    QString cashier;
    QString received;   // amount received, as typed
    QString change;     // empty when no change was computed
    // Taken at the payment window; none: paid in cash as received and change say.
    QList<Payment> payments;
};
