#include "opendatabase.h"
#include "papertray.h"
#include "testdatabase.h"
#include "withnames.h"

#include "receipt/printererror.h"
#include "reports/dayend.h"
#include "reports/salesreport.h"
#include "storage/database.h"
#include "storage/paymentmethods.h"
#include "storage/tables.h"
#include "storage/tillsettings.h"
#include "till/salepayments.h"
#include "till/till.h"

#include <QTest>

namespace {

namespace Summary = Tables::DaySummary;
namespace ProductSummary = Tables::ProductDaySummary;
namespace PaymentSummary = Tables::PaymentDaySummary;
namespace ProductMonth = Tables::ProductMonthSummary;

ReportRange dates(const char *from, const char *to, int till = 0)
{
    ReportRange range;
    range.from = QDate::fromString(QLatin1String(from), Qt::ISODate);
    range.to = QDate::fromString(QLatin1String(to), Qt::ISODate);
    range.till = till;
    return range;
}

// How the takings were paid, and what was given off them.
QString paidText(const ReportFigures &f)
{
    QStringList methods;
    for (const ReportFigures::Takings &t : f.byMethod)
        methods << t.method + QLatin1Char(' ') + t.amount;
    return QStringLiteral("%1; change %2; discounts %3; 抹零 %4")
        .arg(methods.join(QStringLiteral(", ")), f.changeGiven, f.discounts, f.roundOffs);
}

// Every figure a report shows, one per line, to compare two reports whole.
QStringList shown(const ReportFigures &f)
{
    QStringList out{QStringLiteral("receipts %1 lines %2 items %3 takings %4 average %5")
                        .arg(f.receipts)
                        .arg(f.lines)
                        .arg(f.items, f.takings, f.averageReceipt),
                    QStringLiteral("first %1 last %2 line %3").arg(f.firstSale, f.lastSale).arg(f.lastLine)};
    auto groups = [&out](const char *kind, const QList<ReportFigures::Group> &list) {
        for (const ReportFigures::Group &g : list)
            out << QStringLiteral("%1 %2: %3 receipts, %4 lines, %5 items, %6")
                       .arg(QLatin1String(kind), g.key)
                       .arg(g.receipts)
                       .arg(g.lines)
                       .arg(g.items, g.takings);
    };
    groups("cashier", f.byCashier);
    groups("hour", f.byHour);
    groups("day", f.byDay);
    for (const ReportFigures::Product &p : f.topByTakings + f.topByQuantity)
        out << QStringLiteral("top %1 %2: %3 lines, %4, %5").arg(p.code, p.name).arg(p.lines).arg(p.quantity, p.takings);
    out << paidText(f);
    return out + f.warnings;
}

const PaymentMethod kCash{1, QStringLiteral("现金"), true};
const PaymentMethod kWeChat{2, QStringLiteral("微信"), false};
const PaymentMethod kAlipay{3, QStringLiteral("支付宝"), false};

// Two days at the till: on the 5th a split payment with change, a discount
// and 抹零 paid by Alipay, cash at the change box, a sale whose receipt did
// not come out (its recording taken back); on the 6th all by WeChat; then
// one more under the 5th after midnight, the screen still showing it.
void sellTwoDays(OpenDatabase &data)
{
    data.file.setSettings(QStringLiteral("小王"), QStringLiteral("好邻居便利店"), QString());
    TillSettings(data.db, 0).store({{QStringLiteral("round_off"), QStringLiteral("jiao")}});
    Till till(data.db);
    till.reopenSale();
    PaperTray tray;
    const QString cola = QStringLiteral("可口可乐");
    const QString noodles = QStringLiteral("康师傅红烧牛肉面");
    auto complete = [&](const char *receipt, const char *date, const char *cashier, QList<Payment> payments,
                        const QString &received = {}, const QString &change = {}) {
        return till.complete({QLatin1String(receipt), QLatin1String(date), QString::fromUtf8(cashier), received,
                              change, payments},
                             tray, 1);
    };
    auto paid = [&](QList<QPair<PaymentMethod, const char *>> given) {
        SalePayments payments(till.totalAmount());
        for (const auto &[method, amount] : given)
            payments.add(method, QLatin1String(amount));
        return payments.payments();
    };

    till.addLine(cola, QStringLiteral("1"), QStringLiteral("9.6"));
    till.addLine(noodles, QStringLiteral("2"), QStringLiteral("7.05"));
    QVERIFY(complete("261205090000", "2026-12-05", "小王", paid({{kWeChat, "20"}, {kCash, "10"}})));

    till.addLine(cola, QStringLiteral("1"), QStringLiteral("9.6"));
    till.discountLine(0, Till::DiscountKind::Percent, QStringLiteral("10"));
    till.roundOff();
    QCOMPARE(till.totalAmount(), QStringLiteral("8.6"));
    QVERIFY(complete("261205100000", "2026-12-05", "老李", paid({{kAlipay, "8.6"}})));

    till.addLine(noodles, QStringLiteral("1"), QStringLiteral("7.05"));
    QVERIFY(complete("261205110000", "2026-12-05", "小王", {}, QStringLiteral("10"), QStringLiteral("2.95")));

    till.addLine(cola, QStringLiteral("1"), QStringLiteral("9.6"));
    tray.refusal = QStringLiteral("缺纸");
    QVERIFY_THROWS_EXCEPTION(PrinterError, complete("261205120000", "2026-12-05", "小王", paid({{kWeChat, "9.6"}})));
    tray.refusal.clear();
    till.discardSale();

    till.addLine(cola, QStringLiteral("2"), QStringLiteral("9.6"));
    QVERIFY(complete("261206090000", "2026-12-06", "老李", paid({{kWeChat, "19.2"}})));

    till.addLine(noodles, QStringLiteral("1"), QStringLiteral("7.05"));
    QVERIFY(complete("261206001500", "2026-12-05", "小王", paid({{kCash, "10"}})));
}

// The report's figures and its X report on paper.
QStringList reportAndX(Database &db, const ReportRange &range)
{
    PaperTray tray;
    const ReportFigures figures =
        DayEnd(db).printXReport(range, tray, QDateTime(QDate(2026, 12, 6), QTime(22, 0)));
    return shown(figures) + tray.jobs.value(0);
}

} // namespace

