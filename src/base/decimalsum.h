#pragma once

#include <QString>

// Adds numbers as the program shows them: each value is taken at its general
// number text (15 significant digits) and the sum is kept exactly in decimal,
// so 0.1 + 0.2 is 0.3 and a million lines of 2.598 are 2598000 — no binary
// tails such as 2274822.59800008.
class DecimalSum final
{
public:
    void add(double value);
    void add(const DecimalSum &other);

    // The sum, as the nearest double and in the general number text.
    double value() const;
    QString text() const;
    bool isZero() const { return m_mantissa == 0 && !m_inexact; }
    // False once a value went in that could not be added exactly.
    bool isExact() const { return !m_inexact; }
    // Exact, and small enough that the values of a sum this size (of their
    // magnitudes) add exactly in any order: no partial sum can be larger.
    bool hasRoomForAnyOrder() const;

    // The exact sum as plain decimal text ("-1234.560"), to be stored and
    // added back later without losing a digit; empty when it is not exact.
    QString exactText() const;
    // Adds a sum given by exactText(); false, adding nothing, for text that
    // is not one or a sum that no longer fits.
    bool addExactText(QStringView text);

private:
    // Adds mantissa × 10^-scale exactly; false, changing nothing the sum
    // means, when that does not fit.
    bool addExact(__int128 mantissa, int scale);

    // The sum is m_mantissa × 10^-m_scale. Values so large or so fine that
    // it would not fit are added in long double instead (m_inexact).
    __int128 m_mantissa = 0;
    int m_scale = 0;
    bool m_inexact = false;
    long double m_rest = 0;
    long double m_restCompensation = 0;
};
