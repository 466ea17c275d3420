#include "decimalsum.h"

#include "numbertext.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMaxScale = 30;
// Beyond this the mantissa could overflow when rescaled or summed.
constexpr __int128 kMantissaLimit = __int128(1000000000000000000LL) * 1000000000000000000LL;   // 1e36

__int128 power10(int n)
{
    __int128 p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

// The value's 15-digit decimal as mantissa × 10^-scale; false when it does not fit.
__int128 magnitude(__int128 v)
{
    return v < 0 ? -v : v;
}

bool decimalOf(double value, __int128 *mantissa, int *scale)
{
    // Most amounts have a few decimals: find them without formatting.
    static const double tens[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
    for (int k = 0; k < 7; ++k) {
        const double r = std::nearbyint(value * tens[k]);
        if (std::fabs(r) < 1e15 && r / tens[k] == value) {
            *mantissa = __int128(static_cast<long long>(r));
            *scale = k;
            return true;
        }
    }
    // "d.dddddddddddddde±X": the same rounding to 15 digits as the number text.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    const char *p = buffer;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    long long digits = 0;
    int count = 0;
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') {
            digits = digits * 10 + (*p - '0');
            ++count;
        }
    }
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    // value = digits × 10^(exponent - (count - 1))
    int s = (count - 1) - exponent;
    while (s > 0 && digits % 10 == 0) {
        digits /= 10;
        --s;
    }
    if (s > kMaxScale)
        return false;
    __int128 m = digits;
    if (s < 0) {
        if (-s > 20)
            return false;
        m *= power10(-s);
        s = 0;
    }
    *mantissa = negative ? -m : m;
    *scale = s;
    return true;
}

} // namespace

void DecimalSum::rescale(int scale)
{
    m_mantissa *= power10(scale - m_scale);
    m_scale = scale;
}

void DecimalSum::add(double value)
{
    if (value == 0 || !std::isfinite(value)) {
        if (!std::isfinite(value)) {
            m_inexact = true;
            m_rest += value;
        }
        return;
    }
    __int128 mantissa = 0;
    int scale = 0;
    if (decimalOf(value, &mantissa, &scale)) {
        const int common = std::max(scale, m_scale);
        const __int128 growSum = power10(common - m_scale);
        const __int128 growValue = power10(common - scale);
        if (magnitude(m_mantissa) < kMantissaLimit / growSum && magnitude(mantissa) < kMantissaLimit / growValue) {
            rescale(common);
            m_mantissa += mantissa * growValue;
            return;
        }
    }
    // Neumaier's compensated sum for what the exact sum cannot hold.
    m_inexact = true;
    const long double v = value;
    const long double t = m_rest + v;
    if (std::fabs(m_rest) >= std::fabs(v))
        m_restCompensation += (m_rest - t) + v;
    else
        m_restCompensation += (v - t) + m_rest;
    m_rest = t;
}

void DecimalSum::add(const DecimalSum &other)
{
    const int common = std::max(other.m_scale, m_scale);
    const __int128 growSum = power10(common - m_scale);
    const __int128 growOther = power10(common - other.m_scale);
    if (magnitude(m_mantissa) < kMantissaLimit / growSum
        && magnitude(other.m_mantissa) < kMantissaLimit / growOther) {
        rescale(common);
        m_mantissa += other.m_mantissa * growOther;
    } else {
        m_inexact = true;
        m_rest += static_cast<long double>(other.value());
        if (other.m_inexact)
            return;
    }
    if (other.m_inexact) {
        m_inexact = true;
        m_rest += other.m_rest;
        m_restCompensation += other.m_restCompensation;
    }
}

double DecimalSum::value() const
{
    // Correctly rounded from the exact decimal text.
    __int128 m = m_mantissa;
    const bool negative = m < 0;
    if (negative)
        m = -m;
    char digits[64];
    int n = 0;
    do {
        digits[n++] = char('0' + int(m % 10));
        m /= 10;
    } while (m != 0);
    char text[80];
    int i = 0;
    if (negative)
        text[i++] = '-';
    while (n > 0)
        text[i++] = digits[--n];
    std::snprintf(text + i, sizeof text - size_t(i), "e-%d", m_scale);
    double exact = std::strtod(text, nullptr);
    if (m_inexact)
        exact = double(static_cast<long double>(exact) + m_rest + m_restCompensation);
    return exact;
}

QString DecimalSum::text() const
{
    return formatGeneral(value());
}
