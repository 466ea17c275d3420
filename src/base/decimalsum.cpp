#include "decimalsum.h"

#include "base/numbertext.h"

#include <QByteArray>

#include <algorithm>

#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

constexpr int kMaxScale = 30;
// Beyond this the mantissa could overflow when rescaled or summed.
constexpr __int128 kMantissaLimit = __int128(1000000000000000000LL) * 1000000000000000000LL;   // 1e36

// 10^n, and the largest magnitude that may be multiplied by 10^n and stay
// below the limit: a table, for a million lines are added at each showing of
// the sales records and a division of 128-bit numbers is slow.
constexpr auto kPowers = [] {
    std::array<__int128, 37> p{};
    p[0] = 1;
    for (size_t i = 1; i < p.size(); ++i)
        p[i] = p[i - 1] * 10;
    return p;
}();
constexpr auto kLimits = [] {
    std::array<__int128, 37> l{};
    for (size_t i = 0; i < l.size(); ++i)
        l[i] = kMantissaLimit / kPowers[i];
    return l;
}();

__int128 magnitude(__int128 v)
{
    return v < 0 ? -v : v;
}

// x to the nearest integer, for |x| < 2^51: adding 1.5 × 2^52 leaves no
// fraction bits (no call into the maths library, whose rounding functions
// save and restore the floating-point state).
double nearestInteger(double x)
{
    constexpr double kShift = 6755399441055744.0;
    const double shifted = x + kShift;
    return shifted - kShift;
}

// a × b as hi + lo exactly (Dekker's product; no fused multiply-add needed).
void exactProduct(double a, double b, double *hi, double *lo)
{
    constexpr double kSplitter = 134217729.0;   // 2^27 + 1
    auto split = [](double x, double *high, double *low) {
        const double c = kSplitter * x;
        *high = c - (c - x);
        *low = x - *high;
    };
    double ah, al, bh, bl;
    split(a, &ah, &al);
    split(b, &bh, &bl);
    *hi = a * b;
    *lo = ((ah * bh - *hi) + ah * bl + al * bh) + al * bl;
}

// The value rounded to 15 significant digits as digits × 10^-scale, for
// 1e-7 <= |value| < 1e15, from the exact product value × 10^scale (10^scale
// is exact up to 10^22). False when a half or the digit count leaves any
// doubt: the caller then formats the value, which always decides right.
bool fifteenDigits(double value, long long *digits, int *scale)
{
    static constexpr double tens[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const double a = std::fabs(value);
    if (!(a >= 1e-7 && a < 1e15))
        return false;
    // floor(log10(a)) from the binary exponent, perhaps one too small.
    const int binary = int((std::bit_cast<quint64>(a) >> 52) & 0x7ff) - 1023;
    const double estimate = binary * 0.30102999566398120;
    const int decimal = int(estimate) - (estimate < 0 ? 1 : 0);
    int s = 14 - decimal;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (s < 0 || s > 22)
            return false;
        double hi, lo;
        exactProduct(a, tens[s], &hi, &lo);
        if (hi >= 1e15 + 1) {
            --s;
            continue;
        }
        if (hi < 1e14 - 1) {
            ++s;
            continue;
        }
        if (hi < 1e14 + 1 || hi >= 1e15 - 1)
            return false;
        double r = nearestInteger(hi);
        const double rest = (hi - r) + lo;
        if (std::fabs(std::fabs(rest) - 0.5) < 1e-6)
            return false;
        if (rest > 0.5)
            r += 1;
        else if (rest < -0.5)
            r -= 1;
        long long d = static_cast<long long>(r);
        while (s > 0 && d % 10 == 0) {
            d /= 10;
            --s;
        }
        *digits = value < 0 ? -d : d;
        *scale = s;
        return true;
    }
    return false;
}

// The value's 15-digit decimal as mantissa × 10^-scale; false when it does not fit.
bool decimalOf(double value, __int128 *mantissa, int *scale)
{
    // Most amounts have a few decimals: find them without formatting. A
    // product that is not within a few units in its last place of a whole
    // number cannot be one; the division tells for sure.
    static constexpr double tens[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
    for (int k = 0; k < 7; ++k) {
        const double scaled = value * tens[k];
        if (!(std::fabs(scaled) < 1e15))
            break;
        const double r = nearestInteger(scaled);
        if (std::fabs(scaled - r) <= std::fabs(scaled) * 0x1p-50 && r / tens[k] == value) {
            *mantissa = __int128(static_cast<long long>(r));
            *scale = k;
            return true;
        }
    }
    // A product of two such amounts seldom is the double nearest its decimal.
    long long digits15 = 0;
    if (fifteenDigits(value, &digits15, scale)) {
        *mantissa = digits15;
        return true;
    }
    // "d.dddddddddddddde±X", formatted as the number text formats it (which
    // rounds an exact half up, where the C library would round it to even).
    const QByteArray formatted = QByteArray::number(value, 'e', 14);
    const char *p = formatted.constData();
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
        m *= kPowers[size_t(-s)];
        s = 0;
    }
    *mantissa = negative ? -m : m;
    *scale = s;
    return true;
}

