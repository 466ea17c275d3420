#pragma once

#include <QString>

#include <optional>

// A decimal number kept exactly: stock quantities to the gram and cost
// prices in 元, added and multiplied without the binary tails a double
// leaves (0.1 kg × 3.3 元 is 0.33, never 0.32999999).
class ExactDecimal final
{
public:
    ExactDecimal() = default;

    // Plain decimal text with an optional sign ("-12.500", "3", ".5");
    // blanks around it are allowed. nullopt for anything else, an exponent
    // included, and for more than 18 digits.
    static std::optional<ExactDecimal> parse(const QString &text);
    // Thousandths of a unit, as the stock tables keep quantities.
    static ExactDecimal fromMilli(qint64 milli);

    ExactDecimal operator+(const ExactDecimal &other) const;
    ExactDecimal operator-(const ExactDecimal &other) const;
    ExactDecimal operator*(const ExactDecimal &other) const;
    ExactDecimal &operator+=(const ExactDecimal &other) { return *this = *this + other; }
    bool operator==(const ExactDecimal &other) const { return compare(other) == 0; }
    int compare(const ExactDecimal &other) const;

    bool isZero() const { return m_mantissa == 0; }
    bool isNegative() const { return m_mantissa < 0; }
    ExactDecimal abs() const;
    // Digits after the point that are not trailing zeros.
    int decimals() const;

    // Without trailing zeros: "-3", "2.5", "0".
    QString text() const;
    // Rounded half away from zero to the given decimals ("12.35" for money).
    QString text(int decimals) const;

private:
    ExactDecimal(__int128 mantissa, int scale);
    static __int128 scaled(__int128 mantissa, int by);

    __int128 m_mantissa = 0;   // the value is m_mantissa × 10^-m_scale
    int m_scale = 0;
};
