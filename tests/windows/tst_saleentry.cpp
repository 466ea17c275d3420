#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "typing.h"

#include "db/numbertext.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/apperrorbox.h"
#include "widgets/datagrid.h"

#include <QHeaderView>
#include <QLabel>

namespace {

struct Line
{
    QString code, name, quantity, price, amount;
};

QList<Line> storedLines(TestDatabase &db)
{
    QList<Line> out;
    for (const QVariantList &r : db.rows(QStringLiteral("select 编码, 品名, 数量, 单价, 金额 from xiaoshou order by id"))) {
        out << Line{r[0].toString(), r[1].toString(),
                    r[2].isNull() ? QString() : formatGeneral(r[2].toDouble()),
                    r[3].isNull() ? QString() : formatGeneral(r[3].toDouble()),
                    r[4].isNull() ? QString() : formatGeneral(r[4].toDouble())};
    }
    return out;
}

void enter(QWidget *w)
{
    QTest::keyClick(w, Qt::Key_Return);
}

// Clicks a cell of the grid as the cashier does.
void clickCell(DataGrid *grid, int row, int column)
{
    const QRect r = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
}

} // namespace

class TestSaleEntry : public QObject
{
    Q_OBJECT

    std::unique_ptr<CashierFixture> f;
    CashierWindow *w = nullptr;

private slots:
    void init()
    {
        f = std::make_unique<CashierFixture>();
        f->file->addProduct(QStringLiteral("6901028075831"), QStringLiteral("中华香烟"), 45);
        f->file->addProduct(QStringLiteral("6920459950180"), QStringLiteral("康师傅红烧牛肉面"), 4);
        f->file->addProduct(QStringLiteral("100"), QStringLiteral("一毛"), 0.1);
        f->file->addProduct(QStringLiteral("200"), QStringLiteral("两毛"), 0.2);
        f->file->addProduct(QStringLiteral("t1"), QStringLiteral("Tom's"), 6.5);
        f->file->addProduct(QStringLiteral("b1"), QStringLiteral("苹果"), 5);
        w = f->open();
    }
    void cleanup()
    {
        f.reset();
        w = nullptr;
    }

    // ---- lookup by code or name ------------------------------------------

