#pragma once

#include <QDateTime>
#include <QString>

// Receipt numbers: the local date and time "yyMMddHHmmss". Two sales
// completed within one second must not share a number, so each number is
// later than the last one issued (a second is added when needed).
class ReceiptNumbers final
{
public:
    QString next(const QDateTime &now = QDateTime::currentDateTime());

private:
    QDateTime m_last;
};
