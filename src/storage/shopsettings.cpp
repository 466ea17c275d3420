#include "shopsettings.h"

#include "storage/query.h"
#include "storage/statements.h"
#include "storage/tables.h"

namespace {
namespace Row = Tables::ShopSettings;
} // namespace

ShopSettings ShopSettings::load(Database &db)
{
    Query row(db);
    row.setStatement(Statements::settings());
    row.open();
    return {row.text(Row::cashier), row.text(Row::shopName), row.text(Row::remark)};
}

void ShopSettings::save(Database &db) const
{
    Query row(db);
    row.setStatement(Statements::settings());
    row.open();
    // On an empty table edit() begins a new row: the first save creates it.
    row.edit();
    row.setText(Row::cashier, cashier);
    row.setText(Row::shopName, shopName);
    row.setText(Row::remark, remark);
    row.post();
}
