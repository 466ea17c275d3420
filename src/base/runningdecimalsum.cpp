#include "runningdecimalsum.h"

#include <cmath>

void RunningDecimalSum::add(double value)
{
    m_sum.add(value);
    m_magnitudes.add(std::fabs(value));
}

// A value's decimal is the negative of its negative's, so taking it out
// undoes adding it exactly.
void RunningDecimalSum::remove(double value)
{
    m_sum.add(-value);
    m_magnitudes.add(-std::fabs(value));
}

bool RunningDecimalSum::isExact() const
{
    return m_sum.isExact() && m_magnitudes.hasRoomForAnyOrder();
}
