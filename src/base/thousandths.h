#pragma once

#include <QString>

#include <optional>

// Stock quantities as whole thousandths of the unit (weighed goods to the
// gram), so that any number of movements sums exactly; and the exact product
// of such a quantity with a decimal price.
class Thousandths final
{
public:
    Thousandths() = delete;

    // "2", "-0.125", "+3.5" → 2000, -125, 3500; nullopt for anything that is
    // no plain decimal number or has more than three decimals.
    static std::optional<qint64> parse(QStringView text);
    // As parse(), throwing Refusal that names the text.
    static qint64 parseOrRefuse(const QString &text);
    // A recorded quantity (a double from the sales record), to the nearest thousandth.
    static std::optional<qint64> ofValue(double value);
    // 1500 → "1.5", -125 → "-0.125", 0 → "0".
    static QString text(qint64 milli);

    // A plain decimal text with a sign, digits and at most one point; the
    // text as it is to be stored ("2.50" → "2.5"), nullopt for anything else.
    static std::optional<QString> decimal(QStringView text);
    // milli/1000 × price, exactly, as plain decimal text; empty when the
    // price is no plain decimal or the product does not fit.
    static QString times(qint64 milli, QStringView price);
};
