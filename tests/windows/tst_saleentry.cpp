#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "typing.h"

#include "base/numbertext.h"
#include "storage/tillsettings.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/apperrorbox.h"
#include "widgets/datagrid.h"
#include "windows/heldsalesdialog.h"
#include "whenmodalshows.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QTemporaryDir>

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

// Where the program delivers a key: to an open list, or to the focused control.
QWidget *keyTarget()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    return QApplication::focusWidget();
}

// Keys as a keyboard or a scanner sends them, each to wherever it goes.
void press(const QString &keys)
{
    for (const QChar c : keys)
        QTest::keyClick(keyTarget(), c.toLatin1());
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(keyTarget(), key, modifiers);
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
        typeText(w->productBox(), QStringLiteral("6901028075831"));
        enter(w->productBox());
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].code, QStringLiteral("6901028075831"));
        QCOMPARE(lines[0].name, QStringLiteral("中华香烟"));
        QCOMPARE(lines[0].quantity, QStringLiteral("1"));
        QCOMPARE(lines[0].price, QStringLiteral("45"));
        QCOMPARE(w->productBox()->currentText(), QString());
        QCOMPARE(w->focusWidget(), w->productBox());
        QCOMPARE(w->totalQuantityLabel()->text(), QStringLiteral("1"));
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("45"));
        QCOMPARE(w->saleGrid()->model()->rowCount(), 1);
        QCOMPARE(w->saleGrid()->model()->index(0, 0).data().toString(), QStringLiteral("6901028075831"));
    }

    void enterOnAnEmptyBoxAsksForACodeOrName()
    {
        w->quantityBox()->setText(QStringLiteral("3"));
        w->priceBox()->setText(QStringLiteral("9"));
        w->productBox()->setFocus();
        enter(w->productBox());
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(f->boxes->seen()[0].text, QStringLiteral("提示：请输入商品编码或品名!"));
        QCOMPARE(f->boxes->seen()[0].title, AppBoxes::applicationTitle());
        QCOMPARE(f->boxes->seen()[0].icon, QMessageBox::NoIcon);
        QCOMPARE(w->quantityBox()->text(), QStringLiteral("1"));
        QCOMPARE(w->priceBox()->text(), QString());
        QCOMPARE(w->focusWidget(), w->productBox());
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);
    }

    void goodsTheCatalogueLacksTakeATypedPrice()
    {
        typeText(w->productBox(), QStringLiteral("散装糖果"));
        enter(w->productBox());
        QCOMPARE(w->focusWidget(), w->priceBox());
        typeText(w->priceBox(), QStringLiteral("5"));
        enter(w->priceBox());
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].code, QStringLiteral("-"));
        QCOMPARE(lines[0].name, QStringLiteral("散装糖果"));
        QCOMPARE(lines[0].amount, QStringLiteral("5"));
        // A failed lookup's empty result also gives "-" to the next hand-typed line.
        typeText(w->productBox(), QStringLiteral("白糖"));
        w->priceBox()->setText(QStringLiteral("2"));
        QTest::keyClick(w->productBox(), Qt::Key_F10);
        QCOMPARE(storedLines(*f->file).value(1).code, QStringLiteral("-"));
    }

    void withoutAutoAddTheQuantityComesFirst()
    {
        w->autoAddBox()->setChecked(false);
        typeText(w->productBox(), QStringLiteral("6920459950180"));
        enter(w->productBox());
        QCOMPARE(w->focusWidget(), w->quantityBox());
        QCOMPARE(w->quantityBox()->selectedText(), QStringLiteral("1"));
        QCOMPARE(w->productBox()->currentText(), QStringLiteral("康师傅红烧牛肉面"));
        QCOMPARE(w->priceBox()->text(), QStringLiteral("4"));
        typeText(w->quantityBox(), QStringLiteral("3"));
        enter(w->quantityBox());
        QCOMPARE(w->focusWidget(), w->priceBox());
        enter(w->priceBox());
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].quantity, QStringLiteral("3"));
        QCOMPARE(lines[0].amount, QStringLiteral("12"));
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("12"));
    }

    // F10 after a lookup or a click in the grid: the code goes with the
    // goods named in the box, and a name typed over them has no known code.
    void theCodeGoesWithTheNameInTheBox()
    {
        w->autoAddBox()->setChecked(false);
        typeText(w->productBox(), QStringLiteral("b1"));
        enter(w->productBox());
        w->productBox()->setEditText(QStringLiteral("红苹果"));
        QTest::keyClick(w->quantityBox(), Qt::Key_F10, Qt::ShiftModifier);
        typeText(w->productBox(), QStringLiteral("6920459950180"));
        enter(w->productBox());
        QTest::keyClick(w->quantityBox(), Qt::Key_F10);
        QApplication::processEvents();

        // Click the first line, then F10: another line of the clicked goods.
        clickCell(w->saleGrid(), 0, 1);
        QCOMPARE(w->productBox()->currentText(), QStringLiteral("红苹果"));
        QTest::keyClick(w->saleGrid(), Qt::Key_F10);
        clickCell(w->saleGrid(), 1, 1);
        QTest::keyClick(w->saleGrid(), Qt::Key_F10);
        // Clicked, then renamed: other goods.
        clickCell(w->saleGrid(), 1, 1);
        w->productBox()->setEditText(QStringLiteral("康师傅"));
        QTest::keyClick(w->saleGrid(), Qt::Key_F10);

        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0].code, QStringLiteral("-"));
        QCOMPARE(lines[0].name, QStringLiteral("红苹果"));
        QCOMPARE(lines[1].code, QStringLiteral("6920459950180"));
        QCOMPARE(lines[2].code, QStringLiteral("-"));
        QCOMPARE(lines[2].name, QStringLiteral("红苹果"));
        QCOMPARE(lines[3].code, QStringLiteral("6920459950180"));
        QCOMPARE(lines[3].name, QStringLiteral("康师傅红烧牛肉面"));
        QCOMPARE(lines[4].code, QStringLiteral("-"));
        QCOMPARE(lines[4].name, QStringLiteral("康师傅"));
    }

    void addingBeforeAnyLookupStoresADash()
    {
        w->productBox()->setEditText(QStringLiteral("杂货"));
        w->priceBox()->setText(QStringLiteral("1.5"));
        QTest::keyClick(w->productBox(), Qt::Key_F10);
        QCOMPARE(f->boxes->count(), 0);
        QCOMPARE(storedLines(*f->file).value(0).code, QStringLiteral("-"));
        // Add with an empty name or price does nothing, silently.
        w->priceBox()->setText(QStringLiteral("2"));
        QTest::keyClick(w->productBox(), Qt::Key_F10);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 1);
        QCOMPARE(f->boxes->count(), 0);
    }

    void choosingAListEntryLooksItUp()
    {
        const int index = w->productBox()->items().indexOf(QStringLiteral("苹果"));
        QVERIFY(index >= 0);
        w->productBox()->setFocus();
        w->productBox()->setCurrentIndex(index - 1 >= 0 ? index - 1 : 0);
        if (index == 0)
            QSKIP("the list order put the entry first");
        // An arrow key moves the selection: with auto-add the chosen product is added.
        QTest::keyClick(w->productBox(), Qt::Key_Down);
        QCOMPARE(w->productBox()->currentText().isEmpty(), true);
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].name, QStringLiteral("苹果"));
        QCOMPARE(lines[0].price, QStringLiteral("5"));
        QCOMPARE(lines[0].code, QStringLiteral("b1"));
    }

    // ---- keys while the product list is open ------------------------------

    // The list opened with the mouse and an entry highlighted: a scan still
    // rings up exactly the scanned product.
    void aScanWithTheListOpenRingsUpTheScannedProduct()
    {
        FlatComboBox *box = w->productBox();
        QTest::mouseClick(box, Qt::LeftButton, {}, box->arrowButtonRect().center());
        QTRY_VERIFY(box->isListOpen());
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        QVERIFY(box->view()->currentIndex().isValid());
        press(QStringLiteral("6901028075831"));
        QVERIFY(!box->isListOpen());
        press(Qt::Key_Return);
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].code, QStringLiteral("6901028075831"));
        QCOMPARE(lines[0].name, QStringLiteral("中华香烟"));
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("45"));
        QCOMPARE(box->currentText(), QString());
        QCOMPARE(w->focusWidget(), box);
    }

    // Arrows only move the highlight; Enter takes the highlighted entry. With
    // nothing highlighted Enter looks up what was typed.
    void arrowsInTheOpenListOnlyMoveTheHighlight()
    {
        FlatComboBox *box = w->productBox();
        box->setFocus();
        press(Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(box->isListOpen());
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        press(Qt::Key_Up);
        press(Qt::Key_PageDown);
        press(Qt::Key_Home);
        press(Qt::Key_Down);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);
        QVERIFY(box->isListOpen());
        QCOMPARE(box->currentText(), QString());
        const QString highlighted = box->view()->currentIndex().data().toString();
        QCOMPARE(highlighted, box->items().value(1));
        press(Qt::Key_Return);
        QVERIFY(!box->isListOpen());
        QCOMPARE(storedLines(*f->file).size(), 1);
        QCOMPARE(storedLines(*f->file).value(0).name, highlighted);

        // Alt+Down closes the list again without taking anything.
        press(Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(box->isListOpen());
        press(Qt::Key_Down);
        press(Qt::Key_Down, Qt::AltModifier);
        QVERIFY(!box->isListOpen());
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 1);

        box->showPopup();
        QTRY_VERIFY(box->isListOpen());
        box->view()->setCurrentIndex(QModelIndex());
        press(QStringLiteral("b1"));
        press(Qt::Key_Return);
        QCOMPARE(storedLines(*f->file).value(1).code, QStringLiteral("b1"));
    }

    // "F11, 50, Enter" takes the amount received, list open or not.
    void f11WithTheListOpenGoesToTheAmountReceived()
    {
        typeText(w->productBox(), QStringLiteral("b1"));
        enter(w->productBox());
        w->productBox()->showPopup();
        QTRY_VERIFY(w->productBox()->isListOpen());
        press(Qt::Key_Down);
        press(Qt::Key_F11);
        QVERIFY(!w->productBox()->isListOpen());
        QCOMPARE(QApplication::focusWidget(), w->receivedBox());
        press(QStringLiteral("50"));
        press(Qt::Key_Return);
        QCOMPARE(w->changeBox()->text(), QStringLiteral("45"));
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 1);
        QCOMPARE(f->boxes->count(), 0);
    }

    // ---- amounts and totals ------------------------------------------------

    void aPriceThatIsNotANumberIsRefused()
    {
        typeText(w->productBox(), QStringLiteral("苹果"));
        enter(w->productBox());   // one good line: totals 1 and 5
        typeText(w->productBox(), QStringLiteral("散装"));
        enter(w->productBox());
        typeText(w->priceBox(), QStringLiteral("100,5"));
        enter(w->priceBox());
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(f->boxes->lastText(), QStringLiteral("'100,5' is not a valid floating point value."));
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 1);
        QCOMPARE(w->saleGrid()->model()->rowCount(), 1);
        QCOMPARE(w->priceBox()->text(), QStringLiteral("100,5"));
        QCOMPARE(w->productBox()->currentText(), QStringLiteral("散装"));
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("5"));
        // Corrected, the same line goes in.
        w->priceBox()->setText(QStringLiteral("100.5"));
        enter(w->priceBox());
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("105.5"));
    }

    // ---- changing and deleting lines --------------------------------------

    void clickLoadsALineAndF9ChangesIt()
    {
        for (const char *code : {"b1", "6920459950180"}) {
            typeText(w->productBox(), QString::fromLatin1(code));
            enter(w->productBox());
        }
        QApplication::processEvents();
        clickCell(w->saleGrid(), 0, 2);
        QCOMPARE(w->productBox()->currentText(), QStringLiteral("苹果"));
        QCOMPARE(w->quantityBox()->text(), QStringLiteral("1"));
        QCOMPARE(w->priceBox()->text(), QStringLiteral("5"));
        QCOMPARE(w->focusWidget(), w->saleGrid());
        w->quantityBox()->setText(QStringLiteral("4"));
        QTest::keyClick(w->saleGrid(), Qt::Key_F9);
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines[0].quantity, QStringLiteral("4"));
        QCOMPARE(lines[0].amount, QStringLiteral("20"));
        QCOMPARE(lines[0].code, QStringLiteral("b1"));
        QCOMPARE(lines[1].quantity, QStringLiteral("1"));
        QCOMPARE(w->productBox()->currentText(), QString());
        QCOMPARE(w->quantityBox()->text(), QStringLiteral("1"));
        QCOMPARE(w->priceBox()->text(), QString());
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("24"));
        // After the change the last line is current again: Delete takes it.
        QTest::keyClick(w->saleGrid(), Qt::Key_Delete);
        QCOMPARE(storedLines(*f->file).size(), 1);
        QCOMPARE(storedLines(*f->file).value(0).code, QStringLiteral("b1"));
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("20"));
    }

    void modifyWithoutLinesDoesNothing()
    {
        w->productBox()->setEditText(QStringLiteral("苹果"));
        w->priceBox()->setText(QStringLiteral("5"));
        QTest::keyClick(w->priceBox(), Qt::Key_F9);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);
        QCOMPARE(f->boxes->count(), 0);
    }

    void deleteRemovesTheLastAddedLineAndACharacter()
    {
        for (const char *code : {"b1", "6920459950180"}) {
            typeText(w->productBox(), QString::fromLatin1(code));
            enter(w->productBox());
        }
        w->quantityBox()->setText(QStringLiteral("12"));
        w->quantityBox()->setFocus();
        w->quantityBox()->setCursorPosition(0);
        QTest::keyClick(w->quantityBox(), Qt::Key_Delete);
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].code, QStringLiteral("b1"));
        QCOMPARE(w->quantityBox()->text(), QStringLiteral("2"));
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("5"));
        QTest::keyClick(w->quantityBox(), Qt::Key_Delete);
        QTest::keyClick(w->quantityBox(), Qt::Key_Delete);   // no line left: nothing happens
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("0"));
        QCOMPARE(f->boxes->count(), 0);
    }

    void titleClicksSortWithOneSharedToggle()
    {
        w->autoAddBox()->setChecked(false);
        const QList<QPair<QString, QString>> lines = {{"乙", "3"}, {"甲", "1"}, {"丙", "2"}};
        for (const auto &[name, quantity] : lines) {
            w->productBox()->setEditText(name);
            w->quantityBox()->setText(quantity);
            w->priceBox()->setText(QStringLiteral("1"));
            QTest::keyClick(w->priceBox(), Qt::Key_F10);
        }
        auto column = [&](int c) {
            QStringList out;
            for (int r = 0; r < w->saleGrid()->model()->rowCount(); ++r)
                out << w->saleGrid()->model()->index(r, c).data().toString();
            return out;
        };
        auto clickTitle = [&](int c) {
            QHeaderView *h = w->saleGrid()->horizontalHeader();
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
        typeText(w->productBox(), QStringLiteral("b1"));
        enter(w->productBox());
        QApplication::processEvents();
        clickCell(w->saleGrid(), 0, 3);
        QTest::keyClick(w->saleGrid(), Qt::Key_Return);
        QCOMPARE(w->saleGrid()->currentIndex().column(), 4);
        QTest::keyClick(w->saleGrid(), Qt::Key_Return);
        QCOMPARE(w->saleGrid()->currentIndex().column(), 4);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 1);
    }

    // ---- payment -----------------------------------------------------------

    void changeIsReceivedLessTotal_data()
    {
        QTest::addColumn<QString>("received");
        QTest::addColumn<QString>("change");
        QTest::newRow("short") << "20" << "-3.7";
    }
    void changeIsReceivedLessTotal()
    {
        QFETCH(QString, received);
        QFETCH(QString, change);
        w->autoAddBox()->setChecked(false);
        w->productBox()->setEditText(QStringLiteral("货"));
        w->priceBox()->setText(QStringLiteral("23.7"));
        QTest::keyClick(w->priceBox(), Qt::Key_F10);
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("23.7"));
        QTest::keyClick(w->productBox(), Qt::Key_F11);
        QCOMPARE(w->focusWidget(), w->receivedBox());
        typeText(w->receivedBox(), received);
        enter(w->receivedBox());
        QCOMPARE(w->changeBox()->text(), change);
        QCOMPARE(w->focusWidget(), w->changeBox());
        // Typing into the change box does nothing.
        typeText(w->changeBox(), QStringLiteral("9"));
        QCOMPARE(w->changeBox()->text(), change);
    }

    void changeWithNoLinesIsTheAmountReceived()
    {
        w->receivedBox()->setFocus();
        typeText(w->receivedBox(), QStringLiteral("50"));
        enter(w->receivedBox());
        QCOMPARE(w->changeBox()->text(), QStringLiteral("50"));
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
        w->changeBox()->setText(QStringLiteral("7"));
        w->receivedBox()->setFocus();
        typeText(w->receivedBox(), received);
        enter(w->receivedBox());
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(f->boxes->lastText(), QStringLiteral("'%1' is not a valid floating point value.").arg(received));
        QCOMPARE(w->changeBox()->text(), QStringLiteral("7"));
        QCOMPARE(w->focusWidget(), w->receivedBox());
    }

    // ---- a barcode scanner -------------------------------------------------

    // A click on "打印2份小票" leaves the keys with the product box, and a
    // check box that has the focus by Tab hands a scan on instead of eating it.
    void aScanAfterAClickOnTheCheckBoxIsNotLost()
    {
        QTest::mouseClick(w->twoCopiesBox(), Qt::LeftButton);
        QVERIFY(w->twoCopiesBox()->isChecked());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("6920459950180"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(storedLines(*f->file).size(), 1);
        QTRY_COMPARE(QApplication::focusWidget(), w->productBox());

        w->twoCopiesBox()->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(w->twoCopiesBox(), QStringLiteral("100"));
        QTest::keyClick(w->twoCopiesBox(), Qt::Key_Return);
        const auto lines = storedLines(*f->file);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[1].name, QStringLiteral("一毛"));
        QVERIFY(w->twoCopiesBox()->isChecked());
        QCOMPARE(f->boxes->count(), 0);
    }

    // A code scanned into the quantity box, or an amount beyond the shop's
    // limit, is asked about first (No by default); totals the program
    // accepts stay clear of their captions.
    void anImplausibleLineIsAskedAboutFirst_data()
    {
        QTest::addColumn<QString>("storedLimit");   // line.max_quantity, empty: the default
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<bool>("asks");
        QTest::newRow("scanned code") << QString() << "6921168509256" << true;
        QTest::newRow("a crate") << QString() << "24" << false;
        QTest::newRow("the shop's own limit") << "20"
                                              << "24" << true;
    }
    void anImplausibleLineIsAskedAboutFirst()
    {
        QFETCH(QString, storedLimit);
        QFETCH(QString, quantity);
        QFETCH(bool, asks);
        if (!storedLimit.isEmpty()) {
            TillSettings(w->database()).store({{QStringLiteral("line.max_quantity"), storedLimit}});
            w->till().reopenSale();
        }
        w->autoAddBox()->setChecked(false);
        typeText(w->productBox(), QStringLiteral("b1"));
        enter(w->productBox());
        QCOMPARE(QApplication::focusWidget(), w->quantityBox());
        press(quantity);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        QCOMPARE(f->boxes->count(), asks ? 1 : 0);
        QCOMPARE(storedLines(*f->file).size(), asks ? 0 : 1);
        if (!asks)
            return;
        QVERIFY2(f->boxes->lastText().contains(quantity), qPrintable(f->boxes->lastText()));
        QCOMPARE(f->boxes->seen().last().buttons, (QStringList{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")}));
        QCOMPARE(w->focusWidget(), w->quantityBox());

        // Meant after all: the line goes in.
        f->boxes->setAnswer(QMessageBox::Yes);
        enter(w->quantityBox());
        enter(w->priceBox());
        QCOMPARE(storedLines(*f->file).size(), 1);
        QCOMPARE(storedLines(*f->file)[0].quantity, quantity);
        // Where a label's text is drawn.
        const auto inked = [](const QLabel *label) {
            return QRect(label->pos(),
                         QSize(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->height()));
        };
        for (QLabel *total : {w->totalQuantityLabel(), w->totalAmountLabel()}) {
            QVERIFY(total->geometry().contains(inked(total)));
            for (QLabel *caption : total->parentWidget()->findChildren<QLabel *>()) {
                if (caption->text().startsWith(QStringLiteral("合计")))
                    QVERIFY2(!inked(caption).intersects(inked(total)), qPrintable(caption->text()));
            }
        }
    }

    // ---- parked sales ----------------------------------------------------------

    void insertParksASaleAndTakesItBackFromTheList()
    {
        QTemporaryDir receipts;
        w->setReceiptPrinter(ReceiptPrinter::create(QStringLiteral("pdf:") + receipts.path()));
        typeText(w->productBox(), QStringLiteral("6901028075831"));
        enter(w->productBox());
        // Shift+Insert is the box's paste, and parks nothing.
        QTest::keyClick(w->productBox(), Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(f->file->count(QStringLiteral("held_lines")), 0);
        QTest::keyClick(w->productBox(), Qt::Key_Insert);
        QCOMPARE(storedLines(*f->file).size(), 0);
        QCOMPARE(f->file->count(QStringLiteral("held_lines")), 1);
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("0"));
        QCOMPARE(w->heldSalesLabel()->text(), QStringLiteral("挂单 1 张（Insert 取单）"));
        QCOMPARE(w->focusWidget(), w->productBox());

        // The next customer pays for one noodle cup only.
        typeText(w->productBox(), QStringLiteral("6920459950180"));
        enter(w->productBox());
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->file->rows(QStringLiteral("select 品名 from XiaoShouRecord")),
                 (QList<QVariantList>{{QStringLiteral("康师傅红烧牛肉面")}}));

        QStringList listed;
        whenModalShows<HeldSalesDialog>([&listed](HeldSalesDialog *dialog) {
            const QAbstractItemModel *rows = dialog->list()->model();
            for (int c = 0; c < rows->columnCount(); ++c)
                listed << rows->index(0, c).data().toString();
            QTest::keyClick(dialog->list(), Qt::Key_Return);
        });
        QTest::keyClick(w->productBox(), Qt::Key_Insert);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(QApplication::focusWidget(), w->productBox());
        QCOMPARE(listed.value(1), QStringLiteral("1"));
        QCOMPARE(listed.value(2), QStringLiteral("45"));
        QCOMPARE(storedLines(*f->file).size(), 1);
        QCOMPARE(storedLines(*f->file)[0].code, QStringLiteral("6901028075831"));
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("45"));
        QCOMPARE(w->heldSalesLabel()->text(), QString());
        QCOMPARE(f->file->count(QStringLiteral("held_sales")), 0);

        // Esc on the sale taken back asks first; "no" keeps it.
        f->boxes->setAnswer(QMessageBox::No);
        QTest::keyClick(w->productBox(), Qt::Key_Escape);
        QCOMPARE(f->boxes->count(), 1);
        QVERIFY(f->boxes->lastText().contains(QStringLiteral("取回的挂单")));
        QVERIFY(w->isVisible());
        QCOMPARE(storedLines(*f->file).size(), 1);

        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->file->count(QStringLiteral("XiaoShouRecord")), 2);
        QCOMPARE(storedLines(*f->file).size(), 0);
    }

    void aParkedSaleOutlivesTheProgram()
    {
        typeText(w->productBox(), QStringLiteral("b1"));
        enter(w->productBox());
        QTest::keyClick(w->productBox(), Qt::Key_Insert);
        f->session.reset();   // closed (or killed): the open sale is gone, the parked one is not
        w = f->open();
        QCOMPARE(w->heldSalesLabel()->text(), QStringLiteral("挂单 1 张（Insert 取单）"));
        QCOMPARE(f->file->count(QStringLiteral("held_lines")), 1);
    }

    // F8 on a computer without a browser says where the guide is.
    void theGuideWithoutABrowserIsTold()
    {
        WebPage::setOpener({});   // the platform's own: none under the test's screen
        QTest::keyClick(w->productBox(), Qt::Key_F8);
        QCOMPARE(f->boxes->count(), 1);
        QVERIFY2(f->boxes->lastText().contains(QStringLiteral("guide.html")), qPrintable(f->boxes->lastText()));
        QVERIFY(f->boxes->lastText().contains(QStringLiteral("没有能打开使用说明")));
    }

    void twoHundredScansBackToBackGiveTwoHundredLines()
    {
        QStringList codes;
        for (int i = 0; i < 50; ++i) {
            const QString code = QStringLiteral("69%1").arg(10000000000LL + i * 7919LL, 11, 10, QLatin1Char('0'));
            f->file->addProduct(code, QStringLiteral("商品%1").arg(i), 0.1 * (i + 1));
            codes << code;
        }
        w->productBox()->setFocus();
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
        QCOMPARE(w->totalQuantityLabel()->text(), QStringLiteral("200"));
        QCOMPARE(w->totalAmountLabel()->text(), formatGeneral(expected));
        QCOMPARE(w->saleGrid()->model()->rowCount(), 200);
        QCOMPARE(f->boxes->count(), 0);
    }
};

FENWO_TEST_MAIN(TestSaleEntry)
#include "tst_saleentry.moc"
