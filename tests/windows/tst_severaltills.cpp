// Two cashier screens on one database, as two computers at one counter: a
// product saved at one reaches the other's lookups and product list, and the
// sales records list every till's lines or one till's.
#include "cashierfixture.h"
#include "fenwotestmain.h"
#include "typing.h"
#include "withnames.h"

#include "windows/cataloguemodel.h"
#include "windows/salesrecordmodel.h"
#include "windows/reportswindow.h"
#include "windows/salesrecordswindow.h"
#include "widgets/datagrid.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"

#include <QAbstractItemView>
#include <QLabel>

class TestSeveralTills : public QObject
{
    Q_OBJECT

    std::unique_ptr<CashierFixture> f;
    std::unique_ptr<TillSession> other;   // the second till, on the same database

    CashierWindow *openOther()
    {
        other = std::make_unique<TillSession>(f->file->path(), 2);
        Till::openingCashAsked(other->database(), QDate::currentDate());
        other->window().show();
        QApplication::processEvents();
        return &other->window();
    }

    static void scan(CashierWindow *w, const QString &code)
    {
        w->productBox()->setEditText(QString());
        typeText(w->productBox(), code);
        QTest::keyClick(w->productBox(), Qt::Key_Return);
    }

private slots:
    void init()
    {
        f = std::make_unique<CashierFixture>();
        f->file->addProduct(QStringLiteral("6901"), QStringLiteral("康师傅红烧牛肉面"), 4.5);
    }
    void cleanup()
    {
        other.reset();
        f.reset();
    }

    void aProductSavedAtOneTillReachesTheOthersListAndLookup()
    {
        if (!TestDatabase::onServer())
            QSKIP("one till to a data file");
        CashierWindow *first = f->open();
        CashierWindow *second = openOther();
        QCOMPARE(second->productBox()->items(), QStringList{QStringLiteral("康师傅红烧牛肉面")});
        // The cashier at the second till is typing meanwhile.
        second->productBox()->setEditText(QStringLiteral("可"));

        {
            CatalogueModel catalogue(first->database());
            catalogue.listAll();
            const int row = catalogue.appendRow();
            catalogue.setData(catalogue.index(row, CatalogueModel::Code), QStringLiteral("6902"));
            catalogue.setData(catalogue.index(row, CatalogueModel::Name), QStringLiteral("可口可乐"));
            catalogue.setData(catalogue.index(row, CatalogueModel::Price), QStringLiteral("3"));
            catalogue.writePendingRow();
        }
        // How soon: bench_tills.
        QTRY_VERIFY_WITH_TIMEOUT(second->productBox()->items().contains(QStringLiteral("可口可乐")), 10000);
        QCOMPARE(second->productBox()->currentText(), QStringLiteral("可"));

        scan(second, QStringLiteral("6902"));
        QCOMPARE(f->boxes->count(), 0);
        QCOMPARE(second->totalAmountLabel()->text(), QStringLiteral("3"));
        QCOMPARE(f->file->rows(withNames("select {name}, {till} from {OpenSale}")),
                 (QList<QVariantList>{{QStringLiteral("可口可乐"), 2}}));
    }

    void theRecordsListEveryTillOrOne()
    {
        CashierWindow *first = f->open(QString(), ReceiptPrinter::create(QStringLiteral("pdf:") + f->file->folder()));
        CashierWindow *second = openOther();
        second->setReceiptPrinter(ReceiptPrinter::create(QStringLiteral("pdf:") + f->file->folder()));
        scan(first, QStringLiteral("6901"));
        QTest::keyClick(first->productBox(), Qt::Key_F12);
        for (int i = 0; i < 2; ++i)
            scan(second, QStringLiteral("6901"));
        QTest::keyClick(second->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 0);
        QCOMPARE(f->file->rows(withNames("select {till}, count(*) from {SalesRecord} group by {till} order by {till}")),
                 (QList<QVariantList>{{1, 1}, {2, 2}}));

        first->openRecords();
        SalesRecordsWindow *records = first->recordsWindow();
        QVERIFY(records);
        QCOMPARE(records->tillBox()->items(), (QStringList{QStringLiteral("全部"), QStringLiteral("1 号"), QStringLiteral("2 号")}));
        QCOMPARE(records->grid()->model()->rowCount(), 3);
        QCOMPARE(records->totalAmountLabel()->text(), QStringLiteral("13.5"));

        records->showTill(2);
        QCOMPARE(records->grid()->model()->rowCount(), 2);
        QCOMPARE(records->totalQuantityLabel()->text(), QStringLiteral("2"));
        QCOMPARE(records->totalAmountLabel()->text(), QStringLiteral("9"));
        // Shown again, the window keeps to that till.
        records->close();
        first->openRecords();
        QCOMPARE(records->tillBox()->currentText(), QStringLiteral("2 号"));
        QCOMPARE(records->grid()->model()->rowCount(), 2);
        records->close();

        // The report of today: the whole shop, or one till; a Z report only for the shop.
        first->openReports();
        ReportsWindow *reports = first->reportsWindow();
        QVERIFY(reports);
        QCOMPARE(reports->tillBox()->items(), (QStringList{QStringLiteral("全部"), QStringLiteral("1 号"), QStringLiteral("2 号")}));
        QCOMPARE(reports->figureLabel(ReportsWindow::Figure::Takings)->text(), QStringLiteral("13.5"));
        QCOMPARE(reports->figureLabel(ReportsWindow::Figure::Receipts)->text(), QStringLiteral("2"));
        reports->showTill(1);
        QCOMPARE(reports->figureLabel(ReportsWindow::Figure::Takings)->text(), QStringLiteral("4.5"));
        QCOMPARE(reports->figureLabel(ReportsWindow::Figure::Receipts)->text(), QStringLiteral("1"));
    }
};

FENWO_TEST_MAIN(TestSeveralTills)
#include "tst_severaltills.moc"
