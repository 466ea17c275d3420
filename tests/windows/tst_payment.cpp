#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "devicefile.h"
#include "escposlines.h"
#include "typing.h"
#include "whenmodalshows.h"

#include "receipt/receiptprinter.h"
#include "till/discountrules.h"
#include "widgets/flatedit.h"
#include "widgets/flatspeedbutton.h"
#include "windows/paymentwindow.h"
#include "windows/reportswindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Answers the next text questions (a discount, a PIN) one after another.
void answer(const QStringList &texts)
{
    if (texts.isEmpty())
        return;
    whenModalShows<QInputDialog>([texts](QInputDialog *question) {
        question->setTextValue(texts.first());
        question->accept();
        answer(texts.mid(1));
    });
}

} // namespace

// Taking payment at the payment window, with the keys a cashier presses.
class TestPayment : public QObject
{
    Q_OBJECT

    std::unique_ptr<CashierFixture> f;
    CashierWindow *w = nullptr;
    QTemporaryDir dir;
    QString device;

    // Total 23.7.
    void ringUp()
    {
        for (const char *code : {"6901", "6902", "6902"}) {
            typeText(QApplication::focusWidget() ? QApplication::focusWidget() : w->productBox(),
                     QString::fromLatin1(code));
            QTest::keyClick(w->productBox(), Qt::Key_Return);
        }
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("23.7"));
    }

    QList<QVariantList> payments()
    {
        return f->file->rows(QStringLiteral("select method, amount, change_given from payments order by id"));
    }

    QStringList printed()
    {
        bool ok = false;
        const QStringList lines = printedLines(readFile(device), &ok);
        return ok ? lines : QStringList();
    }

