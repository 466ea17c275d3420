#include "papertray.h"
#include "testdatabase.h"

#include "base/apperror.h"
#include "reports/dayend.h"
#include "reports/reportrange.h"
#include "storage/database.h"
#include "storage/tillsettings.h"
#include "till/discountrules.h"
#include "till/money.h"
#include "till/saleerrors.h"
#include "till/till.h"

#include <QTest>

#include <memory>

namespace {

const QString kSold = QStringLiteral("261206143005");
const QString kDate = QStringLiteral("2026-12-06");

Payment paid(int method, const QString &name, const QString &amount, const QString &change = QStringLiteral("0"))
{
    return {method, name, amount, change};
}

} // namespace

Q_DECLARE_METATYPE(Payment)

// Goods brought back against their receipt, or without one on the owner's
// PIN: what is stored, what is refused, what the Z report counts.
class TestReturns : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> file;
    std::unique_ptr<Database> db;
    std::unique_ptr<Till> till;
    PaperTray tray;

    // 可乐 1 × 9.6 and 面 2 × 7.05: 23.7, sold under kSold.
    void sell(const QList<Payment> &payments, const QString &received = {}, const QString &change = {})
    {
        till->addLine(QStringLiteral("可乐"), QStringLiteral("1"), QStringLiteral("9.6"));
        till->addLine(QStringLiteral("面"), QStringLiteral("2"), QStringLiteral("7.05"));
        QVERIFY(till->complete({kSold, kDate, QStringLiteral("小王"), received, change, payments}, tray, 1));
    }

    SaleReturn returning(Till &at, const QMap<QString, double> &quantities, bool inCash = false)
    {
        SaleReturn request;
        request.soldReceipt = kSold;
        for (const SoldLine &line : at.soldLines(kSold))
            if (quantities.contains(line.name))
                request.lines << ReturnLine{line.key, line.code, line.name, quantities.value(line.name), line.price};
        request.refundInCash = inCash;
        request.receiptNumber = at.nextReceiptNumber();
        request.saleDate = kDate;
        request.cashier = QStringLiteral("小李");
        return request;
    }

    // "method amount" of each payment row of the receipt, in order.
    QStringList paymentRows(const QString &receipt)
    {
        QStringList out;
        for (const QVariantList &row : file->rows(QStringLiteral("select method, amount from payments where "
                                                                 "receipt_number = ? order by id"),
                                                  {receipt}))
            out << row[0].toString() + QLatin1Char(' ') + row[1].toString();
        return out;
    }

