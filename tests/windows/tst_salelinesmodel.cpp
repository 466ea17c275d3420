#include "testdatabase.h"

#include "storage/database.h"
#include "till/till.h"
#include "windows/salelinesmodel.h"

#include <QAbstractItemModelTester>
#include <QTest>

// The cashier screen's grid model over the till's lines.
class TestSaleLinesModel : public QObject
{
    Q_OBJECT

private slots:
    // Every change of the sale reaches the grid as it happens; a line the
    // grid holds on to (its current line) stays with that line when the
    // lines are sorted.
    void followsEveryChangeOfTheSale()
    {
        TestDatabase file;
        file.addSaleLine(QStringLiteral("b"), QStringLiteral("乙"), 1, 2.5);
        Database db;
        db.open(file.path());
        Till till(db);
        SaleLinesModel model(till);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto names = [&] {
            QStringList out;
            for (int row = 0; row < model.rowCount(); ++row)
                out << model.index(row, 1).data().toString();
            return out;
        };

        QCOMPARE(model.rowCount(), 0);
        till.reopenSale();
        QCOMPARE(model.rowCount(), 1);
        QStringList titles;
        for (int column = 0; column < model.columnCount(); ++column)
            titles << model.headerData(column, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{"编码(条形码)", "品名", "数量", "单价", "金额"}));
        QCOMPARE(model.index(0, 4).data().toString(), QStringLiteral("2.5"));
        QCOMPARE(model.index(0, 4).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight, Qt::AlignRight);
        QCOMPARE(model.index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft, Qt::AlignLeft);

        till.addLine(QStringLiteral("甲"), QStringLiteral("3"), QStringLiteral("0.1"));
        till.addLine(QStringLiteral("丙"), QString(), QStringLiteral("4"));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("-"));
        QCOMPARE(model.index(1, 4).data().toString(), QStringLiteral("0.3"));   // 3 × 0.1, no binary tail
        QCOMPARE(model.index(2, 2).data().toString(), QString());   // an empty quantity shows empty

        const QPersistentModelIndex kept = model.index(0, 1);
        QVERIFY(till.modifyLine(0, QStringLiteral("乙"), QStringLiteral("2"), QStringLiteral("2.5")));
        QCOMPARE(model.index(0, 4).data().toString(), QStringLiteral("5"));

        till.sortLines(SaleLine::Field::Quantity, Qt::AscendingOrder);   // the empty quantity first
        QCOMPARE(names(), (QStringList{"丙", "乙", "甲"}));
        QCOMPARE(kept.row(), 1);
        QCOMPARE(kept.data().toString(), QStringLiteral("乙"));
        QVERIFY(till.deleteLine(kept.row()));
        QVERIFY(!kept.isValid());
        QCOMPARE(names(), (QStringList{"丙", "甲"}));

        // Read again, the lines are in the order they were added.
        till.reopenSale();
        QCOMPARE(names(), (QStringList{"甲", "丙"}));
    }
};

QTEST_GUILESS_MAIN(TestSaleLinesModel)
#include "tst_salelinesmodel.moc"
