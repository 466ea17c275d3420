#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "withnames.h"

#include "base/textcodec.h"
#include "receipt/receiptprinter.h"
#include "storage/tables.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/skinbutton.h"
#include "widgets/apperrorbox.h"
#include "widgets/datagrid.h"
#include "windows/cataloguewindow.h"
#include "windows/shopsettingswindow.h"
#include "windows/salesrecordswindow.h"

#include <QAbstractItemView>
#include <QDate>
#include <QLabel>
#include <QRegularExpression>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void missingDatabaseGivesOneConnectionMessageAndTheWindowStillOpens()
    {
        CashierFixture f;
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("data.db"));
        CashierWindow *w = f.open(missing);

        QVERIFY(w->isVisible());
        QVERIFY(!QFile::exists(missing));
        const auto &seen = f.boxes->seen();
        QVERIFY(seen.size() >= 1);
        QCOMPARE(seen[0].title, QStringLiteral("错误"));
        QCOMPARE(seen[0].text, QStringLiteral("提示：数据库连接出错！"));
        QCOMPARE(seen[0].icon, QMessageBox::Critical);
        QCOMPARE(seen[0].buttons, QStringList{QStringLiteral("是(&Y)")});
        int connectionMessages = 0;
        for (const auto &s : seen)
            connectionMessages += s.text == QStringLiteral("提示：数据库连接出错！");
        QCOMPARE(connectionMessages, 1);
        // The show handler stops at its first database step, in the error box.
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[1].title, AppBoxes::applicationTitle());
        QCOMPARE(seen[1].icon, QMessageBox::Critical);

        QCOMPARE(w->saleDateBox()->text(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{12}$")).match(w->receiptNumberBox()->text()).hasMatch());
        QCOMPARE(w->cashierBox()->text(), QStringLiteral("001"));
        QCOMPARE(w->saleGrid()->model()->rowCount(), 0);
        QCOMPARE(w->productBox()->count(), 0);

        // Later database actions fail in the error box; the window stays.
        f.boxes->clear();
        QTest::keyClick(w->saleGrid(), Qt::Key_Delete);
        QCOMPARE(f.boxes->count(), 1);
        QVERIFY(w->isVisible());
    }

    void showFillsTheHeaderAndTheProductList()
    {
        CashierFixture f;
        f.file->setSettings(QStringLiteral("小李"), QStringLiteral("店"), QString());
        f.file->addProduct(QStringLiteral("6901"), QStringLiteral("可乐"), 3);
        f.file->addProduct(QStringLiteral("6902"), QStringLiteral("雪碧"), 3);
        f.file->addProduct(QStringLiteral("6903"), QStringLiteral("可乐"), 3.5);
        CashierWindow *w = f.open();
        QCOMPARE(f.boxes->count(), 0);
        QCOMPARE(w->cashierBox()->text(), QStringLiteral("小李"));
        const QString stamp = w->receiptNumberBox()->text();
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{12}$")).match(stamp).hasMatch());
        QCOMPARE(stamp.left(6), QDate::currentDate().toString(QStringLiteral("yyMMdd")));
        QStringList names = w->productBox()->items();
        names.sort();
        QStringList expected{QStringLiteral("雪碧"), QStringLiteral("可乐")};
        expected.sort();
        QCOMPARE(names, expected);
        QCOMPARE(w->productBox()->currentText(), QString());
        QCOMPARE(QApplication::focusWidget(), w->productBox());
    }

    // Lines an earlier run left are counted at once: the totals, the change
    // and the printed receipt include them.
    void linesLeftFromAnEarlierRunAreTotalledAtStartUp()
    {
        CashierFixture f;
        f.file->addSaleLine(QStringLiteral("1"), QStringLiteral("甲"), 2, 3);
        f.file->addSaleLine(QStringLiteral("2"), QStringLiteral("乙"), 1, 4.3);
        CashierWindow *w = f.open();
        QCOMPARE(w->saleGrid()->model()->rowCount(), 2);
        QCOMPARE(w->saleGrid()->model()->index(0, 1).data().toString(), QStringLiteral("甲"));
        QCOMPARE(w->saleGrid()->model()->index(1, 4).data().toString(), QStringLiteral("4.3"));
        QCOMPARE(w->saleGrid()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("编码(条形码)"));
        QCOMPARE(w->totalQuantityLabel()->text(), QStringLiteral("3"));
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("10.3"));

        QTemporaryDir paper;
        const QString printed = paper.filePath(QStringLiteral("printer"));
        QFile(printed).open(QIODevice::WriteOnly);   // the device file a receipt printer would have
        w->setReceiptPrinter(ReceiptPrinter::create(QStringLiteral("escpos:") + printed));
        QTest::keyClick(w->productBox(), Qt::Key_F11);
        QTest::keyClicks(w->receivedBox(), QStringLiteral("20"));
        QTest::keyClick(w->receivedBox(), Qt::Key_Return);
        QCOMPARE(w->changeBox()->text(), QStringLiteral("9.7"));
        QTest::keyClick(w->changeBox(), Qt::Key_Return);
        QCOMPARE(f.boxes->count(), 0);
        QFile file(printed);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString receipt = TextCodec(TextEncoding::Gbk).decode(file.readAll());
        QVERIFY2(receipt.contains(QStringLiteral("合计数量:3")), qPrintable(receipt));
        QVERIFY2(receipt.contains(QStringLiteral("合计金额:10.3")), qPrintable(receipt));
        QVERIFY2(receipt.contains(QStringLiteral("找零金额:9.7")), qPrintable(receipt));
        QCOMPARE(f.file->scalar(withNames("select sum({amount}) from {SalesRecord}")).toDouble(), 10.3);
    }

    void sideWindowsOpenOnceAndComeBack()
    {
        CashierFixture f;
        CashierWindow *w = f.open();
        QTest::keyClick(w->productBox(), Qt::Key_F5);
        QPointer<SalesRecordsWindow> first = w->recordsWindow();
        QVERIFY(first && first->isVisible());
        QTest::keyClick(w->productBox(), Qt::Key_F5);
        QCOMPARE(w->recordsWindow(), first);
        QCOMPARE(w->findChildren<SalesRecordsWindow *>().size(), 1);

        // Shift is not looked at: Shift+F2 opens the settings window as F2 does.
        QTest::keyClick(w->productBox(), Qt::Key_F2, Qt::ShiftModifier);
        QVERIFY(w->settingsWindow() && w->settingsWindow()->isVisible());
        QPointer<ShopSettingsWindow> settings = w->settingsWindow();
        QTest::keyClick(settings, Qt::Key_Escape);
        QVERIFY(!settings->isVisible());
        QVERIFY(w->isVisible());
        QTest::keyClick(w->productBox(), Qt::Key_F2);
        QCOMPARE(w->settingsWindow(), settings);
        QVERIFY(settings->isVisible());

        QTest::mouseClick(w->catalogueButton(), Qt::LeftButton);
        QVERIFY(w->catalogueWindow() && w->catalogueWindow()->isVisible());
        delete w->catalogueWindow();
        QVERIFY(!w->catalogueWindow());   // a destroyed window is made anew next time
    }

    void headerBoxesChainOnEnter()
    {
        CashierFixture f;
        CashierWindow *w = f.open();
        w->saleDateBox()->setFocus();
        QTest::keyClick(w->saleDateBox(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w->cashierBox());
        QTest::keyClick(w->cashierBox(), Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), w->receiptNumberBox());
        QTest::keyClick(w->receiptNumberBox(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w->productBox());
        // Other keys are left to the box.
        QTest::keyClicks(w->receiptNumberBox(), QStringLiteral("9"));
        QVERIFY(w->receiptNumberBox()->text().endsWith(QLatin1Char('9')));
    }

    void webPageOpensFromTheKeyTheButtonAndTheLabel()
    {
        CashierFixture f;
        CashierWindow *w = f.open();
        QTest::keyClick(w->quantityBox(), Qt::Key_F8);
        QTest::mouseClick(w->guideButton(), Qt::LeftButton);
        QTest::mouseClick(w->guideLink(), Qt::LeftButton);
        QCOMPARE(f.opened.size(), 3);
        QVERIFY(f.opened[0].isLocalFile());
        QVERIFY(f.opened[0].toLocalFile().endsWith(QStringLiteral("guide.html")));
    }

    // Esc leaves and empties the open sale; with the product list open it
    // only closes the list, and the next Esc leaves.
    void escapeEmptiesTheOpenSaleAndEnds_data()
    {
        QTest::addColumn<bool>("listOpen");
        QTest::newRow("in a box") << false;
        QTest::newRow("with the product list open") << true;
    }
    void escapeEmptiesTheOpenSaleAndEnds()
    {
        QFETCH(bool, listOpen);
        CashierFixture f;
        f.file->addProduct(QStringLiteral("1"), QStringLiteral("甲"), 1);
        f.file->addSaleLine(QStringLiteral("1"), QStringLiteral("甲"), 2, 3);
        CashierWindow *w = f.open();
        if (listOpen) {
            w->productBox()->setFocus();
            QTest::keyClick(w->productBox(), Qt::Key_Down, Qt::AltModifier);
            QTRY_VERIFY(w->productBox()->view()->isVisible());
            QTest::keyClick(w->productBox()->view(), Qt::Key_Escape);
            QVERIFY(!w->productBox()->isListOpen());
            QVERIFY(w->isVisible());
            QCOMPARE(f.file->count(Tables::OpenSale::table), 1);
            QCOMPARE(QApplication::focusWidget(), w->productBox());
            QTest::keyClick(w->productBox(), Qt::Key_Escape);
        } else {
            QTest::keyClick(w->quantityBox(), Qt::Key_Escape);
        }
        QVERIFY(!w->isVisible());
        QCOMPARE(f.file->count(Tables::OpenSale::table), 0);
        QCOMPARE(f.opened.size(), 1);
        QCOMPARE(f.boxes->count(), 0);
    }

    void errorBoxAddsAFullStopAfterLettersOnly_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Printer selected is not valid" << "Printer selected is not valid.";
        QTest::newRow("quote") << "'x' is not a valid floating point value" << "'x' is not a valid floating point value.";
        QTest::newRow("chinese") << "请填上编码" << "请填上编码.";
        QTest::newRow("digit") << "error 5" << "error 5.";
        QTest::newRow("exclamation") << "请填上编码!" << "请填上编码!";
        QTest::newRow("full stop") << "done." << "done.";
        QTest::newRow("chinese full stop") << "连上以后就可以继续收银。" << "连上以后就可以继续收银。";
        QTest::newRow("chinese exclamation") << "没有保存！" << "没有保存！";
        QTest::newRow("empty") << "" << "";
    }
    void errorBoxAddsAFullStopAfterLettersOnly()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(AppBoxes::errorBoxText(message), shown);
    }
};

FENWO_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
