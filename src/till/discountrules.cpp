#include "discountrules.h"

#include "storage/tillsettings.h"

#include "till/pinhash.h"

namespace {

const QString kRoundOff = QStringLiteral("round_off");
const QString kLimit = QStringLiteral("discount_limit_percent");
const QString kPin = QStringLiteral("owner_pin");

} // namespace

void DiscountRules::setPin(const QString &pin)
{
    m_pinHash = PinHash::of(pin);
}

bool DiscountRules::pinMatches(const QString &pin) const
{
    return PinHash::matches(m_pinHash, pin);
}

DiscountRules DiscountRules::load(const TillSettings &shop)
{
    DiscountRules rules;
    const QString roundOff = shop.value(kRoundOff);
    rules.m_roundOff = roundOff == QLatin1String("jiao") ? RoundOff::ToJiao
        : roundOff == QLatin1String("yuan")              ? RoundOff::ToYuan
                                                         : RoundOff::Off;
    bool ok = false;
    const int limit = shop.value(kLimit).toInt(&ok);
    rules.m_limitPercent = ok && limit >= 0 && limit <= 100 ? limit : 100;
    rules.m_pinHash = shop.value(kPin);
    return rules;
}

QMap<QString, QString> DiscountRules::values() const
{
    const QString roundOff = m_roundOff == RoundOff::ToJiao ? QStringLiteral("jiao")
        : m_roundOff == RoundOff::ToYuan                    ? QStringLiteral("yuan")
                                                            : QStringLiteral("off");
    return {{kRoundOff, roundOff}, {kLimit, QString::number(m_limitPercent)}, {kPin, m_pinHash}};
}
