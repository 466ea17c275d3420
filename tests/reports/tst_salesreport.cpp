#include "opendatabase.h"
#include "testdatabase.h"
#include "withnames.h"

#include "storage/database.h"
#include "reports/salesreport.h"

#include <QMap>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

namespace {

// Money and quantities of the test are kept in thousandths, as whole numbers:
// the expected sums are added here without any floating point.
QString decimal(qint64 thousandths)
{
    const bool negative = thousandths < 0;
    const qint64 v = negative ? -thousandths : thousandths;
    QString text = QString::number(v / 1000);
    QString fraction = QStringLiteral("%1").arg(v % 1000, 3, 10, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    return negative ? QLatin1Char('-') + text : text;
}

struct Sums
{
    QSet<QString> receipts;
    qint64 lines = 0;
    qint64 items = 0;     // thousandths
    qint64 takings = 0;   // thousandths

    void add(const QString &receipt, qint64 quantity, qint64 amount)
    {
        receipts.insert(receipt);
        ++lines;
        items += quantity;
        takings += amount;
    }
};

void record(TestDatabase &file, const QString &receipt, const QString &cashier, const QString &date,
            const QString &time, const QString &code, const QString &name, qint64 quantity, qint64 amount)
{
    file.exec(withNames("insert into {SalesRecord} ({code}, {name}, {quantity}, {price}, {amount}, {receiptNumber}, {cashier}, {date}, {time}) "
                             "values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
              {code, name, double(quantity) / 1000, 1.0, double(amount) / 1000, receipt, cashier, date, time});
}

void checkGroup(const ReportFigures::Group &shown, const QString &key, const Sums &expected)
{
    QCOMPARE(shown.key, key);
    QCOMPARE(shown.receipts, qint64(expected.receipts.size()));
    QCOMPARE(shown.lines, expected.lines);
    QCOMPARE(shown.items, decimal(expected.items));
    QCOMPARE(shown.takings, decimal(expected.takings));
}

ReportRange days(const char *from, const char *to, const QString &cashier = {})
{
    ReportRange range;
    range.from = QDate::fromString(QLatin1String(from), Qt::ISODate);
    range.to = QDate::fromString(QLatin1String(to), Qt::ISODate);
    range.cashier = cashier;
    return range;
}

} // namespace

class TestSalesReport : public QObject
{
    Q_OBJECT

    std::unique_ptr<OpenDatabase> data;

    ReportFigures report(const ReportRange &range) { return SalesReport::compute(data->db, range); }

private slots:
    void init()
    {
        data = std::make_unique<OpenDatabase>();
    }
    void cleanup()
    {
        data.reset();
    }

    // Three days of a shop (one of them without sales, one outside the
    // range), two cashiers, thirty products, amounts with up to three
    // decimals, and one receipt of 0.1 + 0.2.
    void figuresAgreeWithSumsOfTheInsertedLines()
    {
        QRandomGenerator random(15);
        const QStringList dates{QStringLiteral("2026-03-01"), QStringLiteral("2026-03-02"), QStringLiteral("2026-03-04")};
        const QStringList cashiers{QStringLiteral("小王"), QStringLiteral("老李")};
        Sums all;
        QMap<QString, Sums> byCashier, byHour, byDay;
        QMap<QString, Sums> byProduct;   // by code
        int receiptCount = 0;
        data->file.exec(QStringLiteral("begin"));
        for (const QString &date : dates) {
            for (int sale = 0; sale < 40; ++sale) {
                const int hour = 8 + sale % 12;
                const QString time = QStringLiteral("%1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(sale, 2, 10, QLatin1Char('0'));
                const QString receipt = QStringLiteral("2603%1").arg(++receiptCount, 8, 10, QLatin1Char('0'));
                const QString cashier = cashiers[sale % 2];
                for (int line = 0, n = 1 + int(random.bounded(5)); line < n; ++line) {
                    const int product = int(random.bounded(30));
                    const qint64 quantity = 500 * (1 + random.bounded(6));   // 0.5 … 3
                    const qint64 amount = 1 + random.bounded(99999);        // 0.001 … 99.999
                    const QString code = QStringLiteral("69%1").arg(product, 3, 10, QLatin1Char('0'));
                    record(data->file, receipt, cashier, date, time, code, QStringLiteral("商品%1").arg(product), quantity, amount);
                    all.add(receipt, quantity, amount);
                    byCashier[cashier].add(receipt, quantity, amount);
                    byHour[time.left(2)].add(receipt, quantity, amount);
                    byDay[date].add(receipt, quantity, amount);
                    byProduct[code].add(receipt, quantity, amount);
                }
            }
        }
        for (qint64 amount : {100, 200}) {   // 0.1 and 0.2
            record(data->file, QStringLiteral("260304235900"), QStringLiteral("小张"), QStringLiteral("2026-03-04"),
                   QStringLiteral("23:59"), QStringLiteral("7001"), QStringLiteral("散装糖"), 1000, amount);
            all.add(QStringLiteral("260304235900"), 1000, amount);
            byCashier[QStringLiteral("小张")].add(QStringLiteral("260304235900"), 1000, amount);
            byHour[QStringLiteral("23")].add(QStringLiteral("260304235900"), 1000, amount);
            byDay[QStringLiteral("2026-03-04")].add(QStringLiteral("260304235900"), 1000, amount);
            byProduct[QStringLiteral("7001")].add(QStringLiteral("260304235900"), 1000, amount);
        }
        record(data->file, QStringLiteral("260305090000"), QStringLiteral("小王"), QStringLiteral("2026-03-05"),
               QStringLiteral("09:00"), QStringLiteral("6900"), QStringLiteral("商品0"), 1000, 5000);
        data->file.exec(QStringLiteral("commit"));

        const ReportFigures f = report(days("2026-03-01", "2026-03-04"));
        QCOMPARE(f.receipts, qint64(all.receipts.size()));
        QCOMPARE(f.lines, all.lines);
        QCOMPARE(f.items, decimal(all.items));
        QCOMPARE(f.takings, decimal(all.takings));
        QCOMPARE(f.firstSale, QStringLiteral("2026-03-01 08:00"));
        QCOMPARE(f.lastSale, QStringLiteral("2026-03-04 23:59"));

        QCOMPARE(f.byCashier.size(), 3);
        checkGroup(f.byCashier[0], QStringLiteral("小张"), byCashier[QStringLiteral("小张")]);
        QCOMPARE(f.byCashier[0].takings, QStringLiteral("0.3"));
        checkGroup(f.byCashier[1], QStringLiteral("小王"), byCashier[QStringLiteral("小王")]);
        checkGroup(f.byCashier[2], QStringLiteral("老李"), byCashier[QStringLiteral("老李")]);

        QCOMPARE(f.byHour.size(), byHour.size());
        int i = 0;
        for (auto it = byHour.cbegin(); it != byHour.cend(); ++it)
            checkGroup(f.byHour[i++], it.key(), it.value());

        // The day without sales between two with sales is shown as such.
        QCOMPARE(f.byDay.size(), 4);
        checkGroup(f.byDay[0], QStringLiteral("2026-03-01"), byDay[QStringLiteral("2026-03-01")]);
        checkGroup(f.byDay[1], QStringLiteral("2026-03-02"), byDay[QStringLiteral("2026-03-02")]);
        checkGroup(f.byDay[2], QStringLiteral("2026-03-03"), Sums{});
        checkGroup(f.byDay[3], QStringLiteral("2026-03-04"), byDay[QStringLiteral("2026-03-04")]);

        // Best sellers: the 20 highest sums of the 31 products, best first.
        QList<QPair<qint64, QString>> ranking;
        for (auto it = byProduct.cbegin(); it != byProduct.cend(); ++it)
            ranking << qMakePair(it.value().takings, it.key());
        std::sort(ranking.begin(), ranking.end(), std::greater<>());
        for (int r = 0; r < 20; ++r)
            QVERIFY(ranking[r].first != ranking[r + 1].first);   // no ties that would make the order a choice
        QCOMPARE(f.topByTakings.size(), 20);
        for (int r = 0; r < 20; ++r) {
            QCOMPARE(f.topByTakings[r].code, ranking[r].second);
            QCOMPARE(f.topByTakings[r].takings, decimal(ranking[r].first));
            QCOMPARE(f.topByTakings[r].quantity, decimal(byProduct[ranking[r].second].items));
        }
        QCOMPARE(f.topByQuantity.size(), 20);
        for (int r = 1; r < 20; ++r)
            QVERIFY(f.topByQuantity[r - 1].quantity.toDouble() >= f.topByQuantity[r].quantity.toDouble());
    }

    // A naive double sum of these is 2598000.00004306.
    void aMillionLinesOf2598AddUpExactly()
    {
        data->file.exec(withNames(
            "insert into {SalesRecord} ({code}, {name}, {quantity}, {price}, {amount}, {receiptNumber}, {cashier}, {date}, {time}) "
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 1000000) "
            "select '6901', '面包', 1, 2.598, 2.598, printf('%012d', i / 5), '小王', '2026-03-02', '10:00' from n"));
        const ReportFigures f = report(days("2026-03-02", "2026-03-02"));
        QCOMPARE(f.lines, 1000000);
        QCOMPARE(f.receipts, 200001);
        QCOMPARE(f.items, QStringLiteral("1000000"));
        QCOMPARE(f.takings, QStringLiteral("2598000"));
        QCOMPARE(f.byHour.value(0).takings, QStringLiteral("2598000"));
        QCOMPARE(f.topByTakings.value(0).takings, QStringLiteral("2598000"));
        QCOMPARE(f.averageReceipt, QStringLiteral("12.99"));   // 2598000 / 200001 = 12.98993…
    }

    // A day is the sale date as recorded: a sale rung up at 00:10 on a screen
    // still showing the old date belongs to the old day, and so does a sale
    // typed in days later with its date.
    void rangesEndAtMidnightAsRecorded()
    {
        record(data->file, QStringLiteral("1"), QStringLiteral("小王"), QStringLiteral("2026-03-01"), QStringLiteral("23:59"),
               QStringLiteral("a"), QStringLiteral("a"), 1000, 1000);
        record(data->file, QStringLiteral("2"), QStringLiteral("小王"), QStringLiteral("2026-03-01"), QStringLiteral("00:10"),
               QStringLiteral("a"), QStringLiteral("a"), 1000, 2000);
        record(data->file, QStringLiteral("3"), QStringLiteral("小王"), QStringLiteral("2026-03-02"), QStringLiteral("00:00"),
               QStringLiteral("a"), QStringLiteral("a"), 1000, 4000);
        record(data->file, QStringLiteral("4"), QStringLiteral("小王"), QStringLiteral("2026-03-02"), QStringLiteral("23:59"),
               QStringLiteral("a"), QStringLiteral("a"), 1000, 8000);
        record(data->file, QStringLiteral("5"), QStringLiteral("小王"), QStringLiteral("2026-03-03"), QStringLiteral("00:00"),
               QStringLiteral("a"), QStringLiteral("a"), 1000, 16000);
        // A forgotten sale of the 1st, typed in later with that date.
        record(data->file, QStringLiteral("6"), QStringLiteral("小王"), QStringLiteral("2026-03-01"), QStringLiteral("18:00"),
               QStringLiteral("a"), QStringLiteral("a"), 1000, 32000);

        ReportFigures f = report(days("2026-03-02", "2026-03-02"));
        QCOMPARE(f.takings, QStringLiteral("12"));
        QCOMPARE(f.firstSale, QStringLiteral("2026-03-02 00:00"));
        QCOMPARE(f.lastSale, QStringLiteral("2026-03-02 23:59"));
        f = report(days("2026-03-01", "2026-03-01"));
        QCOMPARE(f.takings, QStringLiteral("35"));
        QCOMPARE(f.lines, 3);
        QCOMPARE(f.firstSale, QStringLiteral("2026-03-01 23:59"));
        QCOMPARE(f.lastSale, QStringLiteral("2026-03-01 18:00"));
        f = report(days("2026-03-01", "2026-03-02"));
        QCOMPARE(f.byDay.size(), 2);
        QCOMPARE(f.byDay[0].key, QStringLiteral("2026-03-01"));
        QCOMPARE(f.byDay[0].takings, QStringLiteral("35"));
        QCOMPARE(f.byDay[1].takings, QStringLiteral("12"));
        QCOMPARE(report(days("2026-03-02", "2026-03-03")).takings, QStringLiteral("28"));
        QCOMPARE(report(days("2026-02-28", "2026-02-28")).lines, 0);
    }

    void oneCashierOnly()
    {
        record(data->file, QStringLiteral("1"), QStringLiteral("小王"), QStringLiteral("2026-03-02"), QStringLiteral("09:00"),
               QStringLiteral("a"), QStringLiteral("a"), 2000, 1500);
        record(data->file, QStringLiteral("1"), QStringLiteral("小王"), QStringLiteral("2026-03-02"), QStringLiteral("09:00"),
               QStringLiteral("b"), QStringLiteral("b"), 1000, 250);
        record(data->file, QStringLiteral("2"), QStringLiteral("老李"), QStringLiteral("2026-03-02"), QStringLiteral("10:00"),
               QStringLiteral("a"), QStringLiteral("a"), 1000, 99000);
        record(data->file, QStringLiteral("3"), QStringLiteral("小王二"), QStringLiteral("2026-03-02"), QStringLiteral("11:00"),
               QStringLiteral("a"), QStringLiteral("a"), 1000, 7000);

        const ReportFigures f = report(days("2026-03-02", "2026-03-02", QStringLiteral("小王")));
        QCOMPARE(f.receipts, 1);
        QCOMPARE(f.lines, 2);
        QCOMPARE(f.items, QStringLiteral("3"));
        QCOMPARE(f.takings, QStringLiteral("1.75"));
        QCOMPARE(f.averageReceipt, QStringLiteral("1.75"));
        QCOMPARE(f.byCashier.size(), 1);
        QCOMPARE(f.byCashier[0].key, QStringLiteral("小王"));
        QCOMPARE(f.topByTakings.size(), 2);
        QCOMPARE(f.topByTakings[0].code, QStringLiteral("a"));
    }

    void anEmptyDayIsAllZero()
    {
        record(data->file, QStringLiteral("1"), QStringLiteral("小王"), QStringLiteral("2026-03-01"), QStringLiteral("09:00"),
               QStringLiteral("a"), QStringLiteral("a"), 1000, 1000);
        const ReportFigures f = report(days("2026-03-02", "2026-03-02"));
        QCOMPARE(f.receipts, 0);
        QCOMPARE(f.lines, 0);
        QCOMPARE(f.items, QStringLiteral("0"));
        QCOMPARE(f.takings, QStringLiteral("0"));
        QCOMPARE(f.averageReceipt, QStringLiteral("0"));
        QCOMPARE(f.firstSale, QString());
        QCOMPARE(f.lastSale, QString());
        QVERIFY(f.byCashier.isEmpty() && f.byHour.isEmpty() && f.byDay.isEmpty());
        QVERIFY(f.topByTakings.isEmpty() && f.topByQuantity.isEmpty());
    }

    // Rounded from the exact decimal: 2.675 is 2.67499999… as a double.
    void averageReceiptRoundsTheExactDecimal_data()
    {
        QTest::addColumn<QString>("takings");
        QTest::addColumn<qint64>("receipts");
        QTest::addColumn<QString>("average");
        QTest::newRow("thirds") << QStringLiteral("10") << qint64(3) << QStringLiteral("3.33");
        QTest::newRow("half a cent up") << QStringLiteral("2.675") << qint64(1) << QStringLiteral("2.68");
        QTest::newRow("half a cent of a sum") << QStringLiteral("0.01") << qint64(2) << QStringLiteral("0.01");
        QTest::newRow("refunds") << QStringLiteral("-10") << qint64(3) << QStringLiteral("-3.33");
        QTest::newRow("large") << QStringLiteral("2274822.598") << qint64(7) << QStringLiteral("324974.66");
    }
    void averageReceiptRoundsTheExactDecimal()
    {
        QFETCH(QString, takings);
        QFETCH(qint64, receipts);
        QFETCH(QString, average);
        QCOMPARE(SalesReport::averagePerReceipt(takings, receipts), average);
    }
};

QTEST_GUILESS_MAIN(TestSalesReport)
#include "tst_salesreport.moc"