// The decimals of values met lately. A shop's lines repeat the same few
// hundred amounts and quantities, and finding a decimal costs more than
// looking it up; one table per thread, shared by every sum.
class RecentDecimals final
{
public:
    bool find(double value, __int128 *mantissa, int *scale) const
    {
        const Entry &e = m_entries[slot(value)];
        if (e.bits != std::bit_cast<quint64>(value))
            return false;
        *mantissa = e.digits;
        *scale = e.scale;
        return true;
    }

    void keep(double value, __int128 mantissa, int scale)
    {
        if (magnitude(mantissa) > std::numeric_limits<long long>::max())
            return;
        m_entries[slot(value)] = {std::bit_cast<quint64>(value), static_cast<long long>(mantissa), scale};
    }

private:
    struct Entry
    {
        quint64 bits = 0;   // the bits of +0, which is never looked up: empty
        long long digits = 0;
        int scale = 0;
    };

    static size_t slot(double value)
    {
        return size_t((std::bit_cast<quint64>(value) * 0x9E3779B97F4A7C15ULL) >> 51);
    }

    std::array<Entry, 8192> m_entries{};
};

thread_local RecentDecimals recentDecimals;

} // namespace

bool DecimalSum::addExact(__int128 mantissa, int scale)
{
    if (scale > m_scale) {
        if (magnitude(m_mantissa) >= kLimits[size_t(scale - m_scale)])
            return false;
        m_mantissa *= kPowers[size_t(scale - m_scale)];
        m_scale = scale;
    }
    const size_t grow = size_t(m_scale - scale);
    if (magnitude(m_mantissa) >= kMantissaLimit || magnitude(mantissa) >= kLimits[grow])
        return false;
    m_mantissa += mantissa * kPowers[grow];
    return true;
}

void DecimalSum::add(double value)
{
    if (value == 0)
        return;
    if (!std::isfinite(value)) {
        m_inexact = true;
        m_rest += value;
        return;
    }
    __int128 mantissa = 0;
    int scale = 0;
    bool found = recentDecimals.find(value, &mantissa, &scale);
    if (!found && decimalOf(value, &mantissa, &scale)) {
        recentDecimals.keep(value, mantissa, scale);
        found = true;
    }
    if (found && addExact(mantissa, scale))
        return;
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
    if (!addExact(other.m_mantissa, other.m_scale)) {
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

bool DecimalSum::hasRoomForAnyOrder() const
{
    return !m_inexact && magnitude(m_mantissa) < kMantissaLimit;
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

QString DecimalSum::exactText() const
{
    if (m_inexact)
        return QString();
    __int128 m = magnitude(m_mantissa);
    int scale = m_scale;
    while (scale > 0 && m % 10 == 0) {
        m /= 10;
        --scale;
    }
    QString digits;
    do {
        digits.prepend(QChar(u'0' + int(m % 10)));
        m /= 10;
    } while (m != 0);
    if (scale > 0) {
        if (digits.size() <= scale)
            digits.prepend(QString(scale - digits.size() + 1, u'0'));
        digits.insert(digits.size() - scale, u'.');
    }
    return m_mantissa < 0 ? QLatin1Char('-') + digits : digits;
}

bool DecimalSum::addExactText(QStringView text)
{
    const bool negative = text.startsWith(u'-');
    if (negative)
        text = text.mid(1);
    __int128 mantissa = 0;
    int scale = -1;
    int digits = 0;
    for (const QChar c : text) {
        if (c == u'.' && scale < 0) {
            scale = 0;
            continue;
        }
        if (c < u'0' || c > u'9' || ++digits > 36)
            return false;
        mantissa = mantissa * 10 + (c.unicode() - u'0');
        if (scale >= 0)
            ++scale;
    }
    if (digits == 0 || scale > kMaxScale)
        return false;
    return addExact(negative ? -mantissa : mantissa, std::max(scale, 0));
}

QString DecimalSum::text() const
{
    return formatGeneral(value());
}