Q_DECLARE_METATYPE(ReportRange)

class TestSalesSummary : public QObject
{
    Q_OBJECT

private slots:
    // Two sales completed at the till, a third whose receipt did not come
    // out: the summary holds the two, summed exactly, and the day's report
    // shows them as they were sold.
    void completedSalesAreSummedWithTheRecord()
    {
        OpenDatabase data;
        data.file.addProduct(QStringLiteral("100"), QStringLiteral("一毛"), 0.1);
        data.file.addProduct(QStringLiteral("200"), QStringLiteral("两毛"), 0.2);
        data.file.addProduct(QStringLiteral("6902"), QStringLiteral("可口可乐"), 9.6);
        data.file.setSettings(QStringLiteral("小王"), QStringLiteral("好邻居便利店"), QString());
        Till till(data.db);
        till.reopenSale();
        PaperTray tray;
        auto sell = [&](const QString &receipt, const QString &cashier, const QList<QPair<QString, QString>> &lines) {
            for (const auto &[code, quantity] : lines) {
                const std::optional<Product> found = till.lookUp(code);
                QVERIFY(found);
                till.addLine(found->name, quantity, found->price);
            }
            till.complete({receipt, QStringLiteral("2026-12-06"), cashier, QString(), QString(), {}}, tray, 1);
        };
        sell(QStringLiteral("261206143005"), QStringLiteral("小王"),
             {{QStringLiteral("100"), QStringLiteral("1")}, {QStringLiteral("200"), QStringLiteral("1")},
              {QStringLiteral("6902"), QStringLiteral("2")}});
        sell(QStringLiteral("261206143010"), QStringLiteral("老李"), {{QStringLiteral("100"), QStringLiteral("3")}});
        const QString groups = QStringLiteral("select %2, %3, %4, %5, %6, %7, %8 from %1 order by %2")
                                   .arg(Summary::table, Summary::cashier, Summary::receipts, Summary::lines,
                                        Summary::items, Summary::takings, Summary::doubtful, Summary::hour);
        const QList<QVariantList> twoSales = data.file.rows(groups);
        QCOMPARE(twoSales.size(), 2);
        QCOMPARE(twoSales[0].mid(0, 6), (QVariantList{QStringLiteral("小王"), 1, 3, QStringLiteral("4"),
                                                       QStringLiteral("19.5"), 0}));
        QCOMPARE(twoSales[1].mid(0, 6), (QVariantList{QStringLiteral("老李"), 1, 1, QStringLiteral("3"),
                                                       QStringLiteral("0.3"), 0}));
        // The hour the receipt was printed in.
        const QString time = data.file.scalar(withNames("select {time} from {SalesRecord} where {receiptNumber} = ?"),
                                              {QStringLiteral("261206143010")}).toString();
        QCOMPARE(twoSales[1][6].toInt(), time.left(2).toInt());
        QCOMPARE(data.file.rows(QStringLiteral("select %2, %3, %4, %5 from %1 where %6 = '100'")
                                    .arg(ProductSummary::table, ProductSummary::name, ProductSummary::lines,
                                         ProductSummary::quantity, ProductSummary::takings, ProductSummary::code)),
                 (QList<QVariantList>{{QStringLiteral("一毛"), 2, QStringLiteral("4"), QStringLiteral("0.4")}}));

        tray.refusal = QStringLiteral("缺纸");
        QVERIFY_THROWS_EXCEPTION(PrinterError, sell(QStringLiteral("261206143020"), QStringLiteral("小王"),
                                                    {{QStringLiteral("6902"), QStringLiteral("1")}}));
        QCOMPARE(data.file.rows(groups), twoSales);

        const ReportFigures day = SalesReport::compute(data.db, dates("2026-12-06", "2026-12-06"));
        QCOMPARE(day.receipts, qint64(2));
        QCOMPARE(day.lines, qint64(4));
        QCOMPARE(day.items, QStringLiteral("7"));
        QCOMPARE(day.takings, QStringLiteral("19.8"));
        QCOMPARE(day.topByTakings.first().name, QStringLiteral("可口可乐"));
        QCOMPARE(day.topByQuantity.first().quantity, QStringLiteral("4"));
    }

