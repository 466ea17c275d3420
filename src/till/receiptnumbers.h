#pragma once

#include <QDateTime>
#include <QString>

// Receipt numbers: the local date and time "yyMMddHHmmss". A number names
// one sale only, so each is later than the last one issued in this run and
// than the largest one already recorded (a restart within the same second, a
// clock set back): a second later than those when the clock is not past them.
class ReceiptNumbers final
{
public:
    // largestRecorded: the largest number of the form in the sales record,
    // if any.
    QString next(const QDateTime &now = QDateTime::currentDateTime(), const QString &largestRecorded = {});

    // The time a number of the form names (year 2000 + yy); invalid for any
    // other text, such as a number typed by hand that names no time.
    static QDateTime timeOf(const QString &number);

    // A number made while the till sold without its server: the time and
    // the till, "yyMMddHHmmss-N", so that no other till can make it too.
    static QString ofTill(const QDateTime &time, int till);
    // The time of a number of either form.
    static QDateTime timeOfEither(const QString &number);

private:
    QDateTime m_last;
};