private slots:
    void init()
    {
        f = std::make_unique<CashierFixture>();
        f->file->addProduct(QStringLiteral("6901"), QStringLiteral("康师傅红烧牛肉面"), 4.5);
        f->file->addProduct(QStringLiteral("6902"), QStringLiteral("可口可乐"), 9.6);
        f->file->setSettings(QStringLiteral("小王"), QStringLiteral("好邻居"), QStringLiteral("谢谢"));
        w = f->open();
        device = makeDevice(dir, QStringLiteral("lp-pay"));
        w->setReceiptPrinter(ReceiptPrinter::create(QStringLiteral("escpos:") + device));
    }
    void cleanup()
    {
        f.reset();
        w = nullptr;
    }

    // The till asks for the cash in the drawer when it opens, before anything
    // is typed; a day that begins while it is open is told on the screen, so
    // that F1 then 2 still pays by 微信 and never records a float of 2 yuan.
    void theOpeningCashIsAskedWhenNothingIsBeingTyped_data()
    {
        QTest::addColumn<bool>("opening");     // false: the day began with the till open
        QTest::addColumn<QString>("answer");   // empty: 跳过
        QTest::addColumn<QList<QVariantList>>("floats");
        QTest::newRow("opening, given") << true << QStringLiteral("200") << QList<QVariantList>{{"200"}};
        QTest::newRow("opening, skipped") << true << QString() << QList<QVariantList>{};
        QTest::newRow("new day, Shift+F1") << false << QStringLiteral("300") << QList<QVariantList>{{"300"}};
    }
    void theOpeningCashIsAskedWhenNothingIsBeingTyped()
    {
        QFETCH(bool, opening);
        QFETCH(QString, answer);
        QFETCH(QList<QVariantList>, floats);
        w->openingCashAskedOn(QDate());
        int asked = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            auto *question = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            if (!question || !question->isVisible() || question->property("answered").toBool())
                return;
            question->setProperty("answered", true);
            ++asked;
            if (answer.isEmpty())
                question->reject();
            else {
                question->setTextValue(answer);
                question->accept();
            }
        });
        watch.start(5);
        if (opening) {
            w->askOpeningCashOnce();
            QCOMPARE(asked, 1);
        }

        ringUp();
        whenModalShows<PaymentWindow>([](PaymentWindow *pay) { QTest::keyClick(pay->methodList(), Qt::Key_2); });
        QTest::keyClick(w->productBox(), Qt::Key_F1);
        QCOMPARE(asked, opening ? 1 : 0);
        QCOMPARE(payments(), (QList<QVariantList>{{2, "23.7", "0"}}));
        auto *reminder = w->findChild<QLabel *>(QStringLiteral("openingCashReminder"));
        QCOMPARE(reminder->isVisible(), !opening);
        if (!opening) {
            QTest::keyClick(w->productBox(), Qt::Key_F1, Qt::ShiftModifier);
            QCOMPARE(asked, 1);
            QVERIFY(!reminder->isVisible());
        }
        QCOMPARE(f->file->rows(QStringLiteral("select amount from cash_floats")), floats);

        ringUp();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(asked, 1);
        QCOMPARE(f->file->count(QStringLiteral("XiaoShouRecord")), 6);
        QCOMPARE(f->boxes->count(), 0);
    }

    // After the last scan: F1, then 2 for 微信 — recorded and printed.
    void allByWeChatTakesTwoKeys()
    {
        ringUp();
        whenModalShows<PaymentWindow>([](PaymentWindow *pay) { QTest::keyClick(pay->methodList(), Qt::Key_2); });
        QTest::keyClick(w->productBox(), Qt::Key_F1);
        QCOMPARE(f->boxes->count(), 0);
        QCOMPARE(payments(), (QList<QVariantList>{{2, "23.7", "0"}}));
        QCOMPARE(f->file->count(QStringLiteral("XiaoShouRecord")), 3);
        const QStringList lines = printed();
        const qsizetype total = lines.indexOf(QStringLiteral("合计金额:23.7"));
        QVERIFY(total > 0);
        QCOMPARE(lines.mid(total + 1, 3), (QStringList{"微信:23.7", "找零金额:0", "谢谢"}));
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("0"));
    }

    // 20 by phone, the rest in cash from a 10 note: the window shows what is
    // still due and the change, and Enter completes.
    void splitWeChatAndCashWithChange()
    {
        ringUp();
        QString dueAfterPhone, changeShown;
        whenModalShows<PaymentWindow>([&](PaymentWindow *pay) {
            QTest::keyClick(pay->methodList(), Qt::Key_Tab);
            pay->amountBox()->selectAll();
            typeText(pay->amountBox(), QStringLiteral("20"));
            QTest::keyClick(pay->amountBox(), Qt::Key_Return);
            QTest::keyClick(pay->methodList(), Qt::Key_2);
            dueAfterPhone = pay->stillDueLabel()->text();
            QTest::keyClick(pay->methodList(), Qt::Key_Tab);
            pay->amountBox()->selectAll();
            typeText(pay->amountBox(), QStringLiteral("10"));
            QTest::keyClick(pay->amountBox(), Qt::Key_Return);
            QTest::keyClick(pay->methodList(), Qt::Key_1);
            changeShown = pay->changeLabel()->text();
            QTest::keyClick(pay->methodList(), Qt::Key_Return);
        });
        QTest::keyClick(w->productBox(), Qt::Key_F1);
        QCOMPARE(dueAfterPhone, QStringLiteral("还需支付：3.7"));
        QCOMPARE(changeShown, QStringLiteral("找零：6.3"));
        QCOMPARE(payments(), (QList<QVariantList>{{2, "20", "0"}, {1, "10", "6.3"}}));
        const QStringList lines = printed();
        const qsizetype total = lines.indexOf(QStringLiteral("合计金额:23.7"));
        QCOMPARE(lines.mid(total + 1, 3), (QStringList{"微信:20", "现金:10", "找零金额:6.3"}));

        // The report's chart by method: cash is what stayed in the drawer.
        QTest::keyClick(w->productBox(), Qt::Key_F6);
        ReportsWindow *report = w->reportsWindow();
        QVERIFY(report && report->isVisible());
        QTest::mouseClick(report->upperChartButton(ReportsWindow::UpperChart::ByMethod), Qt::LeftButton);
        QVERIFY(report->methodChart()->isVisible() && !report->hourChart()->isVisible());
        const auto *series = qobject_cast<QBarSeries *>(report->methodChart()->chart()->series().value(0));
        auto *axis = qobject_cast<QBarCategoryAxis *>(report->methodChart()->chart()->axes(Qt::Horizontal).value(0));
        QVERIFY(series && axis);
        QCOMPARE(axis->categories(), (QStringList{"现金", "微信"}));
        QCOMPARE(series->barSets().value(0)->at(0), 3.7);
        QCOMPARE(series->barSets().value(0)->at(1), 20.0);
    }

    // Enter with money still due is refused in Chinese; nothing is recorded
    // and the sale stays on the screen.
    void payingLessIsRefused()
    {
        ringUp();
        whenModalShows<PaymentWindow>([&](PaymentWindow *pay) {
            QTest::keyClick(pay->methodList(), Qt::Key_Tab);
            pay->amountBox()->selectAll();
            typeText(pay->amountBox(), QStringLiteral("20"));
            QTest::keyClick(pay->amountBox(), Qt::Key_Return);
            QTest::keyClick(pay->methodList(), Qt::Key_3);
            QTest::keyClick(pay->methodList(), Qt::Key_Return);
            QTest::keyClick(pay->methodList(), Qt::Key_Escape);
        });
        QTest::keyClick(w->productBox(), Qt::Key_F1);
        QCOMPARE(f->boxes->lastText(), QStringLiteral("付款不足：还需支付 3.7 元，付清后才能结账。"));
        QCOMPARE(f->file->count(QStringLiteral("payments")), 0);
        QCOMPARE(f->file->count(QStringLiteral("XiaoShouRecord")), 0);
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("23.7"));
    }

    // 10% off the current line, 20% off the sale (above the limit of 10%:
    // a wrong PIN refused, then the right one), 抹零 to the jiao, paid by
    // phone: the record and the receipt explain every fen.
    void discountsAndRoundOffBeforePaying()
    {
        DiscountRules rules;
        rules.setRoundOff(DiscountRules::RoundOff::ToJiao);
        rules.setLimitPercent(10);
        rules.setPin(QStringLiteral("8888"));
        const QMap<QString, QString> values = rules.values();
        for (auto it = values.begin(); it != values.end(); ++it)
            f->file->exec(QStringLiteral("insert into till_settings (till, name, value) values (0, ?, ?)"),
                          {it.key(), it.value()});
        ringUp();
        QStringList totals;
        whenModalShows<PaymentWindow>([&](PaymentWindow *pay) {
            answer({QStringLiteral("10%")});
            QTest::keyClick(pay->methodList(), Qt::Key_F7);
            totals << pay->totalLabel()->text();
            answer({QStringLiteral("20%"), QStringLiteral("1234")});
            QTest::keyClick(pay->methodList(), Qt::Key_F5);
            totals << pay->totalLabel()->text();
            answer({QStringLiteral("20%"), QStringLiteral("8888")});
            QTest::keyClick(pay->methodList(), Qt::Key_F5);
            totals << pay->totalLabel()->text();
            QTest::keyClick(pay->methodList(), Qt::Key_F6);
            totals << pay->totalLabel()->text();
            QTest::keyClick(pay->methodList(), Qt::Key_2);
        });
        QTest::keyClick(w->productBox(), Qt::Key_F1);
        QCOMPARE(totals, (QStringList{"应收金额：22.74", "应收金额：22.74", "应收金额：18.19", "应收金额：18.1"}));
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(f->boxes->lastText(), QStringLiteral("店主密码不对，没有打折。"));
        QCOMPARE(f->file->rows(QStringLiteral("select 编码, 金额 from XiaoShouRecord where 金额 < 0 order by id")),
                 (QList<QVariantList>{{"*折扣", -0.96}, {"*折扣", -4.55}, {"*抹零", -0.09}}));
        QCOMPARE(payments(), (QList<QVariantList>{{2, "18.1", "0"}}));
        const QStringList lines = printed();
        QVERIFY(lines.contains(QStringLiteral("抹零             1    -0.09")));
        QVERIFY(lines.contains(QStringLiteral("合计金额:18.1")));
    }

    // The cash-only path is as it always was, and recorded as cash.
    void cashAtTheChangeBoxStaysAsItWas()
    {
        ringUp();
        QTest::keyClick(w->productBox(), Qt::Key_F11);
        typeText(w->receivedBox(), QStringLiteral("100"));
        QTest::keyClick(w->receivedBox(), Qt::Key_Return);
        QTest::keyClick(w->changeBox(), Qt::Key_Return);
        QCOMPARE(payments(), (QList<QVariantList>{{1, "100", "76.3"}}));
        const QStringList lines = printed();
        const qsizetype total = lines.indexOf(QStringLiteral("合计金额:23.7"));
        QCOMPARE(lines.mid(total + 1, 3), (QStringList{"来款金额:100", "找零金额:76.3", "谢谢"}));
    }
};

FENWO_TEST_MAIN(TestPayment)
#include "tst_payment.moc"
