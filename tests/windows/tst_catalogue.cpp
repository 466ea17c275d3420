#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "modalwatcher.h"
#include "testdatabase.h"
#include "typing.h"
#include "withnames.h"

#include "windows/cataloguemodel.h"
#include "storage/database.h"
#include "storage/tables.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/skinbutton.h"
#include "widgets/apperrorbox.h"
#include "windows/cataloguewindow.h"
#include "windows/cataloguegrid.h"
#include "windows/sidewindow.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLabel>
#include <QTest>

#include <memory>

namespace {

using RowState = CatalogueModel::RowState;

// The catalogue window on its own, over a fresh database file, with its
// message boxes answered and its model checked at every change.
struct CatalogueFixture
{
    TestDatabase file;
    ModalWatcher boxes;
    Database db;
    std::unique_ptr<CatalogueWindow> window;
    std::unique_ptr<QAbstractItemModelTester> tester;
    QList<QStringList> listed;   // what each close handed to the till

    CatalogueWindow *open()
    {
        db.open(file.path());
        window = std::make_unique<CatalogueWindow>(db, nullptr);
        tester = std::make_unique<QAbstractItemModelTester>(
            window->catalogue(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QObject::connect(window.get(), &CatalogueWindow::productNamesListed,
                         [this](const QStringList &names) { listed << names; });
        reopen();
        return window.get();
    }

    void reopen()
    {
        window->bringUp();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("catalogue window not active");
    }

    QStringList storedCodes()
    {
        QStringList out;
        for (const QVariantList &row : file.rows(withNames("select {code} from {Catalogue} order by {code}")))
            out << row.value(0).toString();
        return out;
    }

    QVariant stored(const QString &column, const QString &code)
    {
        return file.scalar(withNames("select %1 from {Catalogue} where {code} = ?").arg(column), {code});
    }
};

QStringList listedColumn(CatalogueWindow *w, int column)
{
    QStringList out;
    for (int row = 0; row < w->catalogue()->rowCount(); ++row)
        out << w->catalogue()->text(row, column);
    return out;
}

int currentRow(CatalogueWindow *w)
{
    return w->grid()->currentIndex().row();
}

void clickCell(CatalogueWindow *w, int row, int column)
{
    const QModelIndex index = w->catalogue()->index(row, column);
    w->grid()->scrollTo(index);
    QTest::mouseClick(w->grid()->viewport(), Qt::LeftButton, {}, w->grid()->visualRect(index).center());
}

void clickTitle(CatalogueWindow *w, int column)
{
    QHeaderView *header = w->grid()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
}

// Types into the grid's current cell: the first key opens the cell editor,
// the rest go to the editor, which stays open.
void typeIntoGrid(CatalogueWindow *w, const QString &text)
{
    typeText(w->grid(), text.left(1));
    QVERIFY(w->grid()->isEditingCell());
    typeText(QApplication::focusWidget(), text.mid(1));
}

// The offscreen platform activates no window when a message box goes away;
// a desktop gives the window that opened the box its activation back.
void activateAgain(QWidget *w)
{
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

void pressOnFocus(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

void search(CatalogueWindow *w, const QString &text)
{
    w->searchBox()->setFocus();
    w->searchBox()->selectAll();
    QTest::keyClick(w->searchBox(), Qt::Key_Backspace);
    typeText(w->searchBox(), text);
    QTest::keyClick(w->searchBox(), Qt::Key_Return);
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    // ---- Listing, searching, sorting ---------------------------------------

    void searchFindsTheCodeAsAWholeOrTheNameInside_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("plain text") << "12" << QStringList{"12", "5"};
        QTest::newRow("wildcard in the text") << "12%" << QStringList{"12", "1200", "123", "5"};
        QTest::newRow("empty box lists all by code") << "" << QStringList{"12", "1200", "123", "5", "7", "9"};
        QTest::newRow("a quote is just a character") << "It's" << QStringList{"7"};
        QTest::newRow("blanks are not trimmed") << " 12" << QStringList{};
    }
    void searchFindsTheCodeAsAWholeOrTheNameInside()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, codes);
        CatalogueFixture f;
        f.file.addProduct(QStringLiteral("9"), QStringLiteral("橙"), 2);
        f.file.addProduct(QStringLiteral("123"), QStringLiteral("香蕉"), 3);
        f.file.addProduct(QStringLiteral("12"), QStringLiteral("苹果"), 4);
        f.file.addProduct(QStringLiteral("5"), QStringLiteral("12号电池"), 5);
        f.file.addProduct(QStringLiteral("1200"), QStringLiteral("梨"), 6);
        f.file.addProduct(QStringLiteral("7"), QStringLiteral("It's"), 7);
        CatalogueWindow *w = f.open();
        QCOMPARE(w->catalogue()->rowCount(), 6);

        search(w, text);
        QCOMPARE(listedColumn(w, CatalogueModel::Code), codes);
        QCOMPARE(f.boxes.count(), 0);
    }

    void reshowingListsEverythingAgainButKeepsTheBoxAndTheSortDirection()
    {
        CatalogueFixture f;
        f.file.addProduct(QStringLiteral("2"), QStringLiteral("乙"), 5);
        f.file.addProduct(QStringLiteral("1"), QStringLiteral("甲"), 7);
        f.file.addProduct(QStringLiteral("3"), QStringLiteral("丙"), 6);
        CatalogueWindow *w = f.open();
        w->grid()->goTo(2, 0);   // product 3

        // Each title click turns the direction, whatever the column; the
        // current product stays current.
        clickTitle(w, CatalogueModel::Code);
        QCOMPARE(listedColumn(w, CatalogueModel::Code), (QStringList{"3", "2", "1"}));
        QCOMPARE(w->catalogue()->text(currentRow(w), CatalogueModel::Code), QStringLiteral("3"));
        clickTitle(w, CatalogueModel::Name);   // 丙 U+4E19 < 乙 U+4E59 < 甲 U+7532
        QCOMPARE(listedColumn(w, CatalogueModel::Name), (QStringList{"丙", "乙", "甲"}));
        clickTitle(w, CatalogueModel::Code);
        QCOMPARE(listedColumn(w, CatalogueModel::Code), (QStringList{"3", "2", "1"}));

        w->searchBox()->setFocus();
        typeText(w->searchBox(), QStringLiteral("乙"));
        QTest::keyClick(w->searchBox(), Qt::Key_F2);
        QCOMPARE(listedColumn(w, CatalogueModel::Code), QStringList{"2"});
        QTest::keyClick(w->searchBox(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());

        f.file.addProduct(QStringLiteral("4"), QStringLiteral("丁"), 8);
        f.reopen();
        QCOMPARE(w->catalogue()->rowCount(), 4);
        QCOMPARE(w->searchBox()->text(), QStringLiteral("乙"));
        clickTitle(w, CatalogueModel::Price);
        QCOMPARE(listedColumn(w, CatalogueModel::Price), (QStringList{"5", "6", "7", "8"}));
        QTest::mouseClick(w->searchButton(), Qt::LeftButton);
        QCOMPARE(listedColumn(w, CatalogueModel::Code), QStringList{"2"});
        QCOMPARE(f.boxes.count(), 0);
    }

    // ---- Typing rows and writing them ----------------------------------------

    void typedValueStaysInTheRowUntilTheRowIsLeft()
    {
        CatalogueFixture f;
        f.file.addProduct(QStringLiteral("1"), QStringLiteral("甲"), 3);
        f.file.addProduct(QStringLiteral("2"), QStringLiteral("乙"), 4);
        CatalogueWindow *w = f.open();
        w->grid()->setFocus();
        QTest::keyClick(w->grid(), Qt::Key_Right);
        typeIntoGrid(w, QStringLiteral("新甲"));

        // Enter in the cell editor: the value stays, unwritten, and the focus
        // goes on to the search box.
        pressOnFocus(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w->searchBox());
        QVERIFY(!w->grid()->isEditingCell());
        QCOMPARE(w->catalogue()->text(0, CatalogueModel::Name), QStringLiteral("新甲"));
        QCOMPARE(w->catalogue()->rowState(0), RowState::Editing);
        QCOMPARE(f.stored(Tables::Catalogue::name, QStringLiteral("1")).toString(), QStringLiteral("甲"));

        // Moving within the row writes nothing.
        clickCell(w, 0, CatalogueModel::Price);
        QCOMPARE(f.stored(Tables::Catalogue::name, QStringLiteral("1")).toString(), QStringLiteral("甲"));

        clickCell(w, 1, CatalogueModel::Name);
        QCOMPARE(currentRow(w), 1);
        QCOMPARE(f.stored(Tables::Catalogue::name, QStringLiteral("1")).toString(), QStringLiteral("新甲"));
        QCOMPARE(f.stored(Tables::Catalogue::price, QStringLiteral("1")).toDouble(), 3.0);
        QCOMPARE(w->catalogue()->rowState(0), RowState::Browsing);
        QCOMPARE(f.boxes.count(), 0);
    }

    void enterWalksTheColumnsAndStartsANewRowAfterThePrice()
    {
        CatalogueFixture f;
        f.file.addProduct(QStringLiteral("1"), QStringLiteral("甲"), 3);
        CatalogueWindow *w = f.open();
        w->grid()->setFocus();
        QCOMPARE(w->grid()->currentIndex(), w->catalogue()->index(0, CatalogueModel::Code));
        QTest::keyClick(w->grid(), Qt::Key_Return);
        QCOMPARE(w->grid()->currentIndex(), w->catalogue()->index(0, CatalogueModel::Name));
        QTest::keyClick(w->grid(), Qt::Key_Enter);
        QCOMPARE(w->grid()->currentIndex(), w->catalogue()->index(0, CatalogueModel::Price));
        QTest::keyClick(w->grid(), Qt::Key_Return);
        QCOMPARE(w->grid()->currentIndex(), w->catalogue()->index(1, CatalogueModel::Code));
        QCOMPARE(w->catalogue()->rowState(1), RowState::New);
        QVERIFY(!w->grid()->isEditingCell());

        // A new row left without typing is dropped, not written.
        QTest::keyClick(w->grid(), Qt::Key_Up);
        QCOMPARE(w->catalogue()->rowCount(), 1);
        QCOMPARE(f.file.count(Tables::Catalogue::table), 1);
        QCOMPARE(f.boxes.count(), 0);
    }

    void addedRowIsWrittenBySaveWithItsPriceConverted()
    {
        CatalogueFixture f;
        f.file.addProduct(QStringLiteral("1"), QStringLiteral("甲"), 3);
        CatalogueWindow *w = f.open();
        QTest::keyClick(w->searchBox(), Qt::Key_F4);
        QCOMPARE(QApplication::focusWidget(), w->grid());
        QCOMPARE(currentRow(w), 1);
        typeIntoGrid(w, QStringLiteral("6901"));
        pressOnFocus(Qt::Key_Return);
        clickCell(w, 1, CatalogueModel::Name);
        typeIntoGrid(w, QStringLiteral("可乐"));
        pressOnFocus(Qt::Key_Return);
        clickCell(w, 1, CatalogueModel::Price);
        typeIntoGrid(w, QStringLiteral(" 3.50"));
        QCOMPARE(f.file.count(Tables::Catalogue::table), 1);

        // Saved with the price still in the open cell editor.
        pressOnFocus(Qt::Key_F5);
        QCOMPARE(f.boxes.count(), 0);
        QCOMPARE(f.stored(Tables::Catalogue::name, QStringLiteral("6901")).toString(), QStringLiteral("可乐"));
        QCOMPARE(f.stored(Tables::Catalogue::price, QStringLiteral("6901")).toDouble(), 3.5);
        QCOMPARE(w->catalogue()->rowState(1), RowState::Browsing);
        QCOMPARE(w->catalogue()->text(1, CatalogueModel::Price), QStringLiteral("3.5"));
        QCOMPARE(currentRow(w), 1);   // the last row, after a full run
    }

    void failedWriteKeepsTheRowWithTheRightMessage_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("message");
        QTest::newRow("code already taken") << "1" << "乙" << "2" << "" << "警告：该编码已经存在!";
        QTest::newRow("no code") << "" << "乙" << "2" << "" << "请填上编码!";
        QTest::newRow("no code and no name") << "" << "" << "2" << "" << "请填上编码!";
        QTest::newRow("no name") << "2" << "" << "2" << "" << "请填上品名!";
        QTest::newRow("blank code is a code") << " " << "" << "2" << "" << "请填上品名!";
        QTest::newRow("price no number") << "2" << "乙" << "2元" << ""
                                         << "'2元' is not a valid floating point value";
        QTest::newRow("disk full") << "2" << "乙" << "2"
                                   << "database or disk is full" << "磁盘已满，数据没有保存（database or disk is full）";
    }
    void failedWriteKeepsTheRowWithTheRightMessage()
    {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, price);
        QFETCH(QString, refusal);
        QFETCH(QString, message);
        CatalogueFixture f;
        f.file.addProduct(QStringLiteral("1"), QStringLiteral("甲"), 3);
        if (!refusal.isEmpty())
            f.file.refuseInserts(Tables::Catalogue::table, refusal);
        CatalogueWindow *w = f.open();
        QTest::keyClick(w->searchBox(), Qt::Key_F4);
        const QStringList typed{code, name, price};
        for (int column = 0; column < 3; ++column) {
            if (typed[column].isEmpty())
                continue;
            w->grid()->setFocus();
            w->grid()->setCurrentIndex(w->catalogue()->index(1, column));
            typeIntoGrid(w, typed[column]);
            pressOnFocus(Qt::Key_Return);
        }

        // Leaving the row asks for the write.
        clickCell(w, 0, CatalogueModel::Name);
        QCOMPARE(f.boxes.count(), 1);
        QCOMPARE(f.boxes.lastText(), AppBoxes::errorBoxText(message));
        QCOMPARE(f.boxes.seen().last().title, AppBoxes::applicationTitle());
        QCOMPARE(currentRow(w), 1);
        QCOMPARE(w->catalogue()->rowState(1), RowState::New);
        for (int column = 0; column < 3; ++column)
            QCOMPARE(w->catalogue()->text(1, column), typed[column]);
        QCOMPARE(f.file.count(Tables::Catalogue::table), 1);

        // Add refuses to start another row over it.
        QTest::mouseClick(w->addButton(), Qt::LeftButton);
        QCOMPARE(f.boxes.count(), 2);
        QCOMPARE(w->catalogue()->rowCount(), 2);
    }

