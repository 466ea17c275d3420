#include "discountrules.h"

#include "storage/tillsettings.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>

namespace {

const QString kRoundOff = QStringLiteral("round_off");
const QString kLimit = QStringLiteral("discount_limit_percent");
const QString kPin = QStringLiteral("owner_pin");

// Slow enough that a stolen database file gives a four-digit PIN away only
// with effort; quick enough for a till.
constexpr int kRounds = 100000;

QByteArray derived(const QString &pin, const QByteArray &salt)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, pin.toUtf8(), salt, kRounds, 32);
}

} // namespace

void DiscountRules::setPin(const QString &pin)
{
    if (pin.isEmpty()) {
        m_pinHash.clear();
        return;
    }
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), salt.size() / 4);
    m_pinHash = QString::fromLatin1(salt.toHex() + ':' + derived(pin, salt).toHex());
}

bool DiscountRules::pinMatches(const QString &pin) const
{
    const qsizetype colon = m_pinHash.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return false;
    const QByteArray salt = QByteArray::fromHex(m_pinHash.left(colon).toLatin1());
    return derived(pin, salt).toHex() == m_pinHash.mid(colon + 1).toLatin1();
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
