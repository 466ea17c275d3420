#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "withnames.h"

#include "storage/database.h"
#include "base/numbertext.h"
#include "storage/query.h"
#include "windows/salesrecordmodel.h"
#include "storage/statements.h"
#include "storage/tables.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatspeedbutton.h"
#include "windows/salesrecordswindow.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QStyleOptionViewItem>
#include <QTableView>

#include <cfloat>

namespace {

struct Line
{
    QVariant quantity;
    QVariant amount;
    QVariant date;
    QString name = QStringLiteral("可乐");
    QString cashier = QStringLiteral("老王");
    QString receipt = QStringLiteral("260101093000");
    QString time = QStringLiteral("09:30");
    QVariant price = 3.5;
};

void record(TestDatabase &file, const QList<Line> &lines)
{
    file.exec(QStringLiteral("begin"));
    for (const Line &l : lines)
        file.exec(withNames("insert into {SalesRecord} ({code}, {name}, {quantity}, {price}, {amount}, {receiptNumber}, {cashier}, {date}, {time}) "
                                 "values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                  {QStringLiteral("6901"), l.name, l.quantity, l.price, l.amount, l.receipt, l.cashier, l.date, l.time});
    file.exec(QStringLiteral("commit"));
}

SalesRecordsWindow *openRecords(CashierWindow *w)
{
    QTest::keyClick(w->productBox(), Qt::Key_F5);
    QApplication::processEvents();
    return w->recordsWindow();
}

int columnOf(SalesRecordsWindow *r, const QString &field)
{
    for (int c = 0; c < r->records()->columnCount(); ++c)
        if (r->records()->fieldAt(c) == field)
            return c;
    return -1;
}

QStringList columnTexts(SalesRecordsWindow *r, const QString &field)
{
    QStringList texts;
    const int c = columnOf(r, field);
    for (int row = 0; row < r->records()->rowCount(); ++row)
        texts << r->grid()->model()->index(row, c).data().toString();
    return texts;
}

QList<qint64> keysShown(SalesRecordsWindow *r)
{
    QList<qint64> keys;
    for (int row = 0; row < r->records()->rowCount(); ++row)
        keys << r->records()->rowKey(row);
    return keys;
}

// A real click on a column title.
void clickTitle(SalesRecordsWindow *r, const QString &field)
{
    QHeaderView *titles = r->grid()->horizontalHeader();
    const int section = columnOf(r, field);
    const QPoint at(titles->sectionViewportPosition(section) + titles->sectionSize(section) / 2, titles->height() / 2);
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void totalsAddEveryLine_data()
    {
        QTest::addColumn<QVariantList>("quantities");
        QTest::addColumn<QVariantList>("amounts");
        QTest::addColumn<QString>("quantityText");
        QTest::addColumn<QString>("amountText");
        QTest::newRow("empty table") << QVariantList{} << QVariantList{} << "0" << "0";
        QTest::newRow("1.5 and 2") << QVariantList{1.5, 2.0} << QVariantList{5.25, 7.0} << "3.5" << "12.25";
        QTest::newRow("0.1 and 0.2") << QVariantList{1.0, 1.0} << QVariantList{0.1, 0.2} << "2" << "0.3";
        QTest::newRow("empty values count as 0") << QVariantList{QVariant(), 4.0} << QVariantList{2.5, QVariant()}
                                                 << "4" << "2.5";
    }
    void totalsAddEveryLine()
    {
        QFETCH(QVariantList, quantities);
        QFETCH(QVariantList, amounts);
        QFETCH(QString, quantityText);
        QFETCH(QString, amountText);
        CashierFixture f;
        QList<Line> lines;
        for (int i = 0; i < quantities.size(); ++i)
            lines << Line{quantities[i], amounts[i], QStringLiteral("2026-01-0%1").arg(i + 1)};
        record(*f.file, lines);
        SalesRecordsWindow *r = openRecords(f.open());
        QVERIFY(r && r->isVisible());
        QCOMPARE(r->grid()->model()->rowCount(), int(quantities.size()));
        QCOMPARE(r->totalQuantityLabel()->text(), quantityText);
        QCOMPARE(r->totalAmountLabel()->text(), amountText);
        QCOMPARE(f.boxes->count(), 0);
        if (quantities.isEmpty())
            QVERIFY(!r->grid()->currentIndex().isValid());
    }

    void opensNewestDateFirstOnTheOldestLine()
    {
        CashierFixture f;
        Line a{1.0, 3.0, QStringLiteral("2026-01-02")};
        a.name = QStringLiteral("甲");
        Line b{2.0, 6.0, QStringLiteral("2026-03-01")};
        b.name = QStringLiteral("乙");
        Line c{1.0, 3.0, QStringLiteral("2026-02-10")};
        c.name = QStringLiteral("丙");
        Line d{1.0, 3.0, QStringLiteral("2026-03-01")};
        d.name = QStringLiteral("丁");
        d.time = QStringLiteral("18:05");
        record(*f.file, {a, b, c, d});
        SalesRecordsWindow *r = openRecords(f.open());
        QVERIFY(r);

        // Newest date first; within a date the later line first.
        QCOMPARE(columnTexts(r, QStringLiteral("日期")),
                 (QStringList{"2026-03-01", "2026-03-01", "2026-02-10", "2026-01-02"}));
        QCOMPARE(columnTexts(r, QStringLiteral("品名")), (QStringList{"丁", "乙", "丙", "甲"}));
        QCOMPARE(columnTexts(r, QStringLiteral("时间")), (QStringList{"18:05", "09:30", "09:30", "09:30"}));
        QCOMPARE(columnTexts(r, QStringLiteral("数量")), (QStringList{"1", "2", "1", "1"}));

        QStringList titles;
        QList<int> widths;
        for (int col = 0; col < r->grid()->model()->columnCount(); ++col) {
            titles << r->grid()->model()->headerData(col, Qt::Horizontal).toString();
            widths << r->grid()->columnWidth(col);
        }
        QCOMPARE(titles, (QStringList{"单号", "编码(条形码)", "品名", "数量", "单价", "金额", "收银员", "日期", "时间"}));
        // The laid-out widths, where the face lets receipt numbers, dates and
        // times show in full (see everyListedTextShowsInFull); the name
        // column gives up what those take beyond, so all still fit.
        const QList<int> laidOut{130, 140, 205, 70, 70, 90, 50, 88, 50};
        int total = 0;
        for (int col = 0; col < widths.size(); ++col) {
            total += widths[col];
            if (col != 0 && col != 2 && col < 7)
                QCOMPARE(widths[col], laidOut[col]);
            else if (col != 2)
                QVERIFY(widths[col] >= laidOut[col]);
        }
        QCOMPARE(total, 893);

        // The last, oldest line is current and selected, and in sight.
        const QModelIndex current = r->grid()->currentIndex();
        QCOMPARE(current.row(), 3);
        QVERIFY(r->grid()->selectionModel()->isSelected(current));
        QVERIFY(r->grid()->viewport()->rect().intersects(r->grid()->visualRect(current)));

        // Read-only: a double click or typing opens no editor.
        QVERIFY(!(r->grid()->model()->flags(current) & Qt::ItemIsEditable));
        QTest::mouseDClick(r->grid()->viewport(), Qt::LeftButton, {}, r->grid()->visualRect(current).center());
        QVERIFY(r->grid()->findChildren<QLineEdit *>().isEmpty());
        QCOMPARE(f.file->scalar(withNames("select count(*) from {SalesRecord}")).toInt(), 4);
    }

    void oneToggleSortsEveryColumnAndTheTotalsStay()
    {
        CashierFixture f;
        QList<Line> lines;
        const double quantities[] = {2, 1, 3, 1, 2};
        const char *names[] = {"乙", "甲", "乙", "丙", "甲"};
        for (int i = 0; i < 5; ++i) {
            Line l{quantities[i], quantities[i] * 3.5, QStringLiteral("2026-01-0%1").arg(i + 1)};
            l.name = QString::fromUtf8(names[i]);
            lines << l;
        }
        record(*f.file, lines);
        SalesRecordsWindow *r = openRecords(f.open());
        QVERIFY(r);
        QAbstractItemModelTester tester(r->records(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(r->totalQuantityLabel()->text(), QStringLiteral("9"));
        QCOMPARE(r->totalAmountLabel()->text(), QStringLiteral("31.5"));
        QCOMPARE(keysShown(r), (QList<qint64>{5, 4, 3, 2, 1}));
        QVERIFY(!r->sortToggle());

        // First click in the window's life: descending (text by its
        // characters: 甲 U+7532, 乙 U+4E59, 丙 U+4E19). Equal names keep the
        // order they had (newest date first).
        r->grid()->setCurrentIndex(r->records()->index(1, 0));   // line 4
        clickTitle(r, QStringLiteral("品名"));
        QVERIFY(r->sortToggle());
        QCOMPARE(columnTexts(r, QStringLiteral("品名")), (QStringList{"甲", "甲", "乙", "乙", "丙"}));
        QCOMPARE(keysShown(r), (QList<qint64>{5, 2, 3, 1, 4}));
        QCOMPARE(r->records()->rowKey(r->grid()->currentIndex().row()), 4);   // the current line stays current

        // Next click, on another column: ascending, ties in the order just shown.
        clickTitle(r, QStringLiteral("数量"));
        QVERIFY(!r->sortToggle());
        QCOMPARE(columnTexts(r, QStringLiteral("数量")), (QStringList{"1", "1", "2", "2", "3"}));
        QCOMPARE(keysShown(r), (QList<qint64>{2, 4, 5, 1, 3}));
        QCOMPARE(r->records()->rowKey(r->grid()->currentIndex().row()), 4);

        // Dates and times sort as text.
        clickTitle(r, QStringLiteral("日期"));
        QCOMPARE(columnTexts(r, QStringLiteral("日期")),
                 (QStringList{"2026-01-05", "2026-01-04", "2026-01-03", "2026-01-02", "2026-01-01"}));
        QCOMPARE(r->totalQuantityLabel()->text(), QStringLiteral("9"));
        QCOMPARE(r->totalAmountLabel()->text(), QStringLiteral("31.5"));

        // The toggle outlives hiding; the next showing lists by date again.
        QTest::keyClick(r->grid(), Qt::Key_Escape);
        QVERIFY(!r->isVisible());
        QVERIFY(r->sortToggle());
        QCOMPARE(openRecords(&f.session->window()), r);
        QCOMPARE(keysShown(r), (QList<qint64>{5, 4, 3, 2, 1}));
        clickTitle(r, QStringLiteral("品名"));
        QCOMPARE(columnTexts(r, QStringLiteral("品名")), (QStringList{"丙", "乙", "乙", "甲", "甲"}));
        QCOMPARE(f.boxes->count(), 0);
    }

    // The grid lists what the full result set of "every line, newest date
    // first" lists, in the same order, sorts as the in-memory result set
    // sorts, and the totals are that set's line-by-line sums.
    void agreesWithTheFullResultSet_data()
    {
        QTest::addColumn<QString>("dates");
        QTest::newRow("recorded day after day") << "in order";
        QTest::newRow("a line dated by hand into the past") << "backdated";
        QTest::newRow("empty and missing dates, a price in words") << "missing";
    }
    void agreesWithTheFullResultSet()
    {
        QFETCH(QString, dates);
        if (dates == QLatin1String("missing") && TestDatabase::onServer())
            QSKIP("a number column on a server holds no words");
        CashierFixture f;
        QRandomGenerator rng(20261207);
        __int128 exactAmount = 0;   // thousandths
        qint64 exactQuarters = 0;
        const char *names[] = {"可乐", "雪碧", "面包", "牛奶", "Tea"};
        QList<Line> lines;
        for (int i = 0; i < 3000; ++i) {
            QVariant date = QDate(2025, 1, 1).addDays(i / 40).toString(QStringLiteral("yyyy-MM-dd"));
            if (dates == QLatin1String("backdated") && i % 700 == 350)
                date = QStringLiteral("2024-12-%1").arg(10 + i / 700);
            if (dates == QLatin1String("missing") && i % 500 == 7)
                date = i % 1000 == 7 ? QVariant() : QVariant(QString());
            // Amounts of very different sizes, so that binary sums show tails;
            // kept in thousandths as well, for the exact totals.
            const qint64 units = i % 3 == 0 ? rng.bounded(1000000) : rng.bounded(100000);
            double amount = i % 3 == 0 ? units * 1234.567 : units / 100.0 + 0.01;
            exactAmount += i % 3 == 0 ? __int128(units) * 1234567 : __int128(units + 1) * 10;
            const int quarters = int(1 + rng.bounded(4)) * (i % 2 ? 4 : 1);
            exactQuarters += quarters;
            Line l{quarters / 4.0, amount, date};
            l.name = QString::fromUtf8(names[rng.bounded(5)]);
            l.receipt = QString::number(260101000000 + rng.bounded(400));
            l.price = rng.bounded(50) / 2.0;
            if (dates == QLatin1String("missing") && i % 300 == 11)
                l.price = QStringLiteral("-");   // a column holding numbers and text
            if (dates == QLatin1String("missing") && i % 300 == 12)
                l.price = QVariant();
            lines << l;
        }
        record(*f.file, lines);
        SalesRecordsWindow *r = openRecords(f.open());
        QVERIFY(r);

        Database db;
        db.open(f.file->path());
        Query all(db);
        all.setStatement(Statements::allRecords());
        all.open();
        // The totals are the exact sums of what the lines show.
        const QString exact = QString::number(qint64(exactAmount / 1000)) + QLatin1Char('.')
            + QString::number(qint64(exactAmount % 1000)).rightJustified(3, QLatin1Char('0'));
        const QString amount = formatGeneral(textToNumber(exact));
        QCOMPARE(r->totalAmountLabel()->text(), amount);
        QCOMPARE(r->totalQuantityLabel()->text(), formatGeneral(exactQuarters / 4.0));

        QList<int> positions;   // grid column -> column of the full result set
        for (int col = 0; col < r->records()->columnCount(); ++col)
            for (int p = 0; p < all.columnCount(); ++p)
                if (all.columnName(p) == r->records()->fieldAt(col))
                    positions << p;
        QCOMPARE(positions.size(), 9);
        auto compareOrders = [&] {
            QCOMPARE(r->records()->rowCount(), all.recordCount());
            for (int row = 0; row < all.recordCount(); ++row)
                QCOMPARE(r->records()->rowKey(row), all.valueAt(row, 0).toLongLong());
            for (int row : {0, 1, 1500, all.recordCount() - 1})
                for (int col = 0; col < positions.size(); ++col)
                    QCOMPARE(r->records()->text(row, col), all.textAt(row, positions[col]));
        };
        compareOrders();
        // Text, numbers, dates with empty ones, a column of numbers and words,
        // and columns sorted again, each time in the direction the toggle gives.
        for (const char *field : {"品名", "数量", "日期", "单号", "金额", "单价", "单号", "单价"}) {
            all.sort(QString::fromUtf8(field), r->sortToggle() ? Qt::AscendingOrder : Qt::DescendingOrder);
            clickTitle(r, QString::fromUtf8(field));
            compareOrders();
        }
        QCOMPARE(r->totalAmountLabel()->text(), amount);
        QCOMPARE(f.boxes->count(), 0);
    }

    // A million lines of 2.598 add up to 2598000 in decimal; in binary they
    // would show a tail.
    void aMillionLinesShowExactTotals()
    {
        CashierFixture f;
        f.file->exec(withNames(
            "insert into {SalesRecord} ({code}, {name}, {quantity}, {price}, {amount}, {receiptNumber}, {cashier}, {date}, {time}) "
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 1000000) "
            "select '6901', '可乐', 1, 2.598, 2.598, '260101093000', '老王', '2026-01-01', '09:30' from n"));
        SalesRecordsWindow *r = openRecords(f.open());
        QVERIFY(r);
        QCOMPARE(r->records()->rowCount(), 1000000);
        QCOMPARE(r->totalQuantityLabel()->text(), QStringLiteral("1000000"));
        QCOMPARE(r->totalAmountLabel()->text(), QStringLiteral("2598000"));
        QCOMPARE(f.boxes->count(), 0);
    }

    // Receipt numbers, dates, times and both totals show in full: each text
    // as the grid or label measures it in the face it really uses (what the
    // grid's own delegate asks for to draw a cell unclipped).
    void everyListedTextShowsInFull_data()
    {
        QTest::addColumn<double>("quantity");
        QTest::addColumn<double>("amount");
        QTest::newRow("a year of sales") << 98765.25 << 2274822.598;
        QTest::newRow("fifteen digits") << 9876543.21 << -123456789012.345;
        QTest::newRow("beyond reason") << -1.23456789012345e-300 << -DBL_MAX;
    }
    void everyListedTextShowsInFull()
    {
        QFETCH(double, quantity);
        QFETCH(double, amount);
        CashierFixture f;
        QList<Line> lines;
        const char *dates[] = {"2026-12-31", "2028-08-08", "2000-10-01"};
        const char *times[] = {"09:30", "18:58", "20:00"};
        const char *receipts[] = {"261231235959", "888888888888", "000101000000"};
        for (int i = 0; i < 3; ++i) {
            Line l{i == 0 ? quantity : 0.0, i == 0 ? amount : 0.0, QString::fromLatin1(dates[i])};
            l.time = QString::fromLatin1(times[i]);
            l.receipt = QString::fromLatin1(receipts[i]);
            lines << l;
        }
        record(*f.file, lines);
        SalesRecordsWindow *r = openRecords(f.open());
        QVERIFY(r);
        QTableView *grid = r->grid();
        QStyleOptionViewItem option;
        option.initFrom(grid->viewport());
        option.font = grid->font();
        option.fontMetrics = QFontMetrics(grid->font());
        for (const char *field : {"单号", "日期", "时间"}) {
            const int col = columnOf(r, QString::fromUtf8(field));
            for (int row = 0; row < r->records()->rowCount(); ++row) {
                const QModelIndex index = r->records()->index(row, col);
                const int needed = grid->itemDelegate()->sizeHint(option, index).width();
                const int cell = grid->visualRect(index).width();
                QVERIFY2(needed <= cell, qPrintable(QStringLiteral("%1 needs %2 px, its cell has %3")
                                                        .arg(index.data().toString()).arg(needed).arg(cell)));
            }
        }
        QVERIFY(grid->horizontalHeader()->length() <= grid->viewport()->width());

        QCOMPARE(r->totalQuantityLabel()->text(), formatGeneral(quantity));
        QCOMPARE(r->totalAmountLabel()->text(), formatGeneral(amount));
        for (QLabel *total : {r->totalQuantityLabel(), r->totalAmountLabel()}) {
            const QFontMetricsF metrics(total->font());
            QVERIFY2(metrics.horizontalAdvance(total->text()) <= total->contentsRect().width(),
                     qPrintable(total->text()));
            QVERIFY(metrics.height() <= total->contentsRect().height());
            QVERIFY(total->parentWidget()->rect().contains(total->geometry()));
            // What follows it in the panel starts beyond it.
            for (QWidget *other : total->parentWidget()->findChildren<QWidget *>())
                QVERIFY(other->x() <= total->x() || other->x() > total->geometry().right());
        }
    }

    void aLinePrintedWhileOpenAppearsAtTheNextShowing()
    {
        CashierFixture f;
        record(*f.file, {Line{1.0, 3.0, QStringLiteral("2026-01-01")}});
        CashierWindow *w = f.open();
        SalesRecordsWindow *r = openRecords(w);
        QVERIFY(r);
        QCOMPARE(r->totalAmountLabel()->text(), QStringLiteral("3"));

        Line later{2.0, 7.5, QStringLiteral("2026-01-02")};
        later.name = QStringLiteral("新");
        record(*f.file, {later});

        // Asking again while it is open only brings it to the front.
        QCOMPARE(openRecords(w), r);
        QCOMPARE(r->records()->rowCount(), 1);
        QCOMPARE(r->totalAmountLabel()->text(), QStringLiteral("3"));
        // Sorting reorders what was listed; it lists nothing new.
        clickTitle(r, QStringLiteral("品名"));
        clickTitle(r, QStringLiteral("品名"));
        QCOMPARE(r->records()->rowCount(), 1);
        QCOMPARE(columnTexts(r, QStringLiteral("品名")), QStringList{QStringLiteral("可乐")});

        // Closed with the button and opened again: read afresh.
        QTest::mouseClick(r->closeButton(), Qt::LeftButton);
        QVERIFY(!r->isVisible());
        QCOMPARE(openRecords(w), r);
        QCOMPARE(columnTexts(r, QStringLiteral("品名")), (QStringList{"新", "可乐"}));
        QCOMPARE(r->totalQuantityLabel()->text(), QStringLiteral("3"));
        QCOMPARE(r->totalAmountLabel()->text(), QStringLiteral("10.5"));

        // The close mark in the picture hides it as well.
        QTest::mouseClick(r->closeSpot(), Qt::LeftButton);
        QVERIFY(!r->isVisible());
        QVERIFY(w->isVisible());
    }

    void aFailedReadingLeavesAnEmptyGridAndTheOldTotals()
    {
        CashierFixture f;
        record(*f.file, {Line{1.5, 0.1, QStringLiteral("2026-01-01")}, Line{2.0, 0.2, QStringLiteral("2026-01-02")}});
        CashierWindow *w = f.open();
        SalesRecordsWindow *r = openRecords(w);
        QVERIFY(r);
        QCOMPARE(r->totalQuantityLabel()->text(), QStringLiteral("3.5"));
        QCOMPARE(r->totalAmountLabel()->text(), QStringLiteral("0.3"));
        QTest::keyClick(r->grid(), Qt::Key_Escape);

        f.file->exec(withNames("drop table {SalesRecord}"));
        QCOMPARE(openRecords(w), r);
        QVERIFY(r->isVisible());
        QCOMPARE(f.boxes->count(), 1);
        QCOMPARE(f.boxes->seen()[0].icon, QMessageBox::Critical);
        QVERIFY(f.boxes->lastText().contains(Tables::SalesRecord::table, Qt::CaseInsensitive));
        QCOMPARE(r->grid()->model()->rowCount(), 0);
        QCOMPARE(r->totalQuantityLabel()->text(), QStringLiteral("3.5"));
        QCOMPARE(r->totalAmountLabel()->text(), QStringLiteral("0.3"));

        // Nothing is listed to sort: the click is refused, and the toggle has turned.
        clickTitle(r, QStringLiteral("品名"));
        QVERIFY(r->sortToggle());
        QCOMPARE(f.boxes->count(), 2);
        QCOMPARE(f.boxes->lastText(), QStringLiteral("Operation is not allowed when the object is closed."));
    }
};

FENWO_TEST_MAIN(TestRecords)
#include "tst_records.moc"
