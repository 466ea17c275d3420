#pragma once

#include "till/saleline.h"

#include <QList>
#include <QWidget>

class QLabel;

// What the customer reads on a second monitor: the shop's name, the lines
// of the sale, the total, and once paid the amount received and the change,
// in large type. It only shows; the cashier screen tells it what.
class CustomerWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CustomerWindow)

public:
    explicit CustomerWindow(QWidget *parent = nullptr);

    // Full screen on the given screen (the one the cashier screen is not on).
    void showOn(QScreen *screen);

    void showShopName(const QString &name);
    // The lines (the last few that fit, newest at the bottom) and the total;
    // the payment shown before goes.
    void showSale(const QList<SaleLine> &lines, const QString &total);
    void showPayment(const QString &received, const QString &change);

    QLabel *shopNameLabel() const { return m_shopName; }
    QLabel *linesLabel() const { return m_lines; }
    QLabel *totalLabel() const { return m_total; }
    QLabel *paymentLabel() const { return m_payment; }

private:
    QLabel *m_shopName = nullptr;
    QLabel *m_lines = nullptr;
    QLabel *m_total = nullptr;
    QLabel *m_payment = nullptr;
};
