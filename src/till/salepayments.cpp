#include "salepayments.h"

#include "base/apperror.h"
#include "till/money.h"

SalePayments::SalePayments(const QString &total)
    : m_total(Money::fenOf(total).value_or(0))
{
}

void SalePayments::add(const PaymentMethod &method, const QString &amount)
{
    const std::optional<qint64> fen = Money::fenOf(amount);
    if (!fen || *fen <= 0)
        throw Refusal(QStringLiteral("付款金额“%1”不对：请输入大于零的金额。").arg(amount));
    if (m_total > 0 && covers())
        throw Refusal(QStringLiteral("本单已经付清，请按回车结账。"));
    if (!method.givesChange && *fen > stillDueFen())
        throw Refusal(QStringLiteral("%1不能找零：最多只能付还需支付的 %2 元。").arg(method.name, stillDue()));
    m_taken.append({method, *fen});
}

void SalePayments::removeLast()
{
    if (!m_taken.isEmpty())
        m_taken.removeLast();
}

qint64 SalePayments::paidFen() const
{
    qint64 paid = 0;
    for (const Taken &taken : m_taken)
        paid += taken.amount;
    return paid;
}

qint64 SalePayments::stillDueFen() const
{
    return qMax<qint64>(0, m_total - paidFen());
}

qint64 SalePayments::changeFen() const
{
    return qMax<qint64>(0, paidFen() - m_total);
}

QString SalePayments::stillDue() const
{
    return Money::text(stillDueFen());
}

QString SalePayments::change() const
{
    return Money::text(changeFen());
}

QList<Payment> SalePayments::payments() const
{
    QList<Payment> out;
    for (const Taken &taken : m_taken)
        out << Payment{taken.method.number, taken.method.name, Money::text(taken.amount)};
    // Only a method that gives change can have paid more than was due, and
    // only the payment that went past the total: the change comes from it.
    if (changeFen() > 0)
        for (qsizetype i = out.size() - 1; i >= 0; --i)
            if (m_taken.at(i).method.givesChange) {
                out[i].change = change();
                break;
            }
    return out;
}

void SalePayments::requireCovered() const
{
    if (!covers())
        throw Refusal(QStringLiteral("付款不足：还需支付 %1 元，付清后才能结账。").arg(stillDue()));
}
