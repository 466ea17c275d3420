#include "till/receiptnumbers.h"

#include <QTest>

class TestReceiptNumbers : public QObject
{
    Q_OBJECT

private slots:
    void numbersAreTheTimeButAlwaysLaterThanTheLast()
    {
        ReceiptNumbers numbers;
        const QDateTime t(QDate(2026, 12, 6), QTime(14, 30, 5, 120));
        QCOMPARE(numbers.next(t), QStringLiteral("261206143005"));
        // Same second: one second later than the last number.
        QCOMPARE(numbers.next(t.addMSecs(500)), QStringLiteral("261206143006"));
        QCOMPARE(numbers.next(t.addMSecs(700)), QStringLiteral("261206143007"));
        // The clock catches up: its own time again.
        QCOMPARE(numbers.next(t.addSecs(10)), QStringLiteral("261206143015"));
        // A clock set back never gives an earlier or equal number.
        QCOMPARE(numbers.next(t.addSecs(-3600)), QStringLiteral("261206143016"));
        // Across midnight and the year the form stays twelve digits.
        ReceiptNumbers late;
        QCOMPARE(late.next(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59))), QStringLiteral("261231235959"));
        QCOMPARE(late.next(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59))), QStringLiteral("270101000000"));
    }
};

QTEST_APPLESS_MAIN(TestReceiptNumbers)
#include "tst_receiptnumbers.moc"
