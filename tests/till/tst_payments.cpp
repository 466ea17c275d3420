#include "papertray.h"
#include "testdatabase.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/paymentmethods.h"
#include "storage/tillsettings.h"
#include "till/discountrules.h"
#include "till/saleerrors.h"
#include "till/salepayments.h"
#include "till/till.h"

#include <QTest>

#include <memory>

namespace {

const PaymentMethod kCash{1, QStringLiteral("现金"), true};
const PaymentMethod kWeChat{2, QStringLiteral("微信"), false};
const PaymentMethod kAlipay{3, QStringLiteral("支付宝"), false};

const PaymentMethod &methodNamed(const QString &name)
{
    return name == QStringLiteral("现金") ? kCash : name == QStringLiteral("微信") ? kWeChat : kAlipay;
}

} // namespace

class TestPayments : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> file;
    std::unique_ptr<Database> db;
    std::unique_ptr<Till> till;

    SaleHeader header(const QList<Payment> &payments, const QString &received = {}, const QString &change = {})
    {
        return {QStringLiteral("261206143005"), QStringLiteral("2026-12-06"), QStringLiteral("小王"), received, change,
                payments};
    }

private slots:
    void init()
    {
        file = std::make_unique<TestDatabase>();
        file->setSettings(QStringLiteral("小王"), QStringLiteral("好邻居"), QStringLiteral("谢谢"));
        db = std::make_unique<Database>();
        db->open(file->path());
        till = std::make_unique<Till>(*db);
        till->reopenSale();
        till->addLine(QStringLiteral("可乐"), QStringLiteral("1"), QStringLiteral("9.6"));
        till->addLine(QStringLiteral("面"), QStringLiteral("2"), QStringLiteral("7.05"));
    }
    void cleanup()
    {
        till.reset();
        db.reset();
        file.reset();
    }

    // Payments taken one after another: "method amount" each; what is still
    // due and the change after them, or the refusal of the last.
    void paymentsCoverTheTotalToTheFen_data()
    {
        QTest::addColumn<QString>("total");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("stillDue");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("all by phone") << "23.7" << QStringList{"微信 23.7"} << "0" << "0" << "";
        QTest::newRow("phone then cash with change") << "23.7" << QStringList{"微信 20", "现金 10"} << "0" << "6.3" << "";
        QTest::newRow("part paid") << "23.7" << QStringList{"支付宝 5"} << "18.7" << "0" << "";
        QTest::newRow("half a fen rounds up") << "0.285" << QStringList{} << "0.29" << "0" << "";
        QTest::newRow("weighed total to the fen") << "4.1625" << QStringList{"现金 5"} << "0" << "0.84" << "";
        QTest::newRow("phone gives no change")
            << "23.7" << QStringList{"微信 30"} << "23.7" << "0" << "微信不能找零：最多只能付还需支付的 23.7 元。";
        QTest::newRow("nothing paid") << "23.7" << QStringList{"现金 0"} << "23.7" << "0"
                                      << "付款金额“0”不对：请输入大于零的金额。";
        QTest::newRow("paid already")
            << "10" << QStringList{"现金 10", "微信 1"} << "0" << "0" << "本单已经付清，请按回车结账。";
    }
    void paymentsCoverTheTotalToTheFen()
    {
        QFETCH(QString, total);
        QFETCH(QStringList, taken);
        QFETCH(QString, stillDue);
        QFETCH(QString, change);
        QFETCH(QString, refusal);
        SalePayments payments(total);
        QString refused;
        for (const QString &one : std::as_const(taken)) {
            const QStringList parts = one.split(QLatin1Char(' '));
            try {
                payments.add(methodNamed(parts[0]), parts[1]);
            } catch (const Refusal &e) {
                refused = e.message();
            }
        }
        QCOMPARE(refused, refusal);
        QCOMPARE(payments.stillDue(), stillDue);
        QCOMPARE(payments.change(), change);
    }

    void payingLessIsRefused()
    {
        SalePayments payments(QStringLiteral("23.7"));
        payments.add(kWeChat, QStringLiteral("20"));
        try {
            payments.requireCovered();
            QFAIL("completed a sale paid in part");
        } catch (const Refusal &e) {
            QCOMPARE(e.message(), QStringLiteral("付款不足：还需支付 3.7 元，付清后才能结账。"));
        }
    }

    // The payments go with the sale's lines, and the receipt shows each
    // and the change after the totals.
    void aSplitPaymentIsRecordedAndPrinted()
    {
        SalePayments payments(till->totalAmount());
        payments.add(kWeChat, QStringLiteral("20"));
        payments.add(kCash, QStringLiteral("10"));
        PaperTray tray;
        QVERIFY(till->complete(header(payments.payments()), tray, 1));

        const auto rows = file->rows(QStringLiteral("select receipt_number, till, method, amount, change_given "
                                                    "from payments order by id"));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0], (QVariantList{"261206143005", 1, 2, "20", "0"}));
        QCOMPARE(rows[1], (QVariantList{"261206143005", 1, 1, "10", "6.3"}));
        const QStringList job = tray.jobs.value(0);
        const qsizetype total = job.indexOf(QStringLiteral("合计金额:23.7"));
        QVERIFY(total > 0);
        QCOMPARE(job.mid(total + 1, 3),
                 (QStringList{QStringLiteral("微信:20"), QStringLiteral("现金:10"), QStringLiteral("找零金额:6.3")}));
        QVERIFY(!job.join(QString()).contains(QStringLiteral("来款金额")));
    }

    // A sale whose receipt went out but whose open sale was not emptied is
    // finished at the next start, its receipt offered again with its payments.
    void anInterruptedSaleIsOfferedAgainWithItsPayments()
    {
        SalePayments payments(till->totalAmount());
        payments.add(kWeChat, QStringLiteral("20"));
        payments.add(kCash, QStringLiteral("10"));
        file->refuseDeletes(QStringLiteral("xiaoshou"), QStringLiteral("disk I/O error"));
        PaperTray tray;
        QVERIFY_THROWS_EXCEPTION(SaleNotEmptied, till->complete(header(payments.payments()), tray, 1));
        file->allowDeletes(QStringLiteral("xiaoshou"));

        Till next(*db);
        const std::optional<Till::UnfinishedReceipt> again = next.finishInterruptedSale();
        QVERIFY(again);
        QStringList shown;
        for (const ReceiptPayment &payment : again->input.payments)
            shown << payment.method + QLatin1Char(':') + payment.amount;
        QCOMPARE(shown, (QStringList{"微信:20", "现金:10"}));
        QCOMPARE(again->input.paymentChange, QStringLiteral("6.3"));
        QCOMPARE(file->count(QStringLiteral("payments")), 2);
    }

    // Cash at the change box is a cash payment as received, the change with
    // it; with no amount typed, the total. A failed print keeps none.
    void cashAtTheChangeBoxIsRecordedAsCash_data()
    {
        QTest::addColumn<QString>("received");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QVariantList>("stored");
        QTest::newRow("change given") << "100" << "76.3" << QVariantList{1, "100", "76.3"};
        QTest::newRow("no amount typed") << "" << "" << QVariantList{1, "23.7", "0"};
        QTest::newRow("taken short") << "20" << "-3.7" << QVariantList{1, "20", "-3.7"};
    }
    void cashAtTheChangeBoxIsRecordedAsCash()
    {
        QFETCH(QString, received);
        QFETCH(QString, change);
        QFETCH(QVariantList, stored);
        PaperTray tray;
        tray.refusal = QStringLiteral("paper out");
        QVERIFY_THROWS_EXCEPTION(AppError, till->complete(header({}, received, change), tray, 1));
        QCOMPARE(file->count(QStringLiteral("payments")), 0);
        tray.refusal.clear();
        QVERIFY(till->complete(header({}, received, change), tray, 1));
        QCOMPARE(file->rows(QStringLiteral("select method, amount, change_given from payments")),
                 QList<QVariantList>{stored});
    }

    void theOpeningCashIsKeptUntilCounted()
    {
        QVERIFY(!till->openingCash());
        till->setOpeningCash(QStringLiteral("200"));
        till->setOpeningCash(QStringLiteral("150.5"));
        QCOMPARE(till->openingCash().value_or(QString()), QStringLiteral("150.5"));
        QCOMPARE(file->count(QStringLiteral("cash_floats")), 1);
        QVERIFY_THROWS_EXCEPTION(Refusal, till->setOpeningCash(QStringLiteral("-1")));
        QVERIFY_THROWS_EXCEPTION(Refusal, till->setOpeningCash(QStringLiteral("6901234567892")));
        QCOMPARE(till->openingCash().value_or(QString()), QStringLiteral("150.5"));
    }

    // 10% off the 9.6 line, 2 yuan off the sale, then 抹零 to the jiao: each a
    // line of its own, and the receipt's total the sum of what it prints.
    void discountsAndRoundOffAreLinesOfTheirOwn()
    {
        TillSettings(*db, 0).store({{QStringLiteral("round_off"), QStringLiteral("jiao")}});
        till->discountLine(0, Till::DiscountKind::Percent, QStringLiteral("10"));
        till->discountSale(Till::DiscountKind::Amount, QStringLiteral("2"));
        till->roundOff();
        till->roundOff();   // already round: nothing more
        QCOMPARE(till->totalAmount(), QStringLiteral("20.7"));
        QVERIFY_THROWS_EXCEPTION(Refusal, till->discountLine(2, Till::DiscountKind::Percent, QStringLiteral("5")));
        QVERIFY_THROWS_EXCEPTION(Refusal, till->discountSale(Till::DiscountKind::Amount, QStringLiteral("21")));

        PaperTray tray;
        QVERIFY(till->complete(header({}), tray, 1));
        QCOMPARE(file->rows(QStringLiteral("select 编码, 品名, 金额 from XiaoShouRecord order by id")),
                 (QList<QVariantList>{{"-", "可乐", 9.6},
                                      {"-", "面", 14.1},
                                      {"*折扣", "折扣 可乐", -0.96},
                                      {"*折扣", "整单折扣", -2.0},
                                      {"*抹零", "抹零", -0.04}}));
        const QStringList job = tray.jobs.value(0);
        for (const char *line : {"折扣 可乐        1    -0.96", "整单折扣         1    -2", "抹零             1    -0.04",
                                 "合计金额:20.7"})
            QVERIFY2(job.contains(QString::fromUtf8(line)), line);
    }

    // Above the shop's limit the owner's PIN is asked; it is kept only as a
    // salted hash. Without a PIN set nothing is asked.
    void aDiscountAboveTheLimitNeedsTheOwnersPin()
    {
        till->discountSale(Till::DiscountKind::Percent, QStringLiteral("50"));
        DiscountRules rules;
        rules.setLimitPercent(10);
        rules.setPin(QStringLiteral("8888"));
        TillSettings(*db, 0).store(rules.values());
        const QString stored = file->scalar(QStringLiteral("select value from till_settings where till = 0 "
                                                           "and name = 'owner_pin'")).toString();
        QVERIFY(!stored.contains(QStringLiteral("8888")));
        QCOMPARE(stored.size(), 32 + 1 + 64);

        auto refusal = [&](const QString &pin) {
            try {
                till->discountSale(Till::DiscountKind::Percent, QStringLiteral("20"), pin);
            } catch (const OwnerPinNeeded &e) {
                return e.message();
            }
            return QString();
        };
        QCOMPARE(refusal({}), QStringLiteral("折扣超过 10%，需要店主密码。"));
        QCOMPARE(refusal(QStringLiteral("1234")), QStringLiteral("店主密码不对，没有打折。"));
        QCOMPARE(till->totalAmount(), QStringLiteral("11.85"));
        QCOMPARE(refusal(QStringLiteral("8888")), QString());
        QCOMPARE(till->totalAmount(), QStringLiteral("9.48"));
        // Within the limit the cashier needs nobody.
        till->discountSale(Till::DiscountKind::Percent, QStringLiteral("5"));
        QCOMPARE(till->totalAmount(), QStringLiteral("9.01"));
    }

    void theShopsMethodsAreKeptInTheirOrder()
    {
        QList<PaymentMethod> methods = PaymentMethods::load(*db);
        QCOMPARE(methods.size(), 4);
        QCOMPARE(methods[1].name, QStringLiteral("微信"));
        methods[3].enabled = false;
        methods.move(2, 0);
        methods << PaymentMethod{0, QStringLiteral("会员卡"), false, true};
        PaymentMethods::save(*db, methods);
        QStringList shown;
        for (const PaymentMethod &method : PaymentMethods::load(*db))
            shown << QStringLiteral("%1 %2%3").arg(method.number).arg(method.name, method.enabled ? "" : " 停用");
        QCOMPARE(shown, (QStringList{"3 支付宝", "1 现金", "2 微信", "4 银行卡 停用", "5 会员卡"}));
    }
};

QTEST_GUILESS_MAIN(TestPayments)
#include "tst_payments.moc"
