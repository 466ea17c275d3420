#include "numbertext.h"

#include "base/apperror.h"


#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr int kSignificantDigits = 15;

// The 15-digit text of the largest double ("1.79769313486232E308") lies just
// above it and overflows when read; what formatGeneral writes must read back.
// Read in long double, where it is finite, a text up to that is the largest double.
static_assert(std::numeric_limits<long double>::max_exponent > std::numeric_limits<double>::max_exponent);
constexpr long double kLargestGeneral = 1.79769313486232E308L;

bool readsAsLargestDouble(const QString &text, double *value)
{
    const QByteArray latin = text.trimmed().toLatin1();
    const long double wide = std::strtold(latin.constData(), nullptr);
    if (!std::isfinite(wide) || std::fabs(wide) > kLargestGeneral)
        return false;
    *value = wide < 0 ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    return true;
}

bool isBlank(char16_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char16_t c)
{
    return c >= '0' && c <= '9';
}

// Whether the text is a plain decimal number, blanks around it allowed:
// [+-] then digits with an optional point and fraction (or a point and
// digits), then an optional exponent. Done by hand: an import reads a price
// on every row, and a regular expression cost more than the rest of the row.
bool isNumberText(QStringView text)
{
    qsizetype at = 0;
    const qsizetype size = text.size();
    while (at < size && isBlank(text[at].unicode()))
        ++at;
    if (at < size && (text[at] == u'+' || text[at] == u'-'))
        ++at;
    qsizetype digits = 0;
    for (; at < size && isDigit(text[at].unicode()); ++at)
        ++digits;
    if (at < size && text[at] == u'.') {
        ++at;
        for (; at < size && isDigit(text[at].unicode()); ++at)
            ++digits;
    }
    if (digits == 0)
        return false;
    if (at < size && (text[at] == u'e' || text[at] == u'E')) {
        ++at;
        if (at < size && (text[at] == u'+' || text[at] == u'-'))
            ++at;
        qsizetype exponentDigits = 0;
        for (; at < size && isDigit(text[at].unicode()); ++at)
            ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    while (at < size && isBlank(text[at].unicode()))
        ++at;
    return at == size;
}

// The plain decimals a price or a quantity is written with ("12", "-3.50"),
// read exactly without the general conversion: with at most 15 digits the
// digits and the power of ten are both exact doubles, so their quotient is
// the correctly rounded value. False, reading nothing, for any other text.
bool readPlainDecimal(QStringView text, double *value)
{
    qsizetype at = 0;
    const qsizetype size = text.size();
    while (at < size && isBlank(text[at].unicode()))
        ++at;
    bool negative = false;
    if (at < size && (text[at] == u'+' || text[at] == u'-'))
        negative = text[at++] == u'-';
    quint64 digits = 0;
    int count = 0;
    int decimals = 0;
    bool point = false;
    for (; at < size; ++at) {
        const char16_t c = text[at].unicode();
        if (isDigit(c)) {
            if (++count > 15)
                return false;
            digits = digits * 10 + (c - '0');
            decimals += point;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    while (at < size && isBlank(text[at].unicode()))
        ++at;
    if (at != size || count == 0)
        return false;
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double magnitude = double(digits) / kPowers[decimals];
    *value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

QString formatGeneral(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0.0)
        return QStringLiteral("0");

    // "d.dddddddddddddde±XX": rounding to 15 digits happens here, which may
    // carry into the exponent (9.9999999999999999 -> 1.00000000000000e+01).
    const QString sci = QString::number(value, 'e', kSignificantDigits - 1);
    const qsizetype ePos = sci.indexOf(QLatin1Char('e'));
    const bool negative = sci.startsWith(QLatin1Char('-'));
    QString digits = sci.mid(negative ? 1 : 0, ePos - (negative ? 1 : 0));
    digits.remove(QLatin1Char('.'));
    const int exponent = sci.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);

    QString out;
    if (negative)
        out += QLatin1Char('-');
    if (exponent < -4 || exponent >= kSignificantDigits) {
        out += digits.left(1);
        if (digits.size() > 1)
            out += QLatin1Char('.') + digits.mid(1);
        out += QLatin1Char('E');
        if (exponent < 0)
            out += QLatin1Char('-');
        out += QString::number(std::abs(exponent));
    } else if (exponent < 0) {
        out += QStringLiteral("0.") + QString(-exponent - 1, QLatin1Char('0')) + digits;
    } else if (digits.size() <= exponent + 1) {
        out += digits + QString(exponent + 1 - digits.size(), QLatin1Char('0'));
    } else {
        out += digits.left(exponent + 1) + QLatin1Char('.') + digits.mid(exponent + 1);
    }
    return out;
}

bool tryTextToNumber(const QString &text, double *value)
{
    if (readPlainDecimal(text, value))
        return true;
    if (!isNumberText(text))
        return false;
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);   // QString::toDouble is locale-free
    if (std::isinf(v))
        return readsAsLargestDouble(text, value);
    if (!ok)
        return false;
    *value = v;
    return true;
}

double textToNumber(const QString &text)
{
    double v = 0;
    if (!tryTextToNumber(text, &v))
        throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return v;
}
