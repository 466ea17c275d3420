#include "receiptnumbers.h"

namespace {

const QString kFormat = QStringLiteral("yyMMddHHmmss");

} // namespace

QDateTime ReceiptNumbers::timeOf(const QString &number)
{
    if (number.size() != 12)
        return {};
    for (const QChar c : number)
        if (c < u'0' || c > u'9')
            return {};
    // "yy" alone would read as 19yy.
    const QDateTime time = QDateTime::fromString(QStringLiteral("20") + number, QStringLiteral("yyyyMMddHHmmss"));
    return time.isValid() && time.toString(kFormat) == number ? time : QDateTime();
}

QString ReceiptNumbers::next(const QDateTime &now, const QString &largestRecorded)
{
    QDateTime stamp = now;
    stamp.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    if (m_last.isValid() && stamp <= m_last)
        stamp = m_last.addSecs(1);
    const QDateTime recorded = timeOf(largestRecorded);
    if (recorded.isValid() && stamp <= recorded)
        stamp = recorded.addSecs(1);
    m_last = stamp;
    return stamp.toString(kFormat);
}

QString ReceiptNumbers::ofTill(const QDateTime &time, int till)
{
    return time.toString(kFormat) + QLatin1Char('-') + QString::number(till);
}

QDateTime ReceiptNumbers::timeOfEither(const QString &number)
{
    const qsizetype dash = number.indexOf(QLatin1Char('-'));
    return timeOf(dash < 0 ? number : number.left(dash));
}
