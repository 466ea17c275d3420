#include "opensale.h"

#include "query.h"

namespace OpenSale {

namespace {
const QString kCode = QStringLiteral("编码");
const QString kName = QStringLiteral("品名");
const QString kQuantity = QStringLiteral("数量");
const QString kPrice = QStringLiteral("单价");
const QString kAmount = QStringLiteral("金额");

void fillAndPost(Query &sale, const QString &name, const QString &quantity, const QString &price)
{
    try {
        sale.setText(kName, name);
        sale.setText(kQuantity, quantity);
        sale.setText(kPrice, price);
        sale.setNumber(kAmount, sale.number(kQuantity) * sale.number(kPrice));
        sale.post();
    } catch (...) {
        sale.cancel();
        throw;
    }
}
} // namespace

Totals walkTotals(Query &sale)
{
    Totals totals;
    sale.first();
    while (!sale.eof()) {
        totals.quantity += sale.number(kQuantity);
        totals.amount += sale.number(kAmount);
        sale.next();
    }
    return totals;
}

void addLine(Query &sale, const QString &code, const QString &name, const QString &quantity,
             const QString &price)
{
    sale.append();
    try {
        sale.setText(kCode, code);
    } catch (...) {
        sale.cancel();
        throw;
    }
    fillAndPost(sale, name, quantity, price);
}

void modifyLine(Query &sale, const QString &name, const QString &quantity, const QString &price)
{
    sale.edit();
    fillAndPost(sale, name, quantity, price);
}

} // namespace OpenSale
