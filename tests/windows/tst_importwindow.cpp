#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "filedialoganswers.h"
#include "whenmodalshows.h"
#include "withnames.h"

#include "storage/tables.h"
#include "windows/cataloguemodel.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatspeedbutton.h"
#include "windows/cataloguewindow.h"
#include "windows/productimportdialog.h"

#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>

namespace {

CatalogueWindow *openCatalogue(CashierWindow *w)
{
    QTest::keyClick(w->productBox(), Qt::Key_F3);
    CatalogueWindow *c = w->catalogueWindow();
    if (c && !QTest::qWaitFor([c] { return QApplication::activeWindow() == c; }))
        qWarning("catalogue window not active");
    return c;
}

QStringList gridRow(QTableView *grid, int row)
{
    QStringList out;
    for (int column = 0; column < grid->model()->columnCount(); ++column)
        out << grid->model()->index(row, column).data().toString();
    return out;
}

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QString textOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    // fromUtf8 would drop the byte order mark: it is shown as U+FEFF.
    const QByteArray bytes = f.readAll();
    return bytes.startsWith("\xEF\xBB\xBF") ? QChar(0xFEFF) + QString::fromUtf8(bytes.mid(3)) : QString::fromUtf8(bytes);
}

} // namespace

class TestImportWindow : public QObject
{
    Q_OBJECT

private slots:
    // A GBK list from a spreadsheet: previewed, confirmed, imported; the
    // report names the row left out and is saved; the catalogue and the
    // cashier's product list show the new products at once.
    void aListIsPreviewedImportedAndReported()
    {
        CashierFixture f;
        f.file->addProduct(QStringLiteral("6901"), QStringLiteral("可乐"), 3);
        QTemporaryDir dir;
        // 条码 名称 售价 / 可口可乐 3.5 / 雪碧 2 / (no name) / 可乐 again, in GBK, tab between fields.
        const QString list = writeFile(dir.filePath(QStringLiteral("供货单.csv")),
                                       QByteArray("\xCC\xF5\xC2\xEB\t\xC3\xFB\xB3\xC6\t\xCA\xDB\xBC\xDB\r\n"
                                                  "6901\t\xBF\xC9\xBF\xDA\xBF\xC9\xC0\xD6\t3.5\r\n"
                                                  "6902\t\xD1\xA9\xB1\xCC\t2\r\n"
                                                  "6903\t\t1\r\n"));
        const QString reportPath = dir.filePath(QStringLiteral("report.csv"));
        FileDialogAnswers files({list, reportPath});
        CashierWindow *w = f.open();
        CatalogueWindow *c = openCatalogue(w);
        QVERIFY(c);

        QString format, columns, summary;
        QList<QStringList> preview, report;
        whenModalShows<ProductImportDialog>([&](ProductImportDialog *d) {
            format = d->formatLabel()->text();
            columns = d->columnsLabel()->text();
            for (int row = 0; row < d->grid()->model()->rowCount(); ++row)
                preview << gridRow(d->grid(), row);
            QVERIFY(d->updateBox()->isChecked());
            d->importButton()->click();
            summary = d->summaryLabel()->text();
            for (int row = 0; row < d->grid()->model()->rowCount(); ++row)
                report << gridRow(d->grid(), row);
            d->saveReportButton()->click();
            d->closeButton()->click();
        });
        c->importButton()->click();

        QCOMPARE(format, QStringLiteral("文字编码：GBK　　分隔符：制表符　　第一行：列名"));
        QCOMPARE(columns, QStringLiteral("编码 ← 条码（第 1 列）　　品名 ← 名称（第 2 列）　　单价 ← 售价（第 3 列）"));
        QCOMPARE(preview.size(), 3);
        QCOMPARE(preview[0], (QStringList{QStringLiteral("2"), QStringLiteral("6901"), QStringLiteral("可口可乐"),
                                          QStringLiteral("3.5"), QString()}));
        QCOMPARE(preview[2].last(), QStringLiteral("品名为空"));
        QCOMPARE(summary, QStringLiteral("导入完成：新增 1 个商品，更新 1 个，未变 0 个，跳过 0 个，有问题未导入 1 行。"));
        QCOMPARE(report, (QList<QStringList>{{QStringLiteral("4"), QStringLiteral("品名为空"), QStringLiteral("6903"),
                                              QString(), QStringLiteral("1")}}));
        QCOMPARE(textOf(reportPath), QStringLiteral("\uFEFF行号,原因,编码,品名,单价\r\n4,品名为空,6903,,1\r\n"));
        QCOMPARE(f.boxes->count(), 0);

        QCOMPARE(f.file->rows(withNames("select {code}, {name}, {price} from {Catalogue} order by {code}")),
                 (QList<QVariantList>{{QStringLiteral("6901"), QStringLiteral("可口可乐"), 3.5},
                                      {QStringLiteral("6902"), QStringLiteral("雪碧"), 2.0}}));
        QCOMPARE(c->catalogue()->rowCount(), 2);
        QStringList names = w->productBox()->items();
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("可口可乐"), QStringLiteral("雪碧")}));

        // And out again: the catalogue as a spreadsheet opens it.
        const QString exported = dir.filePath(QStringLiteral("商品.csv"));
        files.add(exported);
        c->exportButton()->click();
        QCOMPARE(textOf(exported), QStringLiteral("\uFEFF编码,品名,单价\r\n6901,可口可乐,3.5\r\n6902,雪碧,2\r\n"));
        QCOMPARE(f.boxes->count(), 1);
    }

    void aFileThatIsNoListIsRefusedBeforeAnythingIsAsked()
    {
        CashierFixture f;
        f.file->addProduct(QStringLiteral("6901"), QStringLiteral("可乐"), 3);
        QTemporaryDir dir;
        QByteArray picture("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
        picture += QByteArray(2000, '\x01');
        FileDialogAnswers files({writeFile(dir.filePath(QStringLiteral("logo.png")), picture)});
        CashierWindow *w = f.open();
        CatalogueWindow *c = openCatalogue(w);
        QVERIFY(c);
        c->importButton()->click();
        QCOMPARE(f.boxes->count(), 1);
        QVERIFY2(f.boxes->lastText().contains(QStringLiteral("不是文本")), qPrintable(f.boxes->lastText()));
        QCOMPARE(f.file->count(Tables::Catalogue::table), 1);
        QCOMPARE(c->catalogue()->rowCount(), 1);
    }
};

FENWO_TEST_MAIN(TestImportWindow)
#include "tst_importwindow.moc"
