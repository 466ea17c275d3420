#include "scalecodes.h"

#include "base/apperror.h"
#include "storage/tillsettings.h"

namespace {

const QString kMode = QStringLiteral("scale.codes");
const QString kFirstPrefix = QStringLiteral("scale.prefix_from");
const QString kLastPrefix = QStringLiteral("scale.prefix_to");

bool allDigits(const QString &text)
{
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

ScaleCodes::ScaleCodes(Mode mode, int firstPrefix, int lastPrefix)
    : m_mode(mode)
    , m_firstPrefix(firstPrefix)
    , m_lastPrefix(lastPrefix)
{
}

std::optional<ScaleCodes::Reading> ScaleCodes::read(const QString &code) const
{
    if (m_mode == Mode::Off || code.size() != 13 || !allDigits(code))
        return std::nullopt;
    const int prefix = code.left(2).toInt();
    if (prefix < m_firstPrefix || prefix > m_lastPrefix)
        return std::nullopt;
    return Reading{code.left(7), code.mid(7, 5).toInt(), checkDigit(code.left(12)) == code.at(12).digitValue()};
}

int ScaleCodes::checkDigit(const QString &firstTwelve)
{
    // Digits in odd places (counted from 1 at the left) weigh 1, in even places 3.
    int sum = 0;
    for (qsizetype i = 0; i < firstTwelve.size(); ++i)
        sum += firstTwelve.at(i).digitValue() * (i % 2 == 0 ? 1 : 3);
    return (10 - sum % 10) % 10;
}

std::optional<ScaleCodes::Mode> ScaleCodes::parseMode(const QString &text)
{
    const QString name = text.trimmed().toLower();
    if (name == QLatin1String("price"))
        return Mode::Price;
    if (name == QLatin1String("weight"))
        return Mode::Weight;
    if (name == QLatin1String("off"))
        return Mode::Off;
    return std::nullopt;
}

QString ScaleCodes::modeName(Mode mode)
{
    switch (mode) {
    case Mode::Price: return QStringLiteral("price");
    case Mode::Weight: return QStringLiteral("weight");
    case Mode::Off: return QStringLiteral("off");
    }
    return QString();
}

ScaleCodes ScaleCodes::fromValues(const QMap<QString, QString> &values)
{
    ScaleCodes codes;
    if (values.contains(kMode)) {
        const std::optional<Mode> mode = parseMode(values[kMode]);
        if (!mode)
            throw Refusal(QStringLiteral("电子秤条码 \"%1\" 不对!").arg(values[kMode]));
        codes.m_mode = *mode;
    }
    const auto prefix = [&](const QString &name, int fallback) {
        if (!values.contains(name))
            return fallback;
        bool ok = false;
        const int value = values[name].trimmed().toInt(&ok);
        return ok ? value : -1;
    };
    codes.m_firstPrefix = prefix(kFirstPrefix, codes.m_firstPrefix);
    codes.m_lastPrefix = prefix(kLastPrefix, codes.m_lastPrefix);
    codes.check();
    return codes;
}

void ScaleCodes::check() const
{
    const auto isPrefix = [](int prefix) { return prefix >= 0 && prefix <= 99; };
    if (!isPrefix(m_firstPrefix) || !isPrefix(m_lastPrefix) || m_firstPrefix > m_lastPrefix)
        throw Refusal(QStringLiteral("电子秤条码的前缀范围不对：前缀是条码的头两位数字，例如 20 到 29，前一个不能比后一个大!"));
}

ScaleCodes ScaleCodes::load(const TillSettings &settings)
{
    return fromValues(settings.values());
}

QMap<QString, QString> ScaleCodes::values() const
{
    return {
        {kMode, modeName(m_mode)},
        {kFirstPrefix, QStringLiteral("%1").arg(m_firstPrefix, 2, 10, QLatin1Char('0'))},
        {kLastPrefix, QStringLiteral("%1").arg(m_lastPrefix, 2, 10, QLatin1Char('0'))},
    };
}
