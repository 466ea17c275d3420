#include "pinhash.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>

namespace {

// Slow enough that a stolen database file gives a four-digit PIN away only
// with effort; quick enough for a till.
constexpr int kRounds = 100000;

QByteArray derived(const QString &pin, const QByteArray &salt)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, pin.toUtf8(), salt, kRounds, 32);
}

} // namespace

QString PinHash::of(const QString &pin)
{
    if (pin.isEmpty())
        return {};
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), salt.size() / 4);
    return QString::fromLatin1(salt.toHex() + ':' + derived(pin, salt).toHex());
}

bool PinHash::matches(const QString &hash, const QString &pin)
{
    const qsizetype colon = hash.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return false;
    const QByteArray salt = QByteArray::fromHex(hash.left(colon).toLatin1());
    return derived(pin, salt).toHex() == hash.mid(colon + 1).toLatin1();
}
