#include "receiptnumbers.h"

QString ReceiptNumbers::next(const QDateTime &now)
{
    QDateTime stamp = now;
    stamp.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    if (m_last.isValid() && stamp <= m_last)
        stamp = m_last.addSecs(1);
    m_last = stamp;
    return stamp.toString(QStringLiteral("yyMMddHHmmss"));
}