    void changedCodeTakenByAnotherRowIsRefusedAndKept()
    {
        CatalogueFixture f;
        f.file.addProduct(QStringLiteral("1"), QStringLiteral("甲"), 3);
        f.file.addProduct(QStringLiteral("2"), QStringLiteral("乙"), 4);
        CatalogueWindow *w = f.open();
        w->grid()->setFocus();
        typeIntoGrid(w, QStringLiteral("2"));
        pressOnFocus(Qt::Key_Down);
        QCOMPARE(f.boxes.lastText(), QStringLiteral("警告：该编码已经存在!"));
        QCOMPARE(currentRow(w), 0);
        QCOMPARE(w->catalogue()->rowState(0), RowState::Editing);
        QCOMPARE(w->catalogue()->text(0, CatalogueModel::Code), QStringLiteral("2"));

        // Put right, the row is written under its new code on leaving.
        activateAgain(w);
        w->grid()->setFocus();
        typeIntoGrid(w, QStringLiteral("3"));
        pressOnFocus(Qt::Key_Down);
        QCOMPARE(f.boxes.count(), 1);
        QCOMPARE(currentRow(w), 1);
        QCOMPARE(f.storedCodes(), (QStringList{"2", "3"}));
        QCOMPARE(f.stored(Tables::Catalogue::name, QStringLiteral("3")).toString(), QStringLiteral("甲"));
    }

