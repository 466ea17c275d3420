#include "cashiers.h"

#include "storage/database.h"
#include "storage/statements.h"

#include <QSet>
#include <QSqlQuery>

QList<Cashier> Cashiers::load(Database &db)
{
    using Column = Statements::CashierColumn;
    QList<Cashier> cashiers;
    QSqlQuery rows = db.run(Statements::cashiers());
    while (rows.next())
        cashiers << Cashier{rows.value(int(Column::Number)).toInt(), rows.value(int(Column::Name)).toString(),
                            rows.value(int(Column::PinHash)).toString(), rows.value(int(Column::Active)).toInt() != 0};
    return cashiers;
}

std::optional<Cashier> Cashiers::find(Database &db, int number)
{
    for (const Cashier &cashier : load(db))
        if (cashier.number == number)
            return cashier;
    return std::nullopt;
}

void Cashiers::save(Database &db, const QList<Cashier> &cashiers)
{
    Transaction transaction(db, Transaction::Start::Writing);
    QSet<int> stored;
    for (const Cashier &cashier : load(db))
        stored.insert(cashier.number);
    for (const Cashier &cashier : cashiers) {
        if (stored.contains(cashier.number))
            db.execute(Statements::changeCashier(cashier.number, cashier.name, cashier.pinHash, cashier.active));
        else
            db.execute(Statements::addCashier(cashier.number, cashier.name, cashier.pinHash, cashier.active));
    }
    transaction.commit();
}