    // Days paid by several methods, with discounts, 抹零, a sale under the
    // day before after midnight and a recording taken back: the report read
    // from the summary says, to the last digit, what the lines and payments
    // themselves say.
    void paidDaysReportFromTheSummaryAsFromTheLines_data()
    {
        QTest::addColumn<ReportRange>("range");
        QTest::addColumn<QString>("payments");
        QTest::newRow("the 5th: split, discount, 抹零, taken back")
            << dates("2026-12-05", "2026-12-05")
            << QStringLiteral("现金 17.8, 微信 20, 支付宝 8.6; change 12.2; discounts -0.96; 抹零 -0.04");
        QTest::newRow("the 6th: all by WeChat")
            << dates("2026-12-06", "2026-12-06") << QStringLiteral("现金 0, 微信 19.2; change 0; discounts 0; 抹零 0");
        QTest::newRow("the month")
            << dates("2026-12-01", "2026-12-31")
            << QStringLiteral("现金 17.8, 微信 39.2, 支付宝 8.6; change 12.2; discounts -0.96; 抹零 -0.04");
        QTest::newRow("one till") << dates("2026-12-05", "2026-12-06", 1)
                                  << QStringLiteral(
                                         "现金 17.8, 微信 39.2, 支付宝 8.6; change 12.2; discounts -0.96; 抹零 -0.04");
    }
    void paidDaysReportFromTheSummaryAsFromTheLines()
    {
        QFETCH(ReportRange, range);
        QFETCH(QString, payments);
        OpenDatabase data;
        sellTwoDays(data);
        if (QTest::currentTestFailed())
            return;
        // The sale taken back left nothing behind.
        QCOMPARE(data.file.rows(QStringLiteral("select %2, %3, %4, %5 from %1 order by %2, %3")
                                    .arg(PaymentSummary::table, PaymentSummary::date, PaymentSummary::method,
                                         PaymentSummary::amount, PaymentSummary::changeGiven)),
                 (QList<QVariantList>{{"2026-12-05", 1, "30", "12.2"},
                                      {"2026-12-05", 2, "20", "0"},
                                      {"2026-12-05", 3, "8.6", "0"},
                                      {"2026-12-06", 2, "19.2", "0"}}));

        const QStringList fromSummary = reportAndX(data.db, range);
        QVERIFY(fromSummary.contains(payments));
        // The summary is what was read: a changed figure in it shows.
        data.file.exec(QStringLiteral("update %1 set %2 = '21' where %3 = 2")
                           .arg(PaymentSummary::table, PaymentSummary::amount, PaymentSummary::method));
        QVERIFY(!shown(SalesReport::compute(data.db, range)).contains(payments));

        for (const QString &table : {Summary::table, ProductSummary::table, PaymentSummary::table})
            data.file.exec(QStringLiteral("delete from %1").arg(table));
        QCOMPARE(reportAndX(data.db, range), fromSummary);
    }

