#pragma once

#include "storage/paymentmethods.h"
#include "till/payment.h"

#include <QList>

// The payments taken for one sale at the payment window, in whole fen: what
// is still due, the change, and whether the total is covered. Only a method
// that gives change may take more than is still due; the change is given
// from that payment.
class SalePayments final
{
public:
    // total: the sale's total in the general number text, rounded to the fen.
    explicit SalePayments(const QString &total);

    // Adds a payment of amount (typed text) by the method. Throws Refusal,
    // changing nothing, when the amount is no number or not above zero, when
    // the total is already covered, or when a method without change would
    // take more than is due.
    void add(const PaymentMethod &method, const QString &amount);
    void removeLast();

    qint64 totalFen() const { return m_total; }
    qint64 stillDueFen() const;
    qint64 changeFen() const;
    bool covers() const { return stillDueFen() == 0; }
    QString stillDue() const;
    QString change() const;
    // The payments in the order taken, the change on the one that gave it.
    QList<Payment> payments() const;

    // Refuses to complete a sale that is not paid in full.
    void requireCovered() const;

private:
    struct Taken
    {
        PaymentMethod method;
        qint64 amount = 0;
    };
    qint64 paidFen() const;

    qint64 m_total = 0;
    QList<Taken> m_taken;
};