private slots:
    void init()
    {
        file = std::make_unique<TestDatabase>();
        file->setSettings(QStringLiteral("小王"), QStringLiteral("好邻居"), QString());
        db = std::make_unique<Database>();
        db->open(file->path());
        till = std::make_unique<Till>(*db);
        till->reopenSale();
        tray.jobs.clear();
    }
    void cleanup()
    {
        till.reset();
        db.reset();
        file.reset();
    }

    // A part of the sale comes back: negative lines under a receipt number
    // of its own that name the sold lines, and the money back as negative
    // payments, each method up to what it took.
    void refundsGoBackTheWayTheMoneyCame_data()
    {
        QTest::addColumn<QList<Payment>>("payments");
        QTest::addColumn<QStringList>("paidAtTheBox");   // received, change: cash at the change box
        QTest::addColumn<double>("before");   // 面 returned earlier
        QTest::addColumn<double>("noodles");
        QTest::addColumn<bool>("inCash");
        QTest::addColumn<QStringList>("refunds");
        QTest::newRow("by phone") << QList<Payment>{paid(2, "微信", "23.7")} << QStringList() << 0.0 << 1.0 << false
                                  << QStringList{"2 -7.05"};
        QTest::newRow("phone first, the rest in cash")
            << QList<Payment>{paid(2, "微信", "5"), paid(1, "现金", "20", "1.3")} << QStringList() << 0.0 << 2.0
            << false << QStringList{"2 -5", "1 -9.1"};
        QTest::newRow("the phone's part went back before")
            << QList<Payment>{paid(2, "微信", "5"), paid(1, "现金", "20", "1.3")} << QStringList() << 1.0 << 1.0
            << false << QStringList{"1 -7.05"};
        QTest::newRow("cash asked for") << QList<Payment>{paid(2, "微信", "23.7")} << QStringList() << 0.0 << 1.0
                                        << true << QStringList{"1 -7.05"};
        QTest::newRow("paid at the change box") << QList<Payment>() << QStringList{"30", "6.3"} << 0.0 << 0.5
                                                << false << QStringList{"1 -3.53"};
    }
    void refundsGoBackTheWayTheMoneyCame()
    {
        QFETCH(QList<Payment>, payments);
        QFETCH(QStringList, paidAtTheBox);
        QFETCH(double, before);
        QFETCH(double, noodles);
        QFETCH(bool, inCash);
        QFETCH(QStringList, refunds);
        sell(payments, paidAtTheBox.value(0), paidAtTheBox.value(1));
        if (before > 0)
            till->completeReturn(returning(*till, {{QStringLiteral("面"), before}}), tray);
        const QString number = till->completeReturn(returning(*till, {{QStringLiteral("面"), noodles}}, inCash), tray);

        QVERIFY(number != kSold);
        QCOMPARE(paymentRows(number), refunds);
        const QList<QVariantList> lines = file->rows(
            QStringLiteral("select r.数量, r.金额, r.收银员, t.sold_receipt, t.without_receipt from XiaoShouRecord r "
                           "join returned_lines t on t.record_line = r.id where r.单号 = ?"),
            {number});
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0][0].toDouble(), -noodles);
        QCOMPARE(lines[0][2].toString(), QStringLiteral("小李"));
        QCOMPARE(lines[0][3].toString(), kSold);
        QCOMPARE(lines[0][4].toInt(), 0);
        // The 退货单 names itself and the sold receipt.
        const QStringList paper = tray.jobs.last();
        QCOMPARE(paper.value(1), QStringLiteral("退货单"));
        QVERIFY(paper.contains(QStringLiteral("原单号:") + kSold));
        QCOMPARE(file->rows(QStringLiteral("select kind, amount from audit_log where receipt_number = ?"), {number}),
                 (QList<QVariantList>{{"return", Money::text(qRound64(noodles * 705))}}));
    }

    // Across several returns and tills no line gives back more than was
    // sold: the rest goes back at a second till, then nothing more.
    void neverMoreThanWasSold()
    {
        sell({paid(1, "现金", "23.7")});
        till->completeReturn(returning(*till, {{QStringLiteral("面"), 1}}), tray);

        Database other;
        other.open(file->path());
        other.setTill(2);
        Till second(other);
        second.reopenSale();
        const QList<SoldLine> seen = second.soldLines(kSold);
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[1].returned, 1.0);
        try {
            second.completeReturn(returning(second, {{QStringLiteral("面"), 1.5}}), tray);
            QFAIL("returned more than was left");
        } catch (const Refusal &e) {
            QCOMPARE(e.message(), QStringLiteral("“面”最多还能退 1（卖出 2，已退 1），没有退货。"));
        }
        const QString rest = second.completeReturn(returning(second, {{QStringLiteral("面"), 1}}), tray);
        QCOMPARE(file->scalar(QStringLiteral("select till from XiaoShouRecord where 单号 = ?"), {rest}).toInt(), 2);
        const int records = file->count(QStringLiteral("XiaoShouRecord"));
        QVERIFY_THROWS_EXCEPTION(Refusal, till->completeReturn(returning(*till, {{QStringLiteral("面"), 1}}), tray));
        QCOMPARE(file->count(QStringLiteral("XiaoShouRecord")), records);
        QCOMPARE(file->count(QStringLiteral("payments")), 3);
    }

    // Without a receipt only the owner's PIN lets goods back, and the
    // return is marked so on its lines and in the trail.
    void withoutAReceiptTheOwnersPinDecides()
    {
        SaleReturn request;
        request.lines << ReturnLine{0, QStringLiteral("-"), QStringLiteral("伞"), 1, 25};
        request.receiptNumber = till->nextReceiptNumber();
        request.saleDate = kDate;
        request.cashier = QStringLiteral("小李");
        auto refusal = [&](const QString &pin) {
            request.ownerPin = pin;
            try {
                till->completeReturn(request, tray);
            } catch (const OwnerPinNeeded &e) {
                return e.message();
            }
            return QString();
        };
        QCOMPARE(refusal(QStringLiteral("1234")), QStringLiteral("无小票退货需要店主密码，请先在店铺设置里设置店主密码。"));
        DiscountRules rules;
        rules.setPin(QStringLiteral("8888"));
        TillSettings(*db, 0).store(rules.values());
        QCOMPARE(refusal({}), QStringLiteral("无小票退货需要店主密码。"));
        QCOMPARE(refusal(QStringLiteral("1234")), QStringLiteral("店主密码不对，没有退货。"));
        QCOMPARE(file->count(QStringLiteral("XiaoShouRecord")), 0);
        QCOMPARE(refusal(QStringLiteral("8888")), QString());

        QCOMPARE(file->scalar(QStringLiteral("select without_receipt from returned_lines")).toInt(), 1);
        QCOMPARE(file->scalar(QStringLiteral("select 金额 from XiaoShouRecord")).toDouble(), -25.0);
        QCOMPARE(paymentRows(till->lastReceiptNumber()), QStringList{"1 -25"});
        const QList<QVariantList> trail = file->rows(QStringLiteral("select kind, cashier, amount from audit_log"));
        QCOMPARE(trail.size(), 1);
        QCOMPARE(trail[0], (QVariantList{"return_without_receipt", "小李", "25"}));
    }

    // The Z after a sale and a return, worked out by hand: 23.7 in cash
    // (30 received, 6.3 back), 7.05 handed back in cash: 16.65 taken, and
    // 16.65 in the drawer.
    void theZCountsTheRefund()
    {
        sell({}, QStringLiteral("30"), QStringLiteral("6.3"));
        till->completeReturn(returning(*till, {{QStringLiteral("面"), 1}}), tray);
        DayEnd dayEnd(*db);
        const QDate day = QDate::fromString(kDate, Qt::ISODate);
        const DayClosings::Closing z = dayEnd.closeDay(ReportRange::preset(ReportRange::Preset::Today, day),
                                                       QStringLiteral("16.65"), tray, QDateTime(day, QTime(22, 0)));
        QCOMPARE(z.takings, QStringLiteral("16.65"));
        QCOMPARE(z.difference, QStringLiteral("0"));
        const QStringList printed = tray.jobs.last();
        QVERIFY2(printed.contains(QStringLiteral("应有现金:16.65")), qPrintable(printed.join('\n')));
        QVERIFY2(printed.contains(QStringLiteral("退款现金:-7.05")), qPrintable(printed.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestReturns)
#include "tst_returns.moc"