    // A record an older version left (a day whose last sale was rung up
    // after midnight under its date, closed by a Z report, and the next day
    // at two tills) is summed by the upgrade; every report of its days then
    // reads the summary and shows what the lines themselves give.
    void anUpgradedRecordReportsAsItsLines_data()
    {
        QTest::addColumn<ReportRange>("range");
        QTest::addColumn<QString>("totals");
        QTest::newRow("day crossing midnight, closed by a Z")
            << dates("2026-12-05", "2026-12-05") << QStringLiteral("receipts 3 lines 4 items 7 takings 28.5 average 9.5");
        QTest::newRow("the next day") << dates("2026-12-06", "2026-12-06")
                                      << QStringLiteral("receipts 2 lines 3 items 4 takings 19.5 average 9.75");
        QTest::newRow("both days") << dates("2026-12-01", "2026-12-31")
                                   << QStringLiteral("receipts 5 lines 7 items 11 takings 48 average 9.6");
        QTest::newRow("one till") << dates("2026-12-05", "2026-12-06", 2)
                                  << QStringLiteral("receipts 1 lines 1 items 2 takings 19.2 average 19.2");
    }
    void anUpgradedRecordReportsAsItsLines()
    {
        if (TestDatabase::onServer())
            QSKIP("an upgrade is the file's step");
        QFETCH(ReportRange, range);
        QFETCH(QString, totals);
        OpenDatabase data;
        data.file.setSettings(QStringLiteral("小王"), QStringLiteral("好邻居便利店"), QString());
        auto line = [&](const char *receipt, const char *cashier, const char *date, const char *time,
                        const char *name, double quantity, double amount, int till = 1) {
            data.file.exec(withNames("insert into {SalesRecord} ({code}, {name}, {quantity}, {price}, {amount}, "
                                     "{receiptNumber}, {cashier}, {date}, {time}, {till}) "
                                     "values ('69', ?, ?, 0, ?, ?, ?, ?, ?, ?)"),
                           {QString::fromUtf8(name), quantity, amount, QLatin1String(receipt),
                            QString::fromUtf8(cashier), QLatin1String(date), QLatin1String(time), till});
        };
        line("261205090000", "小王", "2026-12-05", "09:00", "可口可乐", 1, 9.6);
        line("261205090000", "小王", "2026-12-05", "09:00", "康师傅红烧牛肉面", 3, 9);
        line("261205235900", "老李", "2026-12-05", "23:59", "可口可乐", 1, 9.6);
        line("261206001500", "老李", "2026-12-05", "00:15", "一毛", 2, 0.1 * 3);
        PaperTray tray;
        const DayClosings::Closing closing = DayEnd(data.db).closeDay(
            dates("2026-12-05", "2026-12-05"), QStringLiteral("28.5"), tray, QDateTime(QDate(2026, 12, 6), QTime(0, 20)));
        line("261206090000", "小王", "2026-12-06", "09:00", "两毛", 1, 0.2);
        line("261206090000", "小王", "2026-12-06", "09:00", "一毛", 1, 0.1);
        line("261206100500", "小王", "2026-12-06", "10:05", "可口可乐", 2, 19.2, 2);

        // Nothing summed yet: the lines give the figures.
        const QStringList fromLines = shown(SalesReport::compute(data.db, range));
        QCOMPARE(fromLines.first(), totals);

        data.db.close();
        data.file.exec(QStringLiteral("PRAGMA user_version = 7"));
        data.db.open(data.file.path());
        QCOMPARE(data.file.count(Summary::table), 5);
        QCOMPARE(shown(SalesReport::compute(data.db, range)), fromLines);
        if (range.from == range.to && range.from == QDate(2026, 12, 5)) {
            QCOMPARE(closing.takings, QStringLiteral("28.5"));
            QCOMPARE(fromLines[1], QStringLiteral("first 2026-12-05 09:00 last 2026-12-05 00:15 line 4"));
        }
    }

