#include "fenwotestmain.h"
#include "fakedisplay.h"
#include "cashierfixture.h"
#include "typing.h"

#include "display/displaysettings.h"
#include "storage/tillsettings.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "windows/customerwindow.h"

#include <QLabel>
#include <QScreen>

// What the customer sees while the cashier works: the pole display on a
// serial port and the window on the second monitor (two virtual screens).
class TestCustomerView : public QObject
{
    Q_OBJECT

private slots:
    void theCustomerFollowsTheSaleOnBothDisplays()
    {
        QCOMPARE(QGuiApplication::screens().size(), 2);
        FakeDisplay pole;
        CashierFixture f;
        f.file->addProduct(QStringLiteral("6920459950180"), QStringLiteral("康师傅红烧牛肉面"), 4.5);
        {
            Database db;
            db.open(f.file->path());
            TillSettings settings(db);
            DisplaySettings display;
            display.enabled = true;
            display.port = pole.device;
            display.speed = 9600;
            display.customerWindow = true;
            display.store(settings);
        }
        CashierWindow *w = f.open();
        CustomerWindow *customer = w->customerWindow();
        QVERIFY(customer);
        QVERIFY(customer->isVisible());
        QVERIFY(customer->screen() != w->screen());
        QCOMPARE(pole.received(), QByteArray("\x1B@", 2));

        typeText(w->productBox(), QStringLiteral("6920459950180"));
        QTest::keyClick(w->productBox(), Qt::Key_Return);
        QCOMPARE(pole.received(), QByteArray("\x1Bs1\x1BQA4.50\r"));
        QVERIFY2(customer->linesLabel()->text().contains(QStringLiteral("康师傅红烧牛肉面")),
                 qPrintable(customer->linesLabel()->text()));
        QCOMPARE(customer->totalLabel()->text(), QStringLiteral("合计：4.5 元"));

        QTest::keyClick(w->productBox(), Qt::Key_F11);
        QCOMPARE(pole.received(), QByteArray("\x1Bs2\x1BQA4.50\r"));
        typeText(w->receivedBox(), QStringLiteral("10"));
        QTest::keyClick(w->receivedBox(), Qt::Key_Return);
        QCOMPARE(pole.received(), QByteArray("\x1Bs4\x1BQA5.50\r"));
        QCOMPARE(customer->paymentLabel()->text(), QStringLiteral("收款：10 元    找零：5.5 元"));
        QVERIFY(w->displayMark()->isHidden());
    }

    void anUnpluggedPoleDisplayIsMarkedAndTheSaleGoesOn()
    {
        CashierFixture f;
        f.file->addProduct(QStringLiteral("6920459950180"), QStringLiteral("康师傅红烧牛肉面"), 4.5);
        {
            Database db;
            db.open(f.file->path());
            TillSettings settings(db);
            DisplaySettings display;
            display.enabled = true;
            display.port = QStringLiteral("/dev/ttyUSB-unplugged");
            display.store(settings);
        }
        CashierWindow *w = f.open();
        typeText(w->productBox(), QStringLiteral("6920459950180"));
        QTest::keyClick(w->productBox(), Qt::Key_Return);
        QCOMPARE(f.file->count(QStringLiteral("xiaoshou")), 1);
        QCOMPARE(f.boxes->count(), 0);
        QVERIFY(!w->displayMark()->isHidden());
        QVERIFY(w->displayMark()->toolTip().contains(QStringLiteral("/dev/ttyUSB-unplugged")));
    }
};

FENWO_TEST_MAIN(TestCustomerView)
#include "tst_customerview.moc"
