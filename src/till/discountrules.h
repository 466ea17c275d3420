#pragma once

#include <QMap>
#include <QString>

class TillSettings;

// The shop's rules for discounts and 抹零, kept with the shop's settings: how
// far a total is rounded down, the largest discount (in percent of what it
// is given on) a cashier may give alone, and the owner's PIN that allows a
// larger one, kept only as a salted slow hash. No PIN: no question.
class DiscountRules final
{
public:
    enum class RoundOff { Off, ToJiao, ToYuan };

    RoundOff roundOff() const { return m_roundOff; }
    void setRoundOff(RoundOff roundOff) { m_roundOff = roundOff; }
    int limitPercent() const { return m_limitPercent; }
    void setLimitPercent(int percent) { m_limitPercent = percent; }

    bool hasPin() const { return !m_pinHash.isEmpty(); }
    // Sets a new PIN (empty: none), stored as salt and PBKDF2 hash.
    void setPin(const QString &pin);
    bool pinMatches(const QString &pin) const;

    // The shop's settings are those of till 0.
    static DiscountRules load(const TillSettings &shop);
    QMap<QString, QString> values() const;

private:
    RoundOff m_roundOff = RoundOff::Off;
    int m_limitPercent = 100;
    QString m_pinHash;   // "salt:hash", both hex; empty for no PIN
};
