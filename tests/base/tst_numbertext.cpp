#include "base/apperror.h"
#include "base/numbertext.h"

#include <QRandomGenerator>
#include <QTest>

#include <cfloat>
#include <cmath>
#include <cstring>

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void general_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("whole") << 3.0 << "3";
        QTest::newRow("negative whole") << -3.0 << "-3";
        QTest::newRow("half") << 12.5 << "12.5";
        QTest::newRow("quarter") << 0.25 << "0.25";
        QTest::newRow("sum of tenths rounds") << 0.1 + 0.2 << "0.3";
        QTest::newRow("product") << 2.5 * 4 << "10";
        QTest::newRow("change") << 100 - 23.7 << "76.3";
        QTest::newRow("negative change") << 20 - 23.7 << "-3.7";
        QTest::newRow("small stays fixed") << 0.0001 << "0.0001";
        QTest::newRow("smaller goes scientific") << 0.00005 << "5E-5";
        QTest::newRow("scientific with fraction") << 0.000012345 << "1.2345E-5";
        QTest::newRow("fifteen digits fixed") << 123456789012345.0 << "123456789012345";
        QTest::newRow("sixteen digits scientific") << 1e15 << "1E15";
        QTest::newRow("rounding carries") << 9.9999999999999999 << "10";
        QTest::newRow("fifteen significant") << 1.0 / 3 << "0.333333333333333";
        QTest::newRow("large with fraction") << 1234.5678 << "1234.5678";
    }
    void general()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(formatGeneral(value), text);
    }

    void conversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << "100" << true << 100.0;
        QTest::newRow("fraction") << "23.7" << true << 23.7;
        QTest::newRow("sign") << "-3.5" << true << -3.5;
        QTest::newRow("plus") << "+2" << true << 2.0;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("trailing point") << "5." << true << 5.0;
        QTest::newRow("exponent") << "1.5E3" << true << 1500.0;
        QTest::newRow("blanks around") << " 7 " << true << 7.0;
        QTest::newRow("comma refused") << "100,5" << false << 0.0;
        QTest::newRow("empty refused") << "" << false << 0.0;
        QTest::newRow("blank refused") << "   " << false << 0.0;
        QTest::newRow("two points refused") << "1.2.3" << false << 0.0;
        QTest::newRow("letters refused") << "abc" << false << 0.0;
        QTest::newRow("thousands refused") << "1,000" << false << 0.0;
        QTest::newRow("bare exponent refused") << "1E" << false << 0.0;
        QTest::newRow("hex refused") << "0x10" << false << 0.0;
        QTest::newRow("full-width digits refused") << "１２.5" << false << 0.0;
        QTest::newRow("no-break space refused") << "\u00A012" << false << 0.0;
        QTest::newRow("point alone refused") << " . " << false << 0.0;
        QTest::newRow("blanks of every kind around") << "\t\v\f 12.5e1\r\n" << true << 125.0;
        QTest::newRow("largest as written") << "1.79769313486232E308" << true << DBL_MAX;
        QTest::newRow("largest negative as written") << "-1.79769313486232E308" << true << -DBL_MAX;
        QTest::newRow("beyond the largest refused") << "1.79769313486233E308" << false << 0.0;
        QTest::newRow("overflow refused") << "1e400" << false << 0.0;
    }
    void conversion()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        if (ok) {
            QCOMPARE(textToNumber(text), value);
            return;
        }
        try {
            textToNumber(text);
            QFAIL("conversion should have been refused");
        } catch (const ConversionError &e) {
            QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid floating point value").arg(text));
        }
    }

    // Prices and quantities as shops write them ("-12.50", "0.125") read
    // to the very double the general conversion gives.
    void plainDecimalsReadAsTheGeneralConversion()
    {
        QRandomGenerator rng(7);
        for (int i = 0; i < 200000; ++i) {
            const int digits = rng.bounded(1, 16);
            QString text = QString::number(rng.generate64() % 1000000000000000ULL).right(digits);
            if (const int point = rng.bounded(0, int(text.size()) + 1); point < text.size() || rng.bounded(2))
                text.insert(point, QLatin1Char('.'));
            if (rng.bounded(3) == 0)
                text.prepend(QLatin1Char('-'));
            if (text == QLatin1String(".") || text == QLatin1String("-."))
                continue;
            double read = 0;
            QVERIFY2(tryTextToNumber(text, &read), qPrintable(text));
            const double general = text.toDouble();
            if (std::memcmp(&read, &general, sizeof read) != 0)
                QFAIL(qPrintable(QStringLiteral("%1 read as %2, not %3").arg(text).arg(read, 0, 'g', 17).arg(general, 0, 'g', 17)));
        }
    }

    // Whatever the program writes, it reads back: for every finite double the
    // general text converts, and to a number with the same general text.
    void everyFiniteDoubleRoundTrips()
    {
        QList<double> values{DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN, DBL_TRUE_MIN, -DBL_TRUE_MIN,
                             std::nextafter(DBL_MAX, 0.0), 9.99999999999999e307, 1e15, 999999999999999.5,
                             0.0001, 0.00009999999999999999, -0.0};
        QRandomGenerator rng(12);
        while (values.size() < 100000) {
            const quint64 bits = rng.generate64();
            double v;
            std::memcpy(&v, &bits, sizeof v);
            if (std::isfinite(v))
                values << v;
        }
        for (const double v : values) {
            const QString text = formatGeneral(v);
            double back = 0;
            if (!tryTextToNumber(text, &back))
                QFAIL(qPrintable(QStringLiteral("%1 does not read back").arg(text)));
            if (formatGeneral(back) != text)
                QFAIL(qPrintable(QStringLiteral("%1 reads back as %2").arg(text, formatGeneral(back))));
        }
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
