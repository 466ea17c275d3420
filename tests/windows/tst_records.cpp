#include "fenwotestmain.h"
#include "cashierfixture.h"

#include "db/database.h"
#include "db/numbertext.h"
#include "db/query.h"
#include "db/salesrecordmodel.h"
#include "db/statements.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatspeedbutton.h"
#include "windows/salesrecordswindow.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTableView>

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
        file.exec(QStringLiteral("insert into XiaoShouRecord (编码, 品名, 数量, 单价, 金额, 单号, 收银员, 日期, 时间) "
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
    for (int c = 0; c < r->AdoQueryRecord->columnCount(); ++c)
        if (r->AdoQueryRecord->fieldAt(c) == field)
            return c;
    return -1;
}

QStringList columnTexts(SalesRecordsWindow *r, const QString &field)
{
    QStringList texts;
    const int c = columnOf(r, field);
    for (int row = 0; row < r->AdoQueryRecord->rowCount(); ++row)
        texts << r->DBGrid1->model()->index(row, c).data().toString();
    return texts;
}

QList<qint64> keysShown(SalesRecordsWindow *r)
{
    QList<qint64> keys;
    for (int row = 0; row < r->AdoQueryRecord->rowCount(); ++row)
        keys << r->AdoQueryRecord->rowKey(row);
    return keys;
}

// A real click on a column title.
void clickTitle(SalesRecordsWindow *r, const QString &field)
{
    QHeaderView *titles = r->DBGrid1->horizontalHeader();
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
        QCOMPARE(r->DBGrid1->model()->rowCount(), int(quantities.size()));
        QCOMPARE(r->Label12->text(), quantityText);
        QCOMPARE(r->Label13->text(), amountText);
        QCOMPARE(f.boxes->count(), 0);
        if (quantities.isEmpty())
            QVERIFY(!r->DBGrid1->currentIndex().isValid());
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
        for (int col = 0; col < r->DBGrid1->model()->columnCount(); ++col) {
            titles << r->DBGrid1->model()->headerData(col, Qt::Horizontal).toString();
            widths << r->DBGrid1->columnWidth(col);
        }
        QCOMPARE(titles, (QStringList{"单号", "编码(条形码)", "品名", "数量", "单价", "金额", "收银员", "日期", "时间"}));
        QCOMPARE(widths, (QList<int>{130, 140, 205, 70, 70, 90, 50, 88, 50}));

        // The last, oldest line is current and selected, and in sight.
        const QModelIndex current = r->DBGrid1->currentIndex();
        QCOMPARE(current.row(), 3);
        QVERIFY(r->DBGrid1->selectionModel()->isSelected(current));
        QVERIFY(r->DBGrid1->viewport()->rect().intersects(r->DBGrid1->visualRect(current)));

        // Read-only: a double click or typing opens no editor.
        QVERIFY(!(r->DBGrid1->model()->flags(current) & Qt::ItemIsEditable));
        QTest::mouseDClick(r->DBGrid1->viewport(), Qt::LeftButton, {}, r->DBGrid1->visualRect(current).center());
        QVERIFY(r->DBGrid1->findChildren<QLineEdit *>().isEmpty());
        QCOMPARE(f.file->scalar(QStringLiteral("select count(*) from XiaoShouRecord")).toInt(), 4);
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
        QAbstractItemModelTester tester(r->AdoQueryRecord, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(r->Label12->text(), QStringLiteral("9"));
        QCOMPARE(r->Label13->text(), QStringLiteral("31.5"));
        QCOMPARE(keysShown(r), (QList<qint64>{5, 4, 3, 2, 1}));
        QVERIFY(!r->sortToggle());

        // First click in the window's life: descending (text by its
        // characters: 甲 U+7532, 乙 U+4E59, 丙 U+4E19). Equal names keep the
        // order they had (newest date first).
        r->DBGrid1->setCurrentIndex(r->AdoQueryRecord->index(1, 0));   // line 4
        clickTitle(r, QStringLiteral("品名"));
        QVERIFY(r->sortToggle());
        QCOMPARE(columnTexts(r, QStringLiteral("品名")), (QStringList{"甲", "甲", "乙", "乙", "丙"}));
        QCOMPARE(keysShown(r), (QList<qint64>{5, 2, 3, 1, 4}));
        QCOMPARE(r->AdoQueryRecord->rowKey(r->DBGrid1->currentIndex().row()), 4);   // the current line stays current

        // Next click, on another column: ascending, ties in the order just shown.
        clickTitle(r, QStringLiteral("数量"));
        QVERIFY(!r->sortToggle());
        QCOMPARE(columnTexts(r, QStringLiteral("数量")), (QStringList{"1", "1", "2", "2", "3"}));
        QCOMPARE(keysShown(r), (QList<qint64>{2, 4, 5, 1, 3}));
        QCOMPARE(r->AdoQueryRecord->rowKey(r->DBGrid1->currentIndex().row()), 4);

        // Dates and times sort as text.
        clickTitle(r, QStringLiteral("日期"));
        QCOMPARE(columnTexts(r, QStringLiteral("日期")),
                 (QStringList{"2026-01-05", "2026-01-04", "2026-01-03", "2026-01-02", "2026-01-01"}));
        QCOMPARE(r->Label12->text(), QStringLiteral("9"));
        QCOMPARE(r->Label13->text(), QStringLiteral("31.5"));

        // The toggle outlives hiding; the next showing lists by date again.
        QTest::keyClick(r->DBGrid1, Qt::Key_Escape);
        QVERIFY(!r->isVisible());
        QVERIFY(r->sortToggle());
        QCOMPARE(openRecords(f.window.get()), r);
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
        CashierFixture f;
        QRandomGenerator rng(20261207);
        const char *names[] = {"可乐", "雪碧", "面包", "牛奶", "Tea"};
        QList<Line> lines;
        for (int i = 0; i < 3000; ++i) {
            QVariant date = QDate(2025, 1, 1).addDays(i / 40).toString(QStringLiteral("yyyy-MM-dd"));
            if (dates == QLatin1String("backdated") && i % 700 == 350)
                date = QStringLiteral("2024-12-%1").arg(10 + i / 700);
            if (dates == QLatin1String("missing") && i % 500 == 7)
                date = i % 1000 == 7 ? QVariant() : QVariant(QString());
            // Amounts of very different sizes, so that the order of adding shows in the digits.
            double amount = i % 3 == 0 ? rng.bounded(1000000) * 1234.567 : rng.bounded(100000) / 100.0 + 0.01;
            if (i == 0)
                amount = 1e16;   // swallows the small amounts added after it
            Line l{double(1 + rng.bounded(4)) / (i % 2 ? 1 : 4), amount, date};
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
        double quantity = 0;
        double amount = 0;
        for (all.first(); !all.eof(); all.next()) {
            quantity += all.number(QStringLiteral("数量"));
            amount += all.number(QStringLiteral("金额"));
        }
        QCOMPARE(r->Label12->text(), formatGeneral(quantity));
        QCOMPARE(r->Label13->text(), formatGeneral(amount));

        // The data would show a summing order other than the listed one.
        double byKey = 0;
        for (const QVariantList &row : f.file->rows(QStringLiteral("select 金额 from XiaoShouRecord order by id")))
            byKey += row[0].toDouble();
        QVERIFY(formatGeneral(byKey) != formatGeneral(amount));

        QList<int> positions;   // grid column -> column of the full result set
        for (int col = 0; col < r->AdoQueryRecord->columnCount(); ++col)
            for (int p = 0; p < all.columnCount(); ++p)
                if (all.columnName(p) == r->AdoQueryRecord->fieldAt(col))
                    positions << p;
        QCOMPARE(positions.size(), 9);
        auto compareOrders = [&] {
            QCOMPARE(r->AdoQueryRecord->rowCount(), all.recordCount());
            for (int row = 0; row < all.recordCount(); ++row)
                QCOMPARE(r->AdoQueryRecord->rowKey(row), all.valueAt(row, 0).toLongLong());
            for (int row : {0, 1, 1500, all.recordCount() - 1})
                for (int col = 0; col < positions.size(); ++col)
                    QCOMPARE(r->AdoQueryRecord->text(row, col), all.textAt(row, positions[col]));
        };
        compareOrders();
        // Text, numbers, dates with empty ones, a column of numbers and words,
        // and columns sorted again, each time in the direction the toggle gives.
        for (const char *field : {"品名", "数量", "日期", "单号", "金额", "单价", "单号", "单价"}) {
            all.sort(QString::fromUtf8(field), r->sortToggle() ? Qt::AscendingOrder : Qt::DescendingOrder);
            clickTitle(r, QString::fromUtf8(field));
            compareOrders();
        }
        QCOMPARE(r->Label13->text(), formatGeneral(amount));
        QCOMPARE(f.boxes->count(), 0);
    }

    void aLinePrintedWhileOpenAppearsAtTheNextShowing()
    {
        CashierFixture f;
        record(*f.file, {Line{1.0, 3.0, QStringLiteral("2026-01-01")}});
        CashierWindow *w = f.open();
        SalesRecordsWindow *r = openRecords(w);
        QVERIFY(r);
        QCOMPARE(r->Label13->text(), QStringLiteral("3"));

        Line later{2.0, 7.5, QStringLiteral("2026-01-02")};
        later.name = QStringLiteral("新");
        record(*f.file, {later});

        // Asking again while it is open only brings it to the front.
        QCOMPARE(openRecords(w), r);
        QCOMPARE(r->AdoQueryRecord->rowCount(), 1);
        QCOMPARE(r->Label13->text(), QStringLiteral("3"));
        // Sorting reorders what was listed; it lists nothing new.
        clickTitle(r, QStringLiteral("品名"));
        clickTitle(r, QStringLiteral("品名"));
        QCOMPARE(r->AdoQueryRecord->rowCount(), 1);
        QCOMPARE(columnTexts(r, QStringLiteral("品名")), QStringList{QStringLiteral("可乐")});

        // Closed with the button and opened again: read afresh.
        QTest::mouseClick(r->FlatSpeedButton6, Qt::LeftButton);
        QVERIFY(!r->isVisible());
        QCOMPARE(openRecords(w), r);
        QCOMPARE(columnTexts(r, QStringLiteral("品名")), (QStringList{"新", "可乐"}));
        QCOMPARE(r->Label12->text(), QStringLiteral("3"));
        QCOMPARE(r->Label13->text(), QStringLiteral("10.5"));

        // The close mark in the picture hides it as well.
        QTest::mouseClick(r->FlatSpeedButton2, Qt::LeftButton);
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
        QCOMPARE(r->Label12->text(), QStringLiteral("3.5"));
        QCOMPARE(r->Label13->text(), QStringLiteral("0.3"));
        QTest::keyClick(r->DBGrid1, Qt::Key_Escape);

        f.file->exec(QStringLiteral("drop table XiaoShouRecord"));
        QCOMPARE(openRecords(w), r);
        QVERIFY(r->isVisible());
        QCOMPARE(f.boxes->count(), 1);
        QCOMPARE(f.boxes->seen()[0].icon, QMessageBox::Critical);
        QVERIFY(f.boxes->lastText().contains(QStringLiteral("XiaoShouRecord")));
        QCOMPARE(r->DBGrid1->model()->rowCount(), 0);
        QCOMPARE(r->Label12->text(), QStringLiteral("3.5"));
        QCOMPARE(r->Label13->text(), QStringLiteral("0.3"));

        // Nothing is listed to sort: the click is refused, and the toggle has turned.
        clickTitle(r, QStringLiteral("品名"));
        QVERIFY(r->sortToggle());
        QCOMPARE(f.boxes->count(), 2);
        QCOMPARE(f.boxes->lastText(), QStringLiteral("Operation is not allowed when the object is closed."));
    }
};

FENWO_TEST_MAIN(TestRecords)
#include "tst_records.moc"
