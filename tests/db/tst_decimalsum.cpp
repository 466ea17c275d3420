#include "db/decimalsum.h"

#include <QTest>

#include <cfloat>

class TestDecimalSum : public QObject
{
    Q_OBJECT

private slots:
    void sumsAreTheDecimalSumsOfTheShownNumbers_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QString>("sum");
        QTest::newRow("nothing") << QList<double>{} << "0";
        QTest::newRow("tenths") << QList<double>{0.1, 0.2} << "0.3";
        QTest::newRow("back to zero") << QList<double>{0.1, 0.2, -0.3} << "0";
        QTest::newRow("cents and fen") << QList<double>{19.99, 0.01, 4.5, -3.7} << "20.8";
        QTest::newRow("fifteen digits") << QList<double>{123456789.012345, 0.000001} << "123456789.012346";
        QTest::newRow("tiny") << QList<double>{0.00005, 0.00005} << "0.0001";
        QTest::newRow("large and small") << QList<double>{1e14, 0.25, -1e14} << "0.25";
        QTest::newRow("far apart") << QList<double>{1e300, 1} << "1E300";
        QTest::newRow("extremes") << QList<double>{DBL_MAX, -DBL_MAX, 2.5} << "2.5";
    }
    void sumsAreTheDecimalSumsOfTheShownNumbers()
    {
        QFETCH(QList<double>, values);
        QFETCH(QString, sum);
        DecimalSum total;
        for (double v : values)
            total.add(v);
        QCOMPARE(total.text(), sum);
    }

    void aMillionLinesLeaveNoBinaryTail()
    {
        DecimalSum total;
        DecimalSum half;
        for (int i = 0; i < 1000000; ++i) {
            total.add(2.598);
            if (i < 500000)
                half.add(2.598);
        }
        QCOMPARE(total.text(), QStringLiteral("2598000"));
        half.add(half);
        QCOMPARE(half.text(), QStringLiteral("2598000"));
        DecimalSum mixed;
        for (int i = 0; i < 100000; ++i) {
            mixed.add(22.74822598);
            mixed.add(0.001);
        }
        QCOMPARE(mixed.text(), QStringLiteral("2274922.598"));
    }
};

QTEST_APPLESS_MAIN(TestDecimalSum)
#include "tst_decimalsum.moc"
