#include "opendatabase.h"
#include "testdatabase.h"

#include "widgets/flatcombobox.h"
#include "windows/productnamesmodel.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <algorithm>

class TestProductNamesModel : public QObject
{
    Q_OBJECT

private slots:
    // A catalogue larger than a page, with names that several products
    // share and names that differ only in letter case: the list starts with
    // one page, scrolls through every name once, and the box keeps what the
    // cashier typed while the list is read again.
    void theListReadsTheCatalogueAPageAtATime()
    {
        OpenDatabase data;
        QStringList expected;
        data.file.exec(QStringLiteral("begin"));
        for (int i = 0; i < 2 * ProductNamesModel::kPage + 50; ++i) {
            const QString name = i % 7 == 0 ? QStringLiteral("散装糖果") : QStringLiteral("商品%1").arg(i, 4, 10, QLatin1Char('0'));
            data.file.addProduct(QString::number(690000 + i), name, 1);
            if (!expected.contains(name))
                expected << name;
        }
        int code = 0;
        for (const char *name : {"Cola", "cola", "COLA"}) {
            data.file.addProduct(QStringLiteral("c%1").arg(++code), QLatin1String(name), 3);
            expected << QLatin1String(name);
        }
        data.file.exec(QStringLiteral("commit"));

        ProductNamesModel names(data.db);
        names.reload();
        QCOMPARE(names.rowCount(), ProductNamesModel::kPage);
        QVERIFY(names.canFetchMore({}));

        FlatComboBox box;
        box.setListModel(&names);
        QStringList listed = box.items();
        QCOMPARE(names.rowCount(), int(expected.size()));
        QVERIFY(!names.canFetchMore({}));
        QStringList unordered = listed;
        std::sort(unordered.begin(), unordered.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(unordered, expected);
        // In the order a name search walks: letter case aside.
        QVERIFY(std::is_sorted(listed.begin(), listed.end(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        }));

        box.setEditText(QStringLiteral("可口"));
        box.lineEdit()->setCursorPosition(1);
        names.reload();
        QCOMPARE(box.currentText(), QStringLiteral("可口"));
        QCOMPARE(box.lineEdit()->cursorPosition(), 1);
        QCOMPARE(box.count(), ProductNamesModel::kPage);
    }
};

QTEST_MAIN(TestProductNamesModel)
#include "tst_productnamesmodel.moc"
