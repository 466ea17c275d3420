#include "shopsettings.h"

#include "storage/query.h"
#include "storage/statements.h"

namespace {
const QString kCashier = QStringLiteral("收银员");
const QString kShopName = QStringLiteral("店名");
const QString kRemark = QStringLiteral("备注");
} // namespace

ShopSettings ShopSettings::load(Database &db)
{
    Query row(db);
    row.setStatement(Statements::settings());
    row.open();
    return {row.text(kCashier), row.text(kShopName), row.text(kRemark)};
}

void ShopSettings::save(Database &db) const
{
    Query row(db);
    row.setStatement(Statements::settings());
    row.open();
    // On an empty table edit() begins a new row: the first save creates it.
    row.edit();
    row.setText(kCashier, cashier);
    row.setText(kShopName, shopName);
    row.setText(kRemark, remark);
    row.post();
}
