#include "shiftreport.h"

#include "base/decimalsum.h"
#include "base/numbertext.h"
#include "receipt/receiptlayout.h"
#include "storage/database.h"
#include "storage/paymentmethods.h"
#include "storage/statements.h"

#include <QMap>
#include <QSet>
#include <QSqlQuery>

namespace {

struct MethodSums
{
    DecimalSum takings;
    qint64 takingsCount = 0;
    DecimalSum refunds;
    qint64 refundsCount = 0;
};

double numberOrZero(const QVariant &value)
{
    double number = 0;
    return tryTextToNumber(value.toString(), &number) ? number : 0;
}

} // namespace

ShiftFigures ShiftReport::compute(Database &db, const QString &cashier, qint64 afterLine)
{
    using Column = Statements::ShiftPaymentColumn;
    QMap<int, MethodSums> sums;
    QSet<QString> sales;
    QSet<QString> returns;
    QSqlQuery row = db.run(Statements::shiftPayments(db.till(), cashier, afterLine));
    while (row.next()) {
        const QString receipt = row.value(int(Column::ReceiptNumber)).toString();
        MethodSums &method = sums[row.value(int(Column::Method)).toInt()];
        const double amount = numberOrZero(row.value(int(Column::Amount)));
        if (amount < 0) {
            method.refunds.add(amount);
            ++method.refundsCount;
            returns.insert(receipt);
        } else {
            method.takings.add(amount);
            method.takings.add(-numberOrZero(row.value(int(Column::Change))));
            ++method.takingsCount;
            sales.insert(receipt);
        }
    }

    ShiftFigures figures;
    figures.cashier = cashier;
    figures.sales = sales.size();
    figures.returns = returns.size();
    DecimalSum takings;
    DecimalSum refunds;
    const QList<PaymentMethod> known = sums.isEmpty() ? QList<PaymentMethod>() : PaymentMethods::load(db);
    QList<int> order;
    for (const PaymentMethod &method : known)
        order << method.number;
    for (auto it = sums.cbegin(); it != sums.cend(); ++it)
        if (!order.contains(it.key()))
            order << it.key();
    for (const int number : std::as_const(order)) {
        const auto found = sums.constFind(number);
        if (found == sums.cend())
            continue;
        figures.methods << ShiftFigures::Method{PaymentMethods::nameOf(known, number), found->takings.text(),
                                                found->takingsCount, found->refunds.text(), found->refundsCount};
        takings.add(found->takings);
        refunds.add(found->refunds);
    }
    figures.takings = takings.text();
    figures.refunds = refunds.text();
    DecimalSum net = takings;
    net.add(refunds);
    figures.net = net.text();
    return figures;
}

QList<ReceiptLine> ShiftReport::lines(const ShiftFigures &f, const QString &shopName)
{
    QList<ReceiptLine> result;
    result.append(ReceiptLayout::titleLine(shopName));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"交班报表")));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"收银员:") + f.cashier));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"上班:") + f.since));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"交班:") + f.until));
    result.append(ReceiptLayout::bodyLine(ReceiptLayout::separator()));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"销售单数:") + QString::number(f.sales)));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"退货单数:") + QString::number(f.returns)));
    for (const ShiftFigures::Method &method : f.methods) {
        result.append(ReceiptLayout::bodyLine(QStringLiteral(u"%1收款:%2 (%3笔)")
                                                  .arg(method.name, method.takings)
                                                  .arg(method.takingsCount)));
        if (method.refundsCount > 0)
            result.append(ReceiptLayout::bodyLine(QStringLiteral(u"%1退款:%2 (%3笔)")
                                                      .arg(method.name, method.refunds)
                                                      .arg(method.refundsCount)));
    }
    result.append(ReceiptLayout::bodyLine(ReceiptLayout::separator()));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"收款合计:") + f.takings));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"退款合计:") + f.refunds));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"净收款:") + f.net));
    return result;
}
