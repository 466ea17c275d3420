#include "paymentmethods.h"

#include "storage/database.h"
#include "storage/schema.h"
#include "storage/statements.h"

#include <QSqlQuery>

QList<PaymentMethod> PaymentMethods::load(Database &db)
{
    using Column = Statements::PaymentMethodColumn;
    QList<PaymentMethod> methods;
    QSqlQuery rows = db.run(Statements::paymentMethods());
    while (rows.next())
        methods << PaymentMethod{rows.value(int(Column::Number)).toInt(), rows.value(int(Column::Name)).toString(),
                                 rows.value(int(Column::GivesChange)).toInt() != 0,
                                 rows.value(int(Column::Enabled)).toInt() != 0};
    return methods;
}

void PaymentMethods::save(Database &db, const QList<PaymentMethod> &methods)
{
    Transaction transaction(db, Transaction::Start::Writing);
    int largest = 0;
    for (const PaymentMethod &method : load(db))
        largest = qMax(largest, method.number);
    int position = 0;
    for (const PaymentMethod &method : methods) {
        ++position;
        if (method.number > 0)
            db.execute(Statements::changePaymentMethod(method.number, method.name, method.givesChange, position,
                                                       method.enabled));
        else
            db.execute(Statements::addPaymentMethod(++largest, method.name, method.givesChange, position,
                                                    method.enabled));
    }
    transaction.commit();
}

QString PaymentMethods::nameOf(const QList<PaymentMethod> &methods, int number)
{
    for (const PaymentMethod &method : methods)
        if (method.number == number)
            return method.name;
    return number == Schema::kCashMethod ? QStringLiteral("现金") : QStringLiteral("付款方式%1").arg(number);
}