    void aScannedCodeIsAddedAtOnce()
    {
        typeText(w->FlatComboBox1, QStringLiteral("6901028075831"));
        enter(w->FlatComboBox1);
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].code, QStringLiteral("6901028075831"));
        QCOMPARE(lines[0].name, QStringLiteral("中华香烟"));
        QCOMPARE(lines[0].quantity, QStringLiteral("1"));
        QCOMPARE(lines[0].price, QStringLiteral("45"));
        QCOMPARE(w->FlatComboBox1->currentText(), QString());
        QCOMPARE(w->focusWidget(), w->FlatComboBox1);
        QCOMPARE(w->Label12->text(), QStringLiteral("1"));
        QCOMPARE(w->Label13->text(), QStringLiteral("45"));
        QCOMPARE(w->DBGrid1->model()->rowCount(), 1);
        QCOMPARE(w->DBGrid1->model()->index(0, 0).data().toString(), QStringLiteral("6901028075831"));
    }

    void enterOnAnEmptyBoxAsksForACodeOrName()
    {
        w->FlatEdit4->setText(QStringLiteral("3"));
        w->FlatEdit7->setText(QStringLiteral("9"));
        w->FlatComboBox1->setFocus();
        enter(w->FlatComboBox1);
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(f->boxes->seen()[0].text, QStringLiteral("提示：请输入商品编码或品名!"));
        QCOMPARE(f->boxes->seen()[0].title, AppBoxes::applicationTitle());
        QCOMPARE(f->boxes->seen()[0].icon, QMessageBox::NoIcon);
        QCOMPARE(w->FlatEdit4->text(), QStringLiteral("1"));
        QCOMPARE(w->FlatEdit7->text(), QString());
        QCOMPARE(w->focusWidget(), w->FlatComboBox1);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);
    }

    void goodsTheCatalogueLacksTakeATypedPrice()
    {
        typeText(w->FlatComboBox1, QStringLiteral("散装糖果"));
        enter(w->FlatComboBox1);
        QCOMPARE(w->focusWidget(), w->FlatEdit7);
        typeText(w->FlatEdit7, QStringLiteral("5"));
        enter(w->FlatEdit7);
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].code, QStringLiteral("-"));
        QCOMPARE(lines[0].name, QStringLiteral("散装糖果"));
        QCOMPARE(lines[0].amount, QStringLiteral("5"));
        // A failed lookup's empty result also gives "-" to the next hand-typed line.
        typeText(w->FlatComboBox1, QStringLiteral("白糖"));
        w->FlatEdit7->setText(QStringLiteral("2"));
        QTest::keyClick(w->FlatComboBox1, Qt::Key_F10);
        QCOMPARE(storedLines(*f->file).value(1).code, QStringLiteral("-"));
    }

    void withoutAutoAddTheQuantityComesFirst()
    {
        w->FlatCheckBox3->setChecked(false);
        typeText(w->FlatComboBox1, QStringLiteral("6920459950180"));
        enter(w->FlatComboBox1);
        QCOMPARE(w->focusWidget(), w->FlatEdit4);
        QCOMPARE(w->FlatEdit4->selectedText(), QStringLiteral("1"));
        QCOMPARE(w->FlatComboBox1->currentText(), QStringLiteral("康师傅红烧牛肉面"));
        QCOMPARE(w->FlatEdit7->text(), QStringLiteral("4"));
        typeText(w->FlatEdit4, QStringLiteral("3"));
        enter(w->FlatEdit4);
        QCOMPARE(w->focusWidget(), w->FlatEdit7);
        enter(w->FlatEdit7);
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].quantity, QStringLiteral("3"));
        QCOMPARE(lines[0].amount, QStringLiteral("12"));
        QCOMPARE(w->Label13->text(), QStringLiteral("12"));
    }

    void blanksAroundANameAreIgnoredByTheLookupButKeptByHand()
    {
        typeText(w->FlatComboBox1, QStringLiteral("  苹果 "));
        enter(w->FlatComboBox1);
        QCOMPARE(storedLines(*f->file).value(0).name, QStringLiteral("苹果"));
        QCOMPARE(storedLines(*f->file).value(0).code, QStringLiteral("b1"));

        typeText(w->FlatComboBox1, QStringLiteral(" 梨 "));
        enter(w->FlatComboBox1);
        typeText(w->FlatEdit7, QStringLiteral("3"));
        enter(w->FlatEdit7);
        QCOMPARE(storedLines(*f->file).value(1).name, QStringLiteral(" 梨 "));
    }

    void aQuoteIsJustACharacter()
    {
        typeText(w->FlatComboBox1, QStringLiteral("Tom's"));
        enter(w->FlatComboBox1);
        QCOMPARE(f->boxes->count(), 0);
        QCOMPARE(storedLines(*f->file).value(0).code, QStringLiteral("t1"));
        QCOMPARE(f->file->count(QStringLiteral("spinfo")), 6);
    }

    void aChangedNameKeepsTheFoundCode()
    {
        w->FlatCheckBox3->setChecked(false);
        typeText(w->FlatComboBox1, QStringLiteral("b1"));
        enter(w->FlatComboBox1);
        w->FlatComboBox1->setEditText(QStringLiteral("红苹果"));
        QTest::keyClick(w->FlatEdit4, Qt::Key_F10, Qt::ShiftModifier);
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].code, QStringLiteral("b1"));
        QCOMPARE(lines[0].name, QStringLiteral("红苹果"));
    }

    void addingBeforeAnyLookupStoresADash()
    {
        w->FlatComboBox1->setEditText(QStringLiteral("杂货"));
        w->FlatEdit7->setText(QStringLiteral("1.5"));
        QTest::keyClick(w->FlatComboBox1, Qt::Key_F10);
        QCOMPARE(f->boxes->count(), 0);
        QCOMPARE(storedLines(*f->file).value(0).code, QStringLiteral("-"));
        // Add with an empty name or price does nothing, silently.
        w->FlatEdit7->setText(QStringLiteral("2"));
        QTest::keyClick(w->FlatComboBox1, Qt::Key_F10);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 1);
        QCOMPARE(f->boxes->count(), 0);
    }

    void choosingAListEntryLooksItUp()
    {
        const int index = w->FlatComboBox1->items().indexOf(QStringLiteral("苹果"));
        QVERIFY(index >= 0);
        w->FlatComboBox1->setFocus();
        w->FlatComboBox1->setCurrentIndex(index - 1 >= 0 ? index - 1 : 0);
        if (index == 0)
            QSKIP("the list order put the entry first");
        // An arrow key moves the selection: with auto-add the chosen product is added.
        QTest::keyClick(w->FlatComboBox1, Qt::Key_Down);
        QCOMPARE(w->FlatComboBox1->currentText().isEmpty(), true);
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].name, QStringLiteral("苹果"));
        QCOMPARE(lines[0].price, QStringLiteral("5"));
        QCOMPARE(lines[0].code, QStringLiteral("b1"));
    }

    // ---- amounts and totals ------------------------------------------------

    void amountsAndTotalsUseTheGeneralNumberText()
    {
        w->FlatCheckBox3->setChecked(false);
        typeText(w->FlatComboBox1, QStringLiteral("散装"));
        enter(w->FlatComboBox1);
        w->FlatEdit4->setText(QStringLiteral("2.5"));
        w->FlatEdit7->setText(QStringLiteral("4"));
        QTest::keyClick(w->FlatEdit7, Qt::Key_F10);
        QCOMPARE(storedLines(*f->file).value(0).amount, QStringLiteral("10"));
        QCOMPARE(w->Label12->text(), QStringLiteral("2.5"));
        QCOMPARE(w->Label13->text(), QStringLiteral("10"));

        QTest::keyClick(w->FlatComboBox1, Qt::Key_Delete);
        w->FlatCheckBox3->setChecked(true);
        for (const char *code : {"100", "200"}) {
            typeText(w->FlatComboBox1, QString::fromLatin1(code));
            enter(w->FlatComboBox1);
        }
        QCOMPARE(w->Label13->text(), QStringLiteral("0.3"));
        QCOMPARE(w->Label12->text(), QStringLiteral("2"));
    }

    void anEmptyQuantityCountsAsNothing()
    {
        w->FlatCheckBox3->setChecked(false);
        typeText(w->FlatComboBox1, QStringLiteral("苹果"));
        enter(w->FlatComboBox1);
        w->FlatEdit4->clear();
        QTest::keyClick(w->FlatEdit4, Qt::Key_F10);
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].quantity, QString());
        QCOMPARE(lines[0].amount, QStringLiteral("0"));
        QCOMPARE(w->Label12->text(), QStringLiteral("0"));
    }

    void aPriceThatIsNotANumberIsRefused()
    {
        typeText(w->FlatComboBox1, QStringLiteral("苹果"));
        enter(w->FlatComboBox1);   // one good line: totals 1 and 5
        typeText(w->FlatComboBox1, QStringLiteral("散装"));
        enter(w->FlatComboBox1);
        typeText(w->FlatEdit7, QStringLiteral("100,5"));
        enter(w->FlatEdit7);
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(f->boxes->lastText(), QStringLiteral("'100,5' is not a valid floating point value."));
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 1);
        QCOMPARE(w->DBGrid1->model()->rowCount(), 1);
        QCOMPARE(w->FlatEdit7->text(), QStringLiteral("100,5"));
        QCOMPARE(w->FlatComboBox1->currentText(), QStringLiteral("散装"));
        QCOMPARE(w->Label13->text(), QStringLiteral("5"));
        // Corrected, the same line goes in.
        w->FlatEdit7->setText(QStringLiteral("100.5"));
        enter(w->FlatEdit7);
        QCOMPARE(w->Label13->text(), QStringLiteral("105.5"));
    }

    // ---- changing and deleting lines --------------------------------------

    void clickLoadsALineAndF9ChangesIt()
    {
        for (const char *code : {"b1", "6920459950180"}) {
            typeText(w->FlatComboBox1, QString::fromLatin1(code));
            enter(w->FlatComboBox1);
        }
        QApplication::processEvents();
        clickCell(w->DBGrid1, 0, 2);
        QCOMPARE(w->FlatComboBox1->currentText(), QStringLiteral("苹果"));
        QCOMPARE(w->FlatEdit4->text(), QStringLiteral("1"));
        QCOMPARE(w->FlatEdit7->text(), QStringLiteral("5"));
        QCOMPARE(w->focusWidget(), w->DBGrid1);
        w->FlatEdit4->setText(QStringLiteral("4"));
        QTest::keyClick(w->DBGrid1, Qt::Key_F9);
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines[0].quantity, QStringLiteral("4"));
        QCOMPARE(lines[0].amount, QStringLiteral("20"));
        QCOMPARE(lines[0].code, QStringLiteral("b1"));
        QCOMPARE(lines[1].quantity, QStringLiteral("1"));
        QCOMPARE(w->FlatComboBox1->currentText(), QString());
        QCOMPARE(w->FlatEdit4->text(), QStringLiteral("1"));
        QCOMPARE(w->FlatEdit7->text(), QString());
        QCOMPARE(w->Label13->text(), QStringLiteral("24"));
    }

    void modifyWithoutLinesDoesNothing()
    {
        w->FlatComboBox1->setEditText(QStringLiteral("苹果"));
        w->FlatEdit7->setText(QStringLiteral("5"));
        QTest::keyClick(w->FlatEdit7, Qt::Key_F9);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);
        QCOMPARE(f->boxes->count(), 0);
    }

    void deleteRemovesTheLastAddedLineAndACharacter()
    {
        for (const char *code : {"b1", "6920459950180"}) {
            typeText(w->FlatComboBox1, QString::fromLatin1(code));
            enter(w->FlatComboBox1);
        }
        w->FlatEdit4->setText(QStringLiteral("12"));
        w->FlatEdit4->setFocus();
        w->FlatEdit4->setCursorPosition(0);
        QTest::keyClick(w->FlatEdit4, Qt::Key_Delete);
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].code, QStringLiteral("b1"));
        QCOMPARE(w->FlatEdit4->text(), QStringLiteral("2"));
        QCOMPARE(w->Label13->text(), QStringLiteral("5"));
        QTest::keyClick(w->FlatEdit4, Qt::Key_Delete);
        QTest::keyClick(w->FlatEdit4, Qt::Key_Delete);   // no line left: nothing happens
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);
        QCOMPARE(w->Label13->text(), QStringLiteral("0"));
        QCOMPARE(f->boxes->count(), 0);
    }

    void titleClicksSortWithOneSharedToggle()
    {
        w->FlatCheckBox3->setChecked(false);
        const QList<QPair<QString, QString>> lines = {{"乙", "3"}, {"甲", "1"}, {"丙", "2"}};
        for (const auto &[name, quantity] : lines) {
            w->FlatComboBox1->setEditText(name);
            w->FlatEdit4->setText(quantity);
            w->FlatEdit7->setText(QStringLiteral("1"));
            QTest::keyClick(w->FlatEdit7, Qt::Key_F10);
        }
        auto column = [&](int c) {
            QStringList out;
            for (int r = 0; r < w->DBGrid1->model()->rowCount(); ++r)
                out << w->DBGrid1->model()->index(r, c).data().toString();
            return out;
        };
        auto clickTitle = [&](int c) {
            QHeaderView *h = w->DBGrid1->horizontalHeader();
            QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                              QPoint(h->sectionViewportPosition(c) + 5, h->height() / 2));
        };
        clickTitle(1);
        QStringList names = column(1);
        QStringList descending = names;
        std::sort(descending.begin(), descending.end(), std::greater<>());
        QCOMPARE(names, descending);
        clickTitle(2);
        QCOMPARE(column(2), (QStringList{"1", "2", "3"}));
        clickTitle(2);
        QCOMPARE(column(2), (QStringList{"3", "2", "1"}));
        // Sorting is only on screen: the table is unchanged.
        QCOMPARE(storedLines(*f->file).value(0).name, QStringLiteral("乙"));
    }

    void enterInTheGridMovesRightAndStopsAtTheLastColumn()
    {
        typeText(w->FlatComboBox1, QStringLiteral("b1"));
        enter(w->FlatComboBox1);
        QApplication::processEvents();
        clickCell(w->DBGrid1, 0, 3);
        QTest::keyClick(w->DBGrid1, Qt::Key_Return);
        QCOMPARE(w->DBGrid1->currentIndex().column(), 4);
        QTest::keyClick(w->DBGrid1, Qt::Key_Return);
        QCOMPARE(w->DBGrid1->currentIndex().column(), 4);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 1);
    }

    // ---- payment -----------------------------------------------------------

    void changeIsReceivedLessTotal_data()
    {
        QTest::addColumn<QString>("received");
        QTest::addColumn<QString>("change");
        QTest::newRow("change back") << "100" << "76.3";
        QTest::newRow("short") << "20" << "-3.7";
        QTest::newRow("exact") << "23.7" << "0";
    }
    void changeIsReceivedLessTotal()
    {
        QFETCH(QString, received);
        QFETCH(QString, change);
        w->FlatCheckBox3->setChecked(false);
        w->FlatComboBox1->setEditText(QStringLiteral("货"));
        w->FlatEdit7->setText(QStringLiteral("23.7"));
        QTest::keyClick(w->FlatEdit7, Qt::Key_F10);
        QCOMPARE(w->Label13->text(), QStringLiteral("23.7"));
        QTest::keyClick(w->FlatComboBox1, Qt::Key_F11);
        QCOMPARE(w->focusWidget(), w->FlatEdit5);
        typeText(w->FlatEdit5, received);
        enter(w->FlatEdit5);
        QCOMPARE(w->FlatEdit6->text(), change);
        QCOMPARE(w->focusWidget(), w->FlatEdit6);
        // Typing into the change box does nothing.
        typeText(w->FlatEdit6, QStringLiteral("9"));
        QCOMPARE(w->FlatEdit6->text(), change);
    }

    void changeWithNoLinesIsTheAmountReceived()
    {
        w->FlatEdit5->setFocus();
        typeText(w->FlatEdit5, QStringLiteral("50"));
        enter(w->FlatEdit5);
        QCOMPARE(w->FlatEdit6->text(), QStringLiteral("50"));
    }

    void anAmountReceivedThatIsNotANumberIsRefused_data()
    {
        QTest::addColumn<QString>("received");
        QTest::newRow("empty") << "";
        QTest::newRow("comma") << "100,5";
    }
    void anAmountReceivedThatIsNotANumberIsRefused()
    {
        QFETCH(QString, received);
        w->FlatEdit6->setText(QStringLiteral("7"));
        w->FlatEdit5->setFocus();
        typeText(w->FlatEdit5, received);
        enter(w->FlatEdit5);
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(f->boxes->lastText(), QStringLiteral("'%1' is not a valid floating point value.").arg(received));
        QCOMPARE(w->FlatEdit6->text(), QStringLiteral("7"));
        QCOMPARE(w->focusWidget(), w->FlatEdit5);
    }

    // ---- a barcode scanner -------------------------------------------------

    void twoHundredScansBackToBackGiveTwoHundredLines()
    {
        QStringList codes;
        for (int i = 0; i < 50; ++i) {
            const QString code = QStringLiteral("69%1").arg(10000000000LL + i * 7919LL, 11, 10, QLatin1Char('0'));
            f->file->addProduct(code, QStringLiteral("商品%1").arg(i), 0.1 * (i + 1));
            codes << code;
        }
        w->FlatComboBox1->setFocus();
        QStringList scanned;
        double expected = 0;
        for (int i = 0; i < 200; ++i) {
            const QString code = codes[(i * 13) % codes.size()];
            scanned << code;
            expected += 0.1 * ((i * 13) % codes.size() + 1);
            // A scanner types into whatever has the focus: the product box again after each add.
            QWidget *target = QApplication::focusWidget();
            QTest::keyClicks(target, code);
            QTest::keyClick(target, Qt::Key_Return);
        }
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 200);
        for (int i = 0; i < 200; ++i)
            QCOMPARE(lines[i].code, scanned[i]);
        QCOMPARE(w->Label12->text(), QStringLiteral("200"));
        QCOMPARE(w->Label13->text(), formatGeneral(expected));
        QCOMPARE(w->DBGrid1->model()->rowCount(), 200);
        QCOMPARE(f->boxes->count(), 0);
    }
};

FENWO_TEST_MAIN(TestSaleEntry)
#include "tst_saleentry.moc"
