#include "base/decimalsum.h"

#include "base/numbertext.h"
#include "base/runningdecimalsum.h"

#include <QRandomGenerator>
#include <QTest>

#include <cfloat>
#include <cmath>

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

    // A sum kept as text and added back later (the day's summary) loses no
    // digit: its figures are those of the values added one by one.
    void aStoredSumAddsBackExactly_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QString>("stored");
        QTest::newRow("nothing") << QList<double>{} << "0";
        QTest::newRow("tenths") << QList<double>{0.1, 0.2} << "0.3";
        QTest::newRow("negative fen") << QList<double>{-0.05, 0.02} << "-0.03";
        QTest::newRow("more than fifteen digits")
            << QList<double>{123456789.012345, 0.000001, 9000000000} << "9123456789.012346";
        QTest::newRow("tiny") << QList<double>{0.00005, 0.00005} << "0.0001";
        QTest::newRow("not exact") << QList<double>{1e300, 1} << "";
    }
    void aStoredSumAddsBackExactly()
    {
        QFETCH(QList<double>, values);
        QFETCH(QString, stored);
        DecimalSum sum;
        for (double v : values)
            sum.add(v);
        QCOMPARE(sum.exactText(), stored);
        if (stored.isEmpty())
            return;
        DecimalSum again;
        again.add(0.1);
        QVERIFY(again.addExactText(stored));
        sum.add(0.1);
        QCOMPARE(again.exactText(), sum.exactText());
        QCOMPARE(again.text(), sum.text());
        for (const QString &notASum : {QStringLiteral(""), QStringLiteral("-"), QStringLiteral("1e5"),
                                       QStringLiteral("1.2.3"), QStringLiteral("12a")})
            QVERIFY2(!again.addExactText(notASum), qPrintable(notASum));
        QCOMPARE(again.text(), sum.text());
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

    // Each value is taken at its shown text: amounts that are products of
    // prices and quantities (seldom the double nearest their decimal), and
    // doubles of every size.
    void eachValueCountsAsItIsShown()
    {
        QRandomGenerator rng(2598);
        for (int i = 0; i < 150000; ++i) {
            double v;
            switch (i % 3) {
            case 0:
                v = (1 + rng.bounded(400)) / (rng.bounded(2) ? 2.0 : 4.0) * (rng.bounded(1000000) / 100.0);
                break;
            case 1:
                v = rng.generateDouble() * std::pow(10.0, rng.bounded(-9, 17));
                break;
            default:
                v = (rng.bounded(2) ? -1 : 1) * rng.bounded(100000000) / std::pow(10.0, rng.bounded(0, 9)) * 1.1;
                break;
            }
            DecimalSum one;
            one.add(v);
            if (one.text() != formatGeneral(v))
                QFAIL(qPrintable(QStringLiteral("%1 counts as %2").arg(formatGeneral(v), one.text())));
            one.add(-v);
            if (one.text() != QLatin1String("0"))
                QFAIL(qPrintable(QStringLiteral("%1 less itself is %2").arg(formatGeneral(v), one.text())));
        }
    }

    // Lines come and go at the till: the running sum is what one sum over
    // the values left gives, to the last digit.
    void aRunningSumIsTheSumOfTheValuesLeft()
    {
        QRandomGenerator rng(4213);
        RunningDecimalSum running;
        QList<double> left;
        for (int step = 0; step < 6000; ++step) {
            if (!left.isEmpty() && rng.bounded(3) == 0) {
                running.remove(left.takeAt(rng.bounded(left.size())));
            } else {
                // A quantity of halves or quarters times a price in cents, now and then taken back.
                const double v = (rng.bounded(6) ? 1 : -1) * (1 + rng.bounded(400)) / (rng.bounded(2) ? 2.0 : 4.0)
                    * (rng.bounded(1000000) / 100.0);
                running.add(v);
                left << v;
            }
            DecimalSum pass;
            for (double v : std::as_const(left))
                pass.add(v);
            QVERIFY(running.isExact());
            if (running.text() != pass.text())
                QFAIL(qPrintable(
                    QStringLiteral("step %1: %2 kept, %3 summed").arg(step).arg(running.text(), pass.text())));
        }
    }

    void aRunningSumSaysWhenOnlyASumOverTheValuesCanTell_data()
    {
        QTest::addColumn<QList<double>>("added");
        QTest::addColumn<QList<double>>("removed");
        QTest::addColumn<bool>("exact");
        QTest::addColumn<QString>("sum");
        QTest::newRow("tenths") << QList<double>{0.1, 0.2, 0.7} << QList<double>{0.7} << true << "0.3";
        QTest::newRow("all taken out") << QList<double>{19.99, 4.5} << QList<double>{4.5, 19.99} << true << "0";
        QTest::newRow("largest amount") << QList<double>{5, DBL_MAX} << QList<double>{} << false << "";
        QTest::newRow("taken out again") << QList<double>{5, DBL_MAX} << QList<double>{DBL_MAX} << false << "";
        // Exact as added, but in another order a partial sum would not fit.
        QTest::newRow("too large together") << QList<double>{9e14, -9e14, 1e-21} << QList<double>{} << false << "";
    }
    void aRunningSumSaysWhenOnlyASumOverTheValuesCanTell()
    {
        QFETCH(QList<double>, added);
        QFETCH(QList<double>, removed);
        QFETCH(bool, exact);
        QFETCH(QString, sum);
        RunningDecimalSum running;
        for (double v : added)
            running.add(v);
        for (double v : removed)
            running.remove(v);
        QCOMPARE(running.isExact(), exact);
        if (exact)
            QCOMPARE(running.text(), sum);
    }
};

QTEST_APPLESS_MAIN(TestDecimalSum)
#include "tst_decimalsum.moc"
