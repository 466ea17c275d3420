#include "thousandths.h"

#include "base/apperror.h"

#include <cmath>

namespace {

struct Parsed
{
    bool negative = false;
    QString whole;
    QString fraction;
};

// Sign, digits, at most one point with digits on at least one side of it.
std::optional<Parsed> split(QStringView text)
{
    text = text.trimmed();
    Parsed p;
    if (!text.isEmpty() && (text.front() == QLatin1Char('-') || text.front() == QLatin1Char('+'))) {
        p.negative = text.front() == QLatin1Char('-');
        text = text.mid(1);
    }
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const QStringView whole = point < 0 ? text : text.left(point);
    const QStringView fraction = point < 0 ? QStringView() : text.mid(point + 1);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    for (const QStringView part : {whole, fraction})
        for (const QChar c : part)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
    // 18 digits still fit a qint64 with three decimals to spare.
    if (whole.size() > 15)
        return std::nullopt;
    p.whole = whole.toString();
    p.fraction = fraction.toString();
    while (p.fraction.endsWith(QLatin1Char('0')))
        p.fraction.chop(1);
    return p;
}

QString decimalText(__int128 mantissa, int scale)
{
    const bool negative = mantissa < 0;
    if (negative)
        mantissa = -mantissa;
    QString digits;
    do {
        digits.prepend(QChar(u'0' + int(mantissa % 10)));
        mantissa /= 10;
    } while (mantissa > 0);
    while (digits.size() <= scale)
        digits.prepend(QLatin1Char('0'));
    QString whole = digits.left(digits.size() - scale);
    QString fraction = digits.right(scale);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString out = fraction.isEmpty() ? whole : whole + QLatin1Char('.') + fraction;
    if (negative && out != QLatin1String("0"))
        out.prepend(QLatin1Char('-'));
    return out;
}

} // namespace

std::optional<qint64> Thousandths::parse(QStringView text)
{
    const std::optional<Parsed> p = split(text);
    if (!p || p->fraction.size() > 3)
        return std::nullopt;
    const qint64 whole = p->whole.isEmpty() ? 0 : p->whole.toLongLong();
    const qint64 fraction = (p->fraction + QStringLiteral("000")).left(3).toLongLong();
    const qint64 milli = whole * 1000 + fraction;
    return p->negative ? -milli : milli;
}

qint64 Thousandths::parseOrRefuse(const QString &text)
{
    if (const std::optional<qint64> milli = parse(text))
        return *milli;
    throw Refusal(QStringLiteral("数量“%1”不是有效的数字（最多三位小数）。").arg(text));
}

std::optional<qint64> Thousandths::ofValue(double value)
{
    const double milli = std::round(value * 1000);
    if (!std::isfinite(milli) || std::fabs(milli) > 9e15)
        return std::nullopt;
    return qint64(milli);
}

QString Thousandths::text(qint64 milli)
{
    return decimalText(milli, 3);
}

std::optional<QString> Thousandths::decimal(QStringView text)
{
    const std::optional<Parsed> p = split(text);
    if (!p || p->fraction.size() > 12)
        return std::nullopt;
    __int128 mantissa = 0;
    for (const QChar c : p->whole + p->fraction)
        mantissa = mantissa * 10 + (c.unicode() - u'0');
    return decimalText(p->negative ? -mantissa : mantissa, int(p->fraction.size()));
}

QString Thousandths::times(qint64 milli, QStringView price)
{
    const std::optional<Parsed> p = split(price);
    if (!p || p->fraction.size() > 12)
        return {};
    __int128 mantissa = 0;
    for (const QChar c : p->whole + p->fraction)
        mantissa = mantissa * 10 + (c.unicode() - u'0');
    // Below 10^19 times a qint64 stays inside 128 bits.
    if (mantissa >= __int128(10'000'000'000'000'000'000ULL))
        return {};
    const __int128 product = mantissa * __int128(milli);
    return decimalText(p->negative ? -product : product, int(p->fraction.size()) + 3);
}
