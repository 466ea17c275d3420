#include "exactdecimal.h"

#include <algorithm>

namespace {

// Beyond this many decimals a product is cut back; stock never needs them.
constexpr int kMostDecimals = 12;

QString digitsOf(__int128 value)
{
    if (value == 0)
        return QStringLiteral("0");
    QString out;
    while (value > 0) {
        out.prepend(QChar(u'0' + int(value % 10)));
        value /= 10;
    }
    return out;
}

} // namespace

ExactDecimal::ExactDecimal(__int128 mantissa, int scale)
    : m_mantissa(mantissa)
    , m_scale(scale)
{
}

std::optional<ExactDecimal> ExactDecimal::parse(const QString &given)
{
    const QString text = given.trimmed();
    qsizetype at = 0;
    bool negative = false;
    if (at < text.size() && (text.at(at) == u'-' || text.at(at) == u'+'))
        negative = text.at(at++) == u'-';
    __int128 mantissa = 0;
    int scale = 0;
    int digits = 0;
    bool point = false;
    for (; at < text.size(); ++at) {
        const QChar c = text.at(at);
        if (c == u'.' && !point) {
            point = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (++digits > 18)
            return std::nullopt;
        mantissa = mantissa * 10 + (c.unicode() - u'0');
        if (point)
            ++scale;
    }
    if (digits == 0)
        return std::nullopt;
    return ExactDecimal(negative ? -mantissa : mantissa, scale);
}

ExactDecimal ExactDecimal::fromMilli(qint64 milli)
{
    return ExactDecimal(milli, 3);
}

__int128 ExactDecimal::scaled(__int128 mantissa, int by)
{
    for (int i = 0; i < by; ++i)
        mantissa *= 10;
    return mantissa;
}

ExactDecimal ExactDecimal::operator+(const ExactDecimal &other) const
{
    const int scale = std::max(m_scale, other.m_scale);
    return ExactDecimal(scaled(m_mantissa, scale - m_scale) + scaled(other.m_mantissa, scale - other.m_scale), scale);
}

ExactDecimal ExactDecimal::operator-(const ExactDecimal &other) const
{
    return *this + ExactDecimal(-other.m_mantissa, other.m_scale);
}

ExactDecimal ExactDecimal::operator*(const ExactDecimal &other) const
{
    ExactDecimal product(m_mantissa * other.m_mantissa, m_scale + other.m_scale);
    while (product.m_scale > kMostDecimals) {
        product.m_mantissa /= 10;
        --product.m_scale;
    }
    return product;
}

int ExactDecimal::compare(const ExactDecimal &other) const
{
    const ExactDecimal difference = *this - other;
    return difference.m_mantissa < 0 ? -1 : (difference.m_mantissa > 0 ? 1 : 0);
}

ExactDecimal ExactDecimal::abs() const
{
    return ExactDecimal(m_mantissa < 0 ? -m_mantissa : m_mantissa, m_scale);
}

int ExactDecimal::decimals() const
{
    __int128 mantissa = m_mantissa;
    int scale = m_scale;
    while (scale > 0 && mantissa % 10 == 0) {
        mantissa /= 10;
        --scale;
    }
    return scale;
}

QString ExactDecimal::text() const
{
    return text(decimals());
}

QString ExactDecimal::text(int decimals) const
{
    __int128 magnitude = m_mantissa < 0 ? -m_mantissa : m_mantissa;
    int scale = m_scale;
    if (scale > decimals) {
        for (; scale > decimals + 1; --scale)
            magnitude /= 10;
        magnitude = (magnitude + 5) / 10;
        scale = decimals;
    }
    magnitude = scaled(magnitude, decimals - scale);
    QString digits = digitsOf(magnitude);
    if (decimals > 0) {
        if (digits.size() <= decimals)
            digits = QString(decimals + 1 - digits.size(), u'0') + digits;
        digits.insert(digits.size() - decimals, u'.');
    }
    return magnitude != 0 && m_mantissa < 0 ? QLatin1Char('-') + digits : digits;
}
