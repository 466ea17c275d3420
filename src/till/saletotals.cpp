#include "saletotals.h"

SaleTotals SaleTotals::of(const QList<SaleLine> &lines)
{
    SaleTotals totals;
    for (const SaleLine &line : lines)
        totals.add(line);
    return totals;
}

void SaleTotals::add(const SaleLine &line)
{
    m_quantity.add(line.quantity.value_or(0));
    m_amount.add(line.amount.value_or(0));
}

void SaleTotals::remove(const SaleLine &line)
{
    m_quantity.remove(line.quantity.value_or(0));
    m_amount.remove(line.amount.value_or(0));
}
