#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "devicefile.h"
#include "escposlines.h"
#include "typing.h"
#include "whenmodalshows.h"

#include "base/numbertext.h"
#include "receipt/receiptprinter.h"
#include "storage/cashiers.h"
#include "storage/database.h"
#include "receipt/cashdrawer.h"
#include "receipt/escposfilelink.h"
#include "receipt/escposprintsurface.h"
#include "storage/tillsettings.h"
#include "till/cashiershift.h"
#include "till/discountrules.h"
#include "till/pinhash.h"
#include "till/pinplaces.h"
#include "widgets/flatedit.h"
#include "widgets/skinbutton.h"
#include "windows/paymentwindow.h"
#include "windows/reportswindow.h"
#include "windows/returnwindow.h"
#include "windows/shopsettingswindow.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Answers the sign-in's two questions: the number, then the PIN.
void signInAs(const QString &number, const QString &pin)
{
    whenModalShows<QInputDialog>([number, pin](QInputDialog *numberQuestion) {
        QCOMPARE(numberQuestion->objectName(), QStringLiteral("cashierNumberQuestion"));
        whenModalShows<QInputDialog>([pin](QInputDialog *pinQuestion) {
            QCOMPARE(pinQuestion->textEchoMode(), QLineEdit::Password);
            auto *box = pinQuestion->findChild<QLineEdit *>();
            typeText(box, pin);
            QTest::keyClick(box, Qt::Key_Return);
        });
        auto *box = numberQuestion->findChild<QLineEdit *>();
        typeText(box, number);
        QTest::keyClick(box, Qt::Key_Return);
    });
}

} // namespace

// Cashiers who sign in at the till with a number and a PIN, and the shift
// report (交班) at sign-out.
class TestCashiers : public QObject
{
    Q_OBJECT

    std::unique_ptr<CashierFixture> f;
    CashierWindow *w = nullptr;
    QTemporaryDir dir;
    QString device;

    void scan(const char *code)
    {
        typeText(w->productBox(), QString::fromLatin1(code));
        QTest::keyClick(w->productBox(), Qt::Key_Return);
    }

    QString sqlSum(const QString &sql, const QString &cashier)
    {
        return formatGeneral(f->file->scalar(sql, {cashier}).toDouble());
    }

private slots:
    void init()
    {
        f = std::make_unique<CashierFixture>();
        f->file->addProduct(QStringLiteral("6901"), QStringLiteral("面"), 4.5);
        f->file->addProduct(QStringLiteral("6902"), QStringLiteral("可乐"), 9.6);
        f->file->setSettings(QStringLiteral("店里"), QStringLiteral("好邻居"), QStringLiteral("谢谢"));
        w = f->open();
        device = makeDevice(dir, QStringLiteral("lp-shift"));
        w->setReceiptPrinter(ReceiptPrinter::create(QStringLiteral("escpos:") + device));
    }
    void cleanup()
    {
        f.reset();
        w = nullptr;
    }

    // Sign in (a wrong PIN first), a sale, a return, sign out: every row
    // names the cashier, and the shift report's figures are the sums of that
    // cashier's payments.
    void aShiftFromSignInToHandOver()
    {
        {
            Database db;
            db.open(f->file->path());
            Cashiers::save(db, {{7, QStringLiteral("小张"), PinHash::of(QStringLiteral("1234")), true},
                                {8, QStringLiteral("老李"), PinHash::of(QStringLiteral("5678")), false}});
            CashierShift::setRequired(db, true);
        }
        // The till starts with nobody signed in.
        f->session.reset();
        w = f->open();
        w->setReceiptPrinter(ReceiptPrinter::create(QStringLiteral("escpos:") + device));
        QVERIFY(w->cashierBox()->text().isEmpty());
        QVERIFY(w->cashierBox()->isReadOnly());

        signInAs(QStringLiteral("7"), QStringLiteral("0000"));
        scan("6901");
        QCOMPARE(f->boxes->lastText(), QStringLiteral("收银员编号或密码不对，没有签到。"));
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);