    void saveStopsAtTheFirstRowItCannotWrite_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("column");
        QTest::newRow("no name") << "2" << "" << "请填上品名!" << int(CatalogueModel::Name);
        QTest::newRow("no code") << "" << "乙" << "请填上编码!" << int(CatalogueModel::Code);
        QTest::newRow("neither") << "" << "" << "请填上编码!" << int(CatalogueModel::Code);
    }
    // The run stops at the refused row, which is then being edited: its
    // editor is open on the missing cell, and what is typed goes there.
    void saveStopsAtTheFirstRowItCannotWrite()
    {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(int, column);
        CatalogueFixture f;
        f.file.addProduct(QStringLiteral("1"), QStringLiteral("甲"), 1);
        f.file.addProduct(code, name, 2);
        f.file.addProduct(QStringLiteral("3"), QStringLiteral("丙"), 3);
        CatalogueWindow *w = f.open();
        w->grid()->setFocus();
        w->grid()->setCurrentIndex(w->catalogue()->index(2, CatalogueModel::Name));
        typeIntoGrid(w, QStringLiteral("丙丙"));

        QTest::mouseClick(w->saveButton(), Qt::LeftButton);
        QCOMPARE(f.boxes.count(), 1);
        QCOMPARE(f.boxes.lastText(), message);
        // The row being typed was written first; the run stopped at row 1.
        QCOMPARE(f.stored(Tables::Catalogue::name, QStringLiteral("3")).toString(), QStringLiteral("丙丙"));
        QCOMPARE(currentRow(w), 1);
        QCOMPARE(w->saveButton()->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(w->grid()->currentIndex().column(), column);
        QVERIFY(w->grid()->isEditingCell());
        QWidget *editor = w->grid()->indexWidget(w->grid()->currentIndex());
        QVERIFY(editor);
        QCOMPARE(w->focusWidget(), editor);   // the focus once the window is active again

        typeText(editor, QStringLiteral("乙4"));
        QTest::keyClick(w->grid(), Qt::Key_F5);
        QCOMPARE(f.boxes.count(), code.isEmpty() && name.isEmpty() ? 2 : 1);
        QCOMPARE(w->catalogue()->text(1, column), QStringLiteral("乙4"));
    }

    void escapeWhileACellIsEditedWritesTheRowBeforeClosing()
    {
        CatalogueFixture f;
        f.file.addProduct(QStringLiteral("1"), QStringLiteral("甲"), 3);
        CatalogueWindow *w = f.open();
        w->grid()->setFocus();
        QTest::keyClick(w->grid(), Qt::Key_Right);
        typeIntoGrid(w, QStringLiteral("乙"));
        pressOnFocus(Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QCOMPARE(f.stored(Tables::Catalogue::name, QStringLiteral("1")).toString(), QStringLiteral("乙"));
        QCOMPARE(f.listed, QList<QStringList>{QStringList{"乙"}});

        // A row that cannot be written keeps the window open, and the row.
        f.reopen();
        QTest::keyClick(w->searchBox(), Qt::Key_F4);
        QTest::keyClick(w->grid(), Qt::Key_Home);
        typeIntoGrid(w, QStringLiteral("2"));
        pressOnFocus(Qt::Key_Escape);
        QCOMPARE(f.boxes.lastText(), QStringLiteral("请填上品名!"));
        QVERIFY(w->isVisible());
        QCOMPARE(f.listed.size(), 1);
        QCOMPARE(w->catalogue()->rowState(1), RowState::New);
        QCOMPARE(w->catalogue()->text(1, CatalogueModel::Code), QStringLiteral("2"));
        QCOMPARE(f.file.count(Tables::Catalogue::table), 1);

        // A new row without typing goes away unwritten when the window closes.
        activateAgain(w);
        w->grid()->setFocus();
        QTest::keyClick(w->grid(), Qt::Key_Delete);   // answered Yes: the unwritten row is dropped
        QTest::keyClick(w->searchBox(), Qt::Key_F4);
        QTest::mouseClick(w->closeButton(), Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(f.listed.last(), QStringList{"乙"});
        QCOMPARE(f.file.count(Tables::Catalogue::table), 1);
    }

    // ---- Deleting ------------------------------------------------------------

    void deleteAsksBeforeDeletingTheCurrentRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("answer");   // 0 Yes, 1 No, 2 Esc
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("currentAfter");
        QTest::newRow("yes") << 1 << 0 << QStringList{"1", "3"} << 1;
        QTest::newRow("yes on the last row") << 2 << 0 << QStringList{"1", "2"} << 1;
        QTest::newRow("no") << 1 << 1 << QStringList{"1", "2", "3"} << 1;
        QTest::newRow("escape") << 1 << 2 << QStringList{"1", "2", "3"} << 1;
    }
    void deleteAsksBeforeDeletingTheCurrentRow()
    {
        QFETCH(int, row);
        QFETCH(int, answer);
        QFETCH(QStringList, left);
        QFETCH(int, currentAfter);
        CatalogueFixture f;
        f.file.addProduct(QStringLiteral("1"), QStringLiteral("甲"), 1);
        f.file.addProduct(QStringLiteral("2"), QStringLiteral("乙"), 2);
        f.file.addProduct(QStringLiteral("3"), QStringLiteral("丙"), 3);
        CatalogueWindow *w = f.open();
        clickCell(w, row, CatalogueModel::Name);
        f.boxes.setAnswer(answer == 1 ? QMessageBox::No : QMessageBox::NoButton);
        f.boxes.answerWithEscape(answer == 2);
        QTest::keyClick(w->grid(), Qt::Key_Delete);

        QCOMPARE(f.boxes.count(), 1);
        const ModalWatcher::Seen &box = f.boxes.seen().first();
        QCOMPARE(box.title, QStringLiteral("Confirm"));
        QCOMPARE(box.text, QStringLiteral("提示：真的要删除吗?"));
        QCOMPARE(box.icon, QMessageBox::Question);
        QCOMPARE(box.buttons, (QStringList{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")}));
        QCOMPARE(f.storedCodes(), left);
        QCOMPARE(listedColumn(w, CatalogueModel::Code), left);
        QCOMPARE(currentRow(w), currentAfter);
    }

    void deleteWhileTypingASearchAlsoDeletesACharacter()
    {
        CatalogueFixture f;
        f.file.addProduct(QStringLiteral("1"), QStringLiteral("甲"), 1);
        f.file.addProduct(QStringLiteral("2"), QStringLiteral("乙"), 2);
        CatalogueWindow *w = f.open();
        w->searchBox()->setFocus();
        typeText(w->searchBox(), QStringLiteral("abc"));
        w->searchBox()->setCursorPosition(0);

        f.boxes.setAnswer(QMessageBox::No);
        QTest::keyClick(w->searchBox(), Qt::Key_Delete);
        QCOMPARE(f.boxes.lastText(), QStringLiteral("提示：真的要删除吗?"));
        QCOMPARE(w->searchBox()->text(), QStringLiteral("bc"));
        QCOMPARE(f.file.count(Tables::Catalogue::table), 2);

        f.boxes.setAnswer(QMessageBox::Yes);
        QTest::keyClick(w->searchBox(), Qt::Key_Delete);
        QCOMPARE(f.boxes.count(), 2);
        QCOMPARE(w->searchBox()->text(), QStringLiteral("c"));
        QCOMPARE(f.storedCodes(), QStringList{"2"});
    }

    void deleteAllFoundAsksAndTakesTheBoxAsItIsNow_data()
    {
        QTest::addColumn<QString>("boxNow");
        QTest::addColumn<int>("answer");   // 0 Yes, 1 No, 2 Esc
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("yes, box changed since the search") << "7" << 0 << QStringList{"12", "5", "9"} << QStringList{};
        QTest::newRow("yes, empty box") << "" << 0 << QStringList{} << QStringList{};
        QTest::newRow("no") << "7" << 1 << QStringList{"12", "5", "7", "9"} << QStringList{"12", "5"};
        QTest::newRow("escape") << "" << 2 << QStringList{"12", "5", "7", "9"} << QStringList{"12", "5"};
    }
    void deleteAllFoundAsksAndTakesTheBoxAsItIsNow()
    {
        QFETCH(QString, boxNow);
        QFETCH(int, answer);
        QFETCH(QStringList, left);
        QFETCH(QStringList, listed);
        CatalogueFixture f;
        f.file.addProduct(QStringLiteral("12"), QStringLiteral("苹果"), 1);
        f.file.addProduct(QStringLiteral("5"), QStringLiteral("12号电池"), 2);
        f.file.addProduct(QStringLiteral("7"), QStringLiteral("橙"), 3);
        f.file.addProduct(QStringLiteral("9"), QStringLiteral("梨"), 4);
        CatalogueWindow *w = f.open();
        search(w, QStringLiteral("12"));
        QCOMPARE(listedColumn(w, CatalogueModel::Code), (QStringList{"12", "5"}));
        w->searchBox()->setText(boxNow);

        f.boxes.setAnswer(answer == 1 ? QMessageBox::No : QMessageBox::NoButton);
        f.boxes.answerWithEscape(answer == 2);
        QTest::keyClick(w->searchBox(), Qt::Key_F3);
        QCOMPARE(f.boxes.count(), 1);
        const ModalWatcher::Seen &box = f.boxes.seen().first();
        QCOMPARE(box.title, QStringLiteral("错误"));
        QCOMPARE(box.text, QStringLiteral("温馨提示：确认要删除以上查询出来的全部商品信息吗?"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, (QStringList{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")}));
        QCOMPARE(f.storedCodes(), left);
        QCOMPARE(listedColumn(w, CatalogueModel::Code), listed);
    }

    // ---- Closing to the till -------------------------------------------------

    void closingAfterASearchLeavesTheTillOnlyTheFoundNames()
    {
        CashierFixture f;
        f.file->addProduct(QStringLiteral("1"), QStringLiteral("可乐"), 3);
        f.file->addProduct(QStringLiteral("2"), QStringLiteral("雪碧"), 3);
        f.file->addProduct(QStringLiteral("3"), QStringLiteral("可乐"), 3.5);
        f.file->addProduct(QStringLiteral("4"), QStringLiteral("果汁"), 4);
        CashierWindow *till = f.open();
        QTest::keyClick(till->productBox(), Qt::Key_F3);
        CatalogueWindow *w = till->catalogueWindow();
        QVERIFY(w && w->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(w->catalogue()->rowCount(), 4);

        search(w, QStringLiteral("可乐"));
        QTest::keyClick(w->searchBox(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QVERIFY(till->isVisible());
        QCOMPARE(till->productBox()->items(), (QStringList{"可乐", "可乐"}));

        // A row that cannot be written keeps the window open and the till's list as it was.
        QTest::mouseClick(till->catalogueButton(), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w->searchBox(), Qt::Key_F4);
        QTest::keyClick(w->grid(), Qt::Key_Home);
        typeIntoGrid(w, QStringLiteral("5"));
        QTest::mouseClick(w->closeSpot(), Qt::LeftButton);
        QCOMPARE(f.boxes->lastText(), QStringLiteral("请填上品名!"));
        QVERIFY(w->isVisible());
        QCOMPARE(till->productBox()->items(), (QStringList{"可乐", "可乐"}));

        // Named, the new product reaches the till with the others.
        activateAgain(w);
        w->grid()->setFocus();
        QTest::keyClick(w->grid(), Qt::Key_Right);
        typeIntoGrid(w, QStringLiteral("矿泉水"));
        QTest::mouseClick(w->closeButton(), Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QStringList names = till->productBox()->items();
        names.sort();
        QStringList expected{"可乐", "可乐", "雪碧", "果汁", "矿泉水"};
        expected.sort();
        QCOMPARE(names, expected);
    }

    // ---- Every side window -----------------------------------------------------

    void webLinkInEachSideWindowOpensThePage_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("shop settings") << int(Qt::Key_F2);
        QTest::newRow("product catalogue") << int(Qt::Key_F3);
        QTest::newRow("sales records") << int(Qt::Key_F5);
    }
    void webLinkInEachSideWindowOpensThePage()
    {
        QFETCH(int, key);
        CashierFixture f;
        CashierWindow *till = f.open();
        QTest::keyClick(till->productBox(), Qt::Key(key));
        const QList<SideWindow *> shown = till->findChildren<SideWindow *>();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0]->isVisible());
        QLabel *link = nullptr;
        for (QLabel *label : shown[0]->findChildren<QLabel *>())
            if (label->text().startsWith(QStringLiteral("官方网站：")))
                link = label;
        QVERIFY(link);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(f.opened.size(), 1);
        QVERIFY(shown[0]->isVisible());
        QCOMPARE(f.boxes->count(), 0);
    }
};

FENWO_TEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
