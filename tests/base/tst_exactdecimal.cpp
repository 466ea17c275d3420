#include "base/exactdecimal.h"

#include <QTest>

// Stock quantities and cost prices as the shop reads them: exact, whatever
// binary doubles would make of them.
class TestExactDecimal : public QObject
{
    Q_OBJECT

private slots:
    void arithmeticAndText_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<char>("op");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("money");
        QTest::newRow("grams at a price") << "0.1" << '*' << "3.3" << "0.33" << "0.33";
        QTest::newRow("half a fen rounds away from zero") << "-2.005" << '*' << "3" << "-6.015" << "-6.02";
        QTest::newRow("a count less the ledger") << "1.75" << '-' << "1.5" << "0.25" << "0.25";
        QTest::newRow("trailing zeros go") << "18.80" << '+' << "0.200" << "19" << "19.00";
        QTest::newRow("a tiny loss shows no minus sign") << "-0.001" << '*' << "1" << "-0.001" << "0.00";
        QTest::newRow("large and fine") << "999999999.999" << '*' << "1000" << "999999999999" << "999999999999.00";
    }
    void arithmeticAndText()
    {
        QFETCH(QString, a);
        QFETCH(char, op);
        QFETCH(QString, b);
        QFETCH(QString, plain);
        QFETCH(QString, money);
        const ExactDecimal x = *ExactDecimal::parse(a);
        const ExactDecimal y = *ExactDecimal::parse(b);
        const ExactDecimal result = op == '*' ? x * y : (op == '-' ? x - y : x + y);
        QCOMPARE(result.text(), plain);
        QCOMPARE(result.text(2), money);
    }

    void onlyPlainDecimalsAreNumbers()
    {
        for (const char *text : {"", "-", ".", "1e3", "1.2.3", "12a", "1 2", "１２", "1234567890123456789"})
            QVERIFY2(!ExactDecimal::parse(QString::fromUtf8(text)), text);
        QCOMPARE(ExactDecimal::parse(QStringLiteral(" +.5 "))->text(), QStringLiteral("0.5"));
        QCOMPARE(ExactDecimal::fromMilli(-2500).text(), QStringLiteral("-2.5"));
        QCOMPARE(ExactDecimal::parse(QStringLiteral("1.2340"))->decimals(), 3);
    }
};

QTEST_GUILESS_MAIN(TestExactDecimal)
#include "tst_exactdecimal.moc"
