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

    void numbersAreLaterThanTheLargestRecorded_data()
    {
        QTest::addColumn<QString>("recorded");
        QTest::addColumn<QString>("next");
        // The clock at 2026-12-06 14:30:05.
        QTest::newRow("nothing recorded") << QString() << "261206143005";
        QTest::newRow("an earlier number") << "261206143004" << "261206143005";
        QTest::newRow("the same second") << "261206143005" << "261206143006";
        QTest::newRow("a later number, clock set back") << "261207090000" << "261207090001";
        QTest::newRow("twelve digits naming no time") << "999999999999" << "261206143005";
        QTest::newRow("not a number of the form") << "26120614300" << "261206143005";
    }
    void numbersAreLaterThanTheLargestRecorded()
    {
        QFETCH(QString, recorded);
        QFETCH(QString, next);
        ReceiptNumbers numbers;
        QCOMPARE(numbers.next(QDateTime(QDate(2026, 12, 6), QTime(14, 30, 5)), recorded), next);
    }
};

QTEST_APPLESS_MAIN(TestReceiptNumbers)
#include "tst_receiptnumbers.moc"
