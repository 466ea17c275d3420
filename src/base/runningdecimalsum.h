#pragma once

#include "base/decimalsum.h"

#include <QString>

// A DecimalSum that values are added to and taken out of one at a time, as
// lines come and go, without adding every value again. While isExact() it is
// what one DecimalSum over the values left gives, in whatever order they are
// added there.
class RunningDecimalSum final
{
public:
    void add(double value);
    // Takes out a value added before.
    void remove(double value);

    // False once a value went in that a decimal sum cannot hold exactly (not
    // finite, too large or too fine), or the values are so large together
    // that adding them in another order could have left the exact form: then
    // only a sum over the values left, in their order, gives the same result.
    bool isExact() const;

    double value() const { return m_sum.value(); }
    QString text() const { return m_sum.text(); }

private:
    DecimalSum m_sum;
    // Of the values' magnitudes: no partial sum of the values, in any order, is larger.
    DecimalSum m_magnitudes;
};
