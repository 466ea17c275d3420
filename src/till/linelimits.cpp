#include "linelimits.h"

#include "base/apperror.h"
#include "base/numbertext.h"
#include "storage/tillsettings.h"

#include <cmath>
#include <optional>

namespace {

const QString kQuantity = QStringLiteral("line.max_quantity");
const QString kAmount = QStringLiteral("line.max_amount");

std::optional<double> numberOf(const QString &text)
{
    double number = 0;
    if (!tryTextToNumber(text, &number))
        return std::nullopt;
    return number;
}

}   // namespace

LineLimits::LineLimits(double quantity, double amount)
    : m_quantity(quantity)
    , m_amount(amount)
{
}

QString LineLimits::doubtAbout(const QString &quantity, const QString &price) const
{
    // An empty box counts as nothing, as the till stores it.
    const std::optional<double> count = quantity.isEmpty() ? 0.0 : numberOf(quantity);
    const std::optional<double> each = price.isEmpty() ? 0.0 : numberOf(price);
    if (!count || !each)
        return QString();
    const double amount = *count * *each;
    if (std::fabs(*count) > m_quantity) {
        return QStringLiteral("数量 %1 超过了 %2，是不是把条码扫进了数量框？\n确实要添加这一行吗？")
            .arg(quantity, formatGeneral(m_quantity));
    }
    if (!std::isfinite(amount) || std::fabs(amount) > m_amount) {
        return QStringLiteral("这一行的金额 %1 超过了 %2。\n确实要添加这一行吗？")
            .arg(formatGeneral(amount), formatGeneral(m_amount));
    }
    return QString();
}

void LineLimits::check() const
{
    if (!(m_quantity > 0) || !(m_amount > 0) || !std::isfinite(m_quantity) || !std::isfinite(m_amount))
        throw Refusal(QStringLiteral("提示：数量和金额的上限要是大于 0 的数字!"));
}

LineLimits LineLimits::fromValues(const QMap<QString, QString> &values)
{
    LineLimits limits;
    auto read = [&values](const QString &name, double &into) {
        if (!values.contains(name))
            return;
        const std::optional<double> number = numberOf(values.value(name));
        if (!number)
            throw Refusal(QStringLiteral("提示：数量和金额的上限要是大于 0 的数字!"));
        into = *number;
    };
    read(kQuantity, limits.m_quantity);
    read(kAmount, limits.m_amount);
    limits.check();
    return limits;
}

LineLimits LineLimits::fromTexts(const QString &quantity, const QString &amount)
{
    return fromValues({{kQuantity, quantity.trimmed()}, {kAmount, amount.trimmed()}});
}

LineLimits LineLimits::load(const TillSettings &settings)
{
    return fromValues(settings.values());
}

QMap<QString, QString> LineLimits::values() const
{
    return {{kQuantity, formatGeneral(m_quantity)}, {kAmount, formatGeneral(m_amount)}};
}
