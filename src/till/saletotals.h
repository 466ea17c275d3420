#pragma once

#include "base/runningdecimalsum.h"
#include "till/saleline.h"

#include <QList>

// The totals of the open sale's lines: exact decimal sums of their quantities
// and amounts (an empty number counts as 0), kept up to date line by line.
class SaleTotals final
{
public:
    // The lines added one after another, in their order.
    static SaleTotals of(const QList<SaleLine> &lines);

    void add(const SaleLine &line);
    void remove(const SaleLine &line);
    // False when only of() over the lines left gives the totals it would
    // give: see RunningDecimalSum::isExact().
    bool isExact() const { return m_quantity.isExact() && m_amount.isExact(); }

    const RunningDecimalSum &quantity() const { return m_quantity; }
    const RunningDecimalSum &amount() const { return m_amount; }

private:
    RunningDecimalSum m_quantity;
    RunningDecimalSum m_amount;
};
