#pragma once

#include <QList>
#include <QString>

class Database;

// One way a sale can be paid. Only a method that gives change may be paid
// with more than is due.
struct PaymentMethod
{
    int number = 0;
    QString name;
    bool givesChange = false;
    bool enabled = true;
};

// The shop's payment methods, in the order the payment window lists them:
// the built-in 现金, 微信, 支付宝, 银行卡 and the shop's own. A method is
// switched off, never deleted, so that recorded payments keep their name.
class PaymentMethods final
{
public:
    PaymentMethods() = delete;

    static QList<PaymentMethod> load(Database &db);
    // Stores the list in its order: methods with a number are changed, those
    // without one (0) added. Throws DatabaseError; nothing is changed then.
    static void save(Database &db, const QList<PaymentMethod> &methods);
    // The method's name in the list, or "现金" for cash when it is missing.
    static QString nameOf(const QList<PaymentMethod> &methods, int number);
};
