#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "typing.h"
#include "withnames.h"

#include "windows/salesrecordmodel.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/flatmemo.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/skinbutton.h"
#include "windows/shopsettingswindow.h"
#include "windows/salesrecordswindow.h"

#include <QLabel>
#include <QTableView>

namespace {

const char kSettingsRow[] = "select {cashier}, {shopName}, {remark} from {ShopSettings}";

QWidget *focused()
{
    return QApplication::focusWidget();
}

// Keys go where the focus is, as the cashier's keyboard sends them.
void press(Qt::Key key)
{
    QTest::keyClick(focused(), key);
}

void type(const QString &text)
{
    typeText(focused(), text);
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void firstSaveCreatesTheRowWithTheTextAsTyped()
    {
        CashierFixture f;
        CashierWindow *w = f.open();
        ShopSettingsWindow *s = openSettings(w);
        QVERIFY(s && s->isVisible());

        // An empty table shows three empty boxes; the cashier box has the focus.
        QCOMPARE(focused(), s->cashierBox());
        QVERIFY(s->cashierBox()->text().isEmpty() && s->shopNameBox()->text().isEmpty());
        QVERIFY(s->remarkBox()->toPlainText().isEmpty());

        // Enter goes cashier, shop name, remark; in the remark it starts a new line.
        type(QStringLiteral("小李"));
        press(Qt::Key_Return);
        QCOMPARE(focused(), s->shopNameBox());
        type(QStringLiteral("      Fenwo小店"));
        press(Qt::Key_Enter);
        QCOMPARE(focused(), s->remarkBox());
        type(QStringLiteral("欢迎光临"));
        press(Qt::Key_Return);
        QCOMPARE(focused(), s->remarkBox());
        type(QStringLiteral("Tel 123"));
        QCOMPARE(s->remarkBox()->blockCount(), 2);

        press(Qt::Key_F2);
        QVERIFY(!s->isVisible());
        QCOMPARE(f.boxes->count(), 0);
        const auto rows = f.file->rows(withNames(kSettingsRow));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toString(), QStringLiteral("小李"));
        QCOMPARE(rows[0][1].toString(), QStringLiteral("      Fenwo小店"));   // blanks centre the title
        QCOMPARE(rows[0][2].toString(), QStringLiteral("欢迎光临\r\nTel 123"));
        QCOMPARE(w->cashierBox()->text(), QStringLiteral("小李"));

        // A second save edits that row; it adds none.
        s = openSettings(w);
        QCOMPARE(s->shopNameBox()->text(), QStringLiteral("      Fenwo小店"));
        QCOMPARE(s->remarkBox()->toPlainText(), QStringLiteral("欢迎光临\nTel 123"));
        QTest::mouseClick(s->saveButton(), Qt::LeftButton);
        QCOMPARE(f.file->rows(withNames(kSettingsRow)), rows);
    }