    // A record over several months: a report over whole months reads their
    // month rows and the days around them, and says to the last digit what
    // the lines say; the upgrade makes the month rows from the days. Dates
    // that are no real yyyy-MM-dd date (from another tool) are read by day.
    void monthsReportAsTheirLines()
    {
        if (TestDatabase::onServer())
            QSKIP("an upgrade is the file's step");
        OpenDatabase data;
        data.file.setSettings(QStringLiteral("小王"), QStringLiteral("好邻居便利店"), QString());
        int receipt = 0;
        auto line = [&](const QString &date, const char *name, double quantity, double amount, int till = 1) {
            data.file.exec(withNames("insert into {SalesRecord} ({code}, {name}, {quantity}, {price}, {amount}, "
                                     "{receiptNumber}, {cashier}, {date}, {time}, {till}) "
                                     "values (?, ?, ?, 0, ?, ?, '小王', ?, '10:00', ?)"),
                           {QString::fromUtf8(name).left(2), QString::fromUtf8(name), quantity, amount,
                            QString::number(++receipt), date, till});
        };
        for (QDate day(2026, 5, 25); day <= QDate(2027, 1, 10); day = day.addDays(3)) {
            line(ReportRange::dateText(day), "可口可乐", 1, 9.6);
            line(ReportRange::dateText(day), "一毛", 3, 0.1 * 3, day.day() % 2 + 1);
        }
        const QList<ReportRange> ranges = {dates("2026-01-01", "2026-12-31"), dates("2026-06-01", "2026-06-30"),
                                           dates("2026-05-31", "2027-01-09"), dates("2026-11-01", "2026-12-31", 2),
                                           dates("2026-12-01", "2026-12-31"), dates("2026-12-01", "2026-12-30")};
        const auto reports = [&] {
            QList<QStringList> out;
            for (const ReportRange &range : ranges)
                out << shown(SalesReport::compute(data.db, range));
            return out;
        };
        const auto upgradeFrom = [&](int layout) {
            data.db.close();
            data.file.exec(QStringLiteral("PRAGMA user_version = %1").arg(layout));
            data.db.open(data.file.path());
        };
        const QString months = QStringLiteral("select %2, %3, %4, %5, %6, %7, %8 from %1 order by 1, 2, 3, 4")
                                   .arg(ProductMonth::table, ProductMonth::month, ProductMonth::till,
                                        ProductMonth::code, ProductMonth::name, ProductMonth::lines,
                                        ProductMonth::quantity, ProductMonth::takings);
        const auto changeDecember = [&] {
            data.file.exec(QStringLiteral("update %1 set %2 = '99' where %3 = '2026-12' and %4 = '可口'")
                               .arg(ProductMonth::table, ProductMonth::takings, ProductMonth::month, ProductMonth::code));
        };

        const QList<QStringList> fromLines = reports();
        upgradeFrom(7);
        const QList<QVariantList> summed = data.file.rows(months);
        QCOMPARE(summed.first(), (QVariantList{"2026-05", 1, "一毛", "一毛", 1, "3", "0.3"}));
        QCOMPARE(summed.size(), 9 * 3);   // nine months of a row for each product and till
        QCOMPARE(reports(), fromLines);
        // A month row is what a report of whole months read.
        changeDecember();
        QVERIFY(shown(SalesReport::compute(data.db, ranges[4])) != fromLines[4]);
        QCOMPARE(shown(SalesReport::compute(data.db, ranges[5])), fromLines[5]);

        data.file.exec(QStringLiteral("delete from %1").arg(ProductMonth::table));
        upgradeFrom(16);
        QCOMPARE(data.file.rows(months), summed);

        for (const char *other : {"2026-06-31", "2026-12-5", "2026-12-00"})
            line(QLatin1String(other), "两毛", 1, 0.2);
        const QList<QStringList> withOtherDates = reports();
        QVERIFY(withOtherDates != fromLines);
        upgradeFrom(7);
        QCOMPARE(data.file.rows(months).size(), 9 * 3 + 1);
        changeDecember();
        QCOMPARE(reports(), withOtherDates);
    }
};

QTEST_MAIN(TestSalesSummary)
#include "tst_salessummary.moc"
