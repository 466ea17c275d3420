#pragma once

#include "storage/paymentmethods.h"
#include "till/salepayments.h"

#include <QDialog>

class FlatEdit;
class QLabel;
class QListWidget;
class Till;

// Taking payment for a sale by any of the shop's methods, in one or several
// parts. A digit key pays the amount in the amount box (at first what is
// still due) by the method of that number; once the total is covered
// without change the sale completes at once, so a sale paid wholly by phone
// takes two keys. Tab goes to the amount box to pay a part; Del takes the
// last payment back; Enter or F12 completes a covered sale; Esc gives up.
// Before any payment, F5 gives a discount on the whole sale and F7 on the
// current line (a percent "10%" or an amount "5"; above the shop's limit
// the owner's PIN is asked), and F6 drops the fen or jiao (抹零) as the
// shop's settings say.
class PaymentWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaymentWindow)

public:
    // currentLine: the line F7 discounts (-1: none).
    PaymentWindow(const QList<PaymentMethod> &methods, Till &till, int currentLine, QWidget *parent);

    QList<Payment> payments() const { return m_payments.payments(); }

    QListWidget *methodList() const { return m_methodList; }
    FlatEdit *amountBox() const { return m_amountBox; }
    QLabel *stillDueLabel() const { return m_stillDueLabel; }
    QLabel *changeLabel() const { return m_changeLabel; }
    QLabel *paidLabel() const { return m_paidLabel; }
    QLabel *totalLabel() const { return m_totalLabel; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    // A discount (F5: the sale, F7: the line) or 抹零 (F6), before any payment.
    void discount(bool wholeSale);
    void roundOff();
    void startAgain();
    // Pays the amount box's amount by the n-th listed method (1 for the first).
    void payBy(int n);
    void takeBackLast();
    void finish();
    void showPayments();

    Till &m_till;
    int m_currentLine = -1;
    QList<PaymentMethod> m_methods;   // those switched on, in their order
    SalePayments m_payments;
    QListWidget *m_methodList = nullptr;
    FlatEdit *m_amountBox = nullptr;
    QLabel *m_totalLabel = nullptr;
    QLabel *m_paidLabel = nullptr;
    QLabel *m_stillDueLabel = nullptr;
    QLabel *m_changeLabel = nullptr;
};