        signInAs(QStringLiteral("7"), QStringLiteral("1234"));
        scan("6901");
        QCOMPARE(w->cashierBox()->text(), QStringLiteral("小张"));
        scan("6902");
        scan("6902");
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 3);
        // Not with a sale open.
        QTest::keyClick(w->productBox(), Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(f->boxes->lastText(), QStringLiteral("本单还没有完成：请先完成本单（F12）或挂单（Insert），再交班。"));
        typeText(w->receivedBox(), QStringLiteral("30"));
        QTest::keyClick(w->receivedBox(), Qt::Key_Return);
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        const QString sold = f->file->scalar(QStringLiteral("select 单号 from XiaoShouRecord limit 1")).toString();

        whenModalShows<ReturnWindow>([sold](ReturnWindow *window) {
            typeText(window->receiptBox(), sold);
            QTest::keyClick(window->receiptBox(), Qt::Key_Return);
            window->linesGrid()->item(1, ReturnWindow::NowColumn)->setText(QStringLiteral("1"));
            QTest::keyClick(window->linesGrid(), Qt::Key_F12);
            if (window->isVisible())
                window->reject();
        });
        QTest::keyClick(w->productBox(), Qt::Key_F5, Qt::ShiftModifier);
        const int boxesBefore = f->boxes->count();
        QTest::keyClick(w->productBox(), Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(f->boxes->count(), boxesBefore + 1);
        QVERIFY(w->cashierBox()->text().isEmpty());

        // Every recorded row, payment and trail row names the cashier.
        QCOMPARE(f->file->scalar(QStringLiteral("select count(*) from XiaoShouRecord where 收银员 <> '小张'")).toInt(), 0);
        QCOMPARE(f->file->scalar(QStringLiteral("select count(*) from XiaoShouRecord")).toInt(), 4);
        QCOMPARE(f->file->rows(QStringLiteral("select kind, cashier from audit_log where kind like 'sign%' order by id")),
                 (QList<QVariantList>{{"sign_in", "小张"}, {"sign_out", "小张"}}));

        const QString ofCashier = QStringLiteral(
            " from payments p where exists (select 1 from XiaoShouRecord r where r.单号 = p.receipt_number "
            "and r.till = p.till and r.收银员 = ?)");
        const QString takings = sqlSum(
            QStringLiteral("select sum(cast(amount as double precision) - cast(change_given as double precision))") + ofCashier
                + QStringLiteral(" and cast(amount as double precision) > 0"),
            QStringLiteral("小张"));
        const QString refunds =
            sqlSum(QStringLiteral("select sum(cast(amount as double precision))") + ofCashier + QStringLiteral(" and cast(amount as double precision) < 0"),
                   QStringLiteral("小张"));
        QCOMPARE(takings, QStringLiteral("23.7"));
        QCOMPARE(refunds, QStringLiteral("-9.6"));
        bool ok = false;
        const QStringList printed = printedLines(readFile(device), &ok);
        const qsizetype report = printed.lastIndexOf(QStringLiteral("交班报表"));
        QVERIFY2(report > 0, qPrintable(printed.join(QLatin1Char('\n'))));
        const QStringList shift = printed.mid(report);
        QVERIFY(shift.contains(QStringLiteral("收银员:小张")));
        QVERIFY(shift.contains(QStringLiteral("销售单数:1")));
        QVERIFY(shift.contains(QStringLiteral("退货单数:1")));
        QVERIFY2(shift.contains(QStringLiteral("现金收款:%1 (1笔)").arg(takings)), qPrintable(shift.join(QLatin1Char('\n'))));
        QVERIFY(shift.contains(QStringLiteral("现金退款:%1 (1笔)").arg(refunds)));
        QVERIFY(shift.contains(QStringLiteral("净收款:14.1")));
    }

    // Each place the owner's PIN may be asked at: asked when switched on
    // (a PIN being set), not when off.
    void eachPlaceAsksOnlyWhenOn_data()
    {
        QTest::addColumn<int>("place");
        QTest::addColumn<bool>("on");
        for (const PinPlaces::Place place : PinPlaces::all())
            for (const bool on : {true, false})
                QTest::addRow("%s %s", qPrintable(PinPlaces::nameOf(place)), on ? "on" : "off") << int(place) << on;
    }
    void eachPlaceAsksOnlyWhenOn()
    {
        QFETCH(int, place);
        QFETCH(bool, on);
        using Place = PinPlaces::Place;
        const auto at = Place(place);
        if (at == Place::Restore && qEnvironmentVariable("FENWO_TEST_BACKEND") == QLatin1String("postgresql"))
            QSKIP("a server is not restored from a file");
        {
            Database db;
            db.open(f->file->path());
            DiscountRules rules;
            rules.setPin(QStringLiteral("8888"));
            rules.setLimitPercent(10);
            PinPlaces places;
            for (const Place each : PinPlaces::all())
                places.setAsks(each, each == at && on);
            TillSettings(db, 0).store(rules.values());
            TillSettings(db, 0).store(places.values());
        }
        auto drawer = std::make_unique<ReceiptPrinter>(
            std::make_unique<EscPosPrintSurface>(std::make_unique<EscPosFileLink>(device), 32));
        drawer->setCashDrawer(std::make_unique<CashDrawer>(std::make_unique<EscPosFileLink>(
                                                               makeDevice(dir, QStringLiteral("drawer"))),
                                                           CashDrawer::Pulse{}),
                              false);
        w->setReceiptPrinter(std::move(drawer));

        // The PIN question is given up; a discount asked for is 50%; a file to restore is not chosen.
        int asked = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || modal->property("answered").toBool())
                return;
            if (auto *question = qobject_cast<QInputDialog *>(modal)) {
                question->setProperty("answered", true);
                if (question->objectName() == QLatin1String("ownerPinQuestion")) {
                    ++asked;
                    question->reject();
                } else {
                    question->setTextValue(QStringLiteral("50%"));
                    question->accept();
                }
            } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
                files->setProperty("answered", true);
                files->reject();
            }
        });
        watch.start(5);

        switch (at) {
        case Place::ReturnWithoutReceipt:
            whenModalShows<ReturnWindow>([](ReturnWindow *window) {
                window->looseNameBox()->setText(QStringLiteral("面"));
                window->loosePriceBox()->setText(QStringLiteral("4.5"));
                QTest::keyClick(window->loosePriceBox(), Qt::Key_F12);
                if (window->isVisible())
                    window->reject();
            });
            QTest::keyClick(w->productBox(), Qt::Key_F5, Qt::ShiftModifier);
            break;
        case Place::DiscountOverLimit:
            scan("6901");
            whenModalShows<PaymentWindow>([](PaymentWindow *pay) {
                QTest::keyClick(pay->methodList(), Qt::Key_F5);
                pay->reject();
            });
            QTest::keyClick(w->productBox(), Qt::Key_F1);
            break;
        case Place::Drawer: QTest::keyClick(w->productBox(), Qt::Key_F7); break;
        case Place::Settings: QTest::keyClick(w->productBox(), Qt::Key_F2); break;
        case Place::Restore:
            QTest::keyClick(w->productBox(), Qt::Key_F2);
            QVERIFY(w->settingsWindow());
            w->settingsWindow()->restoreButton()->click();
            break;
        case Place::ZReport:
            QTest::keyClick(w->productBox(), Qt::Key_F6);
            QVERIFY(w->reportsWindow());
            w->reportsWindow()->countedCashBox()->setText(QStringLiteral("0"));
            QTest::keyClick(w->reportsWindow()->countedCashBox(), Qt::Key_F9);
            break;
        }
        QCOMPARE(asked, on ? 1 : 0);
    }
};

FENWO_TEST_MAIN(TestCashiers)
#include "tst_cashiers.moc"