    void remarkLinesAreStoredWithCrLf_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("saved");
        QTest::newRow("one line") << "谢谢惠顾" << "谢谢惠顾" << "谢谢惠顾";
        QTest::newRow("CR LF") << "谢谢惠顾\r\n地址" << "谢谢惠顾\n地址" << "谢谢惠顾\r\n地址";
        QTest::newRow("bare LF from elsewhere") << "a\nb\n\nc" << "a\nb\n\nc" << "a\r\nb\r\n\r\nc";
        QTest::newRow("bare CR") << "a\rb" << "a\nb" << "a\r\nb";
        QTest::newRow("ends with a line break") << "a\r\n" << "a\n" << "a\r\n";
    }
    void remarkLinesAreStoredWithCrLf()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, saved);
        CashierFixture f;
        f.file->setSettings(QStringLiteral("001"), QStringLiteral("店"), stored);
        ShopSettingsWindow *s = openSettings(f.open());
        QVERIFY(s);
        QCOMPARE(s->remarkBox()->toPlainText(), shown);
        press(Qt::Key_F2);
        QCOMPARE(f.file->scalar(withNames("select {remark} from {ShopSettings}")).toString(), saved);
    }

    void tabGoesRoundWithTheCashierLast()
    {
        CashierFixture f;
        ShopSettingsWindow *s = openSettings(f.open());
        QVERIFY(s);
        s->shopNameBox()->setFocus();
        QList<QWidget *> visited;
        for (int i = 0; i < 5; ++i) {
            press(Qt::Key_Tab);
            visited << focused();
        }
        QCOMPARE(visited, (QList<QWidget *>{s->remarkBox(), s->saveButton(), s->closeButton(), s->cashierBox(), s->shopNameBox()}));
        QVERIFY(s->remarkBox()->toPlainText().isEmpty());   // Tab leaves the remark, it adds nothing
    }

    void escAndCloseDropTypedChanges()
    {
        CashierFixture f;
        f.file->setSettings(QStringLiteral("老王"), QStringLiteral("老店"), QStringLiteral("欢迎"));
        CashierWindow *w = f.open();
        const auto before = f.file->rows(withNames(kSettingsRow));

        ShopSettingsWindow *s = openSettings(w);
        QVERIFY(s);
        QCOMPARE(s->shopNameBox()->text(), QStringLiteral("老店"));
        s->shopNameBox()->setFocus();
        type(QStringLiteral("新"));
        press(Qt::Key_Escape);
        QVERIFY(!s->isVisible());
        QCOMPARE(f.file->rows(withNames(kSettingsRow)), before);
        QCOMPARE(w->cashierBox()->text(), QStringLiteral("老王"));

        // The next showing reads the row again.
        QCOMPARE(openSettings(w), s);
        QCOMPARE(s->shopNameBox()->text(), QStringLiteral("老店"));
        QCOMPARE(focused(), s->cashierBox());

        // The close button and the close mark drop changes the same way.
        for (QAbstractButton *close : {static_cast<QAbstractButton *>(s->closeButton()),
                                       static_cast<QAbstractButton *>(s->closeSpot())}) {
            s->cashierBox()->setText(QStringLiteral("改"));
            QTest::mouseClick(close, Qt::LeftButton);
            QVERIFY(!s->isVisible());
            QCOMPARE(f.file->rows(withNames(kSettingsRow)), before);
            QCOMPARE(openSettings(w), s);
            QCOMPARE(s->cashierBox()->text(), QStringLiteral("老王"));
        }
        QCOMPARE(f.boxes->count(), 0);
    }

    void askingAgainWhileOpenKeepsWhatIsTyped()
    {
        CashierFixture f;
        f.file->setSettings(QStringLiteral("老王"), QStringLiteral("老店"), QString());
        CashierWindow *w = f.open();
        ShopSettingsWindow *s = openSettings(w);
        QVERIFY(s);
        s->shopNameBox()->setFocus();
        type(QStringLiteral("新"));
        f.file->setSettings(QStringLiteral("别人"), QStringLiteral("别的店"), QString());

        w->settingsButton()->click();   // the cashier screen's button, with the window still open
        QCOMPARE(w->settingsWindow(), s);
        QVERIFY(s->isVisible());
        QCOMPARE(s->shopNameBox()->text(), QStringLiteral("老店新"));
        QCOMPARE(s->cashierBox()->text(), QStringLiteral("老王"));
    }

    void savedCashierReachesTheTillButNotRecordedLines()
    {
        CashierFixture f;
        f.file->setSettings(QStringLiteral("老王"), QStringLiteral("店"), QString());
        f.file->exec(withNames("insert into {SalesRecord} ({code}, {name}, {quantity}, {price}, {amount}, {receiptNumber}, {cashier}, {date}, {time}) "
                                    "values ('1', '可乐', 1, 3, 3, '260101093000', '老王', '2026-01-01', '09:30')"));
        CashierWindow *w = f.open();
        QCOMPARE(w->cashierBox()->text(), QStringLiteral("老王"));

        ShopSettingsWindow *s = openSettings(w);
        QVERIFY(s);
        s->cashierBox()->selectAll();
        type(QStringLiteral("小李"));
        press(Qt::Key_F2);
        QCOMPARE(w->cashierBox()->text(), QStringLiteral("小李"));
        QCOMPARE(f.file->scalar(withNames("select {cashier} from {ShopSettings}")).toString(), QStringLiteral("小李"));
        QCOMPARE(f.file->scalar(withNames("select {cashier} from {SalesRecord}")).toString(), QStringLiteral("老王"));

        QTest::keyClick(w->productBox(), Qt::Key_F5);
        SalesRecordsWindow *r = w->recordsWindow();
        QVERIFY(r);
        QCOMPARE(r->grid()->model()->index(0, 6).data().toString(), QStringLiteral("老王"));
    }

    void aRefusedWriteKeepsTheWindowAndTheTill()
    {
        CashierFixture f;
        f.file->setSettings(QStringLiteral("老王"), QStringLiteral("店"), QString());
        CashierWindow *w = f.open();
        ShopSettingsWindow *s = openSettings(w);
        QVERIFY(s);
        s->cashierBox()->setText(QStringLiteral("小李"));
        f.file->exec(withNames("drop table {ShopSettings}"));

        QTest::mouseClick(s->saveButton(), Qt::LeftButton);
        QCOMPARE(f.boxes->count(), 1);
        QCOMPARE(f.boxes->seen()[0].icon, QMessageBox::Critical);
        QVERIFY(s->isVisible());
        QCOMPARE(s->cashierBox()->text(), QStringLiteral("小李"));
        QCOMPARE(w->cashierBox()->text(), QStringLiteral("老王"));

        // Esc still closes without writing.
        QTest::keyClick(s->cashierBox(), Qt::Key_Escape);
        QVERIFY(!s->isVisible());
        QCOMPARE(f.boxes->count(), 1);
    }
};

FENWO_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
