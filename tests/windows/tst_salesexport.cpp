#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "filedialoganswers.h"
#include "whenmodalshows.h"
#include "withnames.h"

#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/flatspeedbutton.h"
#include "windows/salesexportdialog.h"
#include "windows/salesrecordswindow.h"

namespace {

QStringList linesOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return {QStringLiteral("(no byte order mark)")};
    return QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

} // namespace

class TestSalesExport : public QObject
{
    Q_OBJECT

private slots:
    // The days typed are checked before a file is asked for; both days are included.
    void theRecordsOfSomeDaysGoToAFile()
    {
        CashierFixture f;
        for (const char *date : {"2026-01-01", "2026-01-02", "2026-01-03"}) {
            f.file->exec(withNames("insert into {SalesRecord} ({code}, {name}, {quantity}, {price}, {amount}, {receiptNumber}, {cashier}, {date}, {time}) "
                                        "values ('6901', '可乐', 2, 1.5, 3, '1', '小李', ?, '10:00')"),
                         {QString::fromLatin1(date)});
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sales.csv"));
        FileDialogAnswers files({path});
        CashierWindow *w = f.open();
        QTest::keyClick(w->productBox(), Qt::Key_F5);
        SalesRecordsWindow *r = w->recordsWindow();
        QVERIFY(r);

        whenModalShows<SalesExportDialog>([&](SalesExportDialog *d) {
            d->fromBox()->setText(QStringLiteral("2026-1-2"));
            d->exportButton()->click();   // refused: not yyyy-mm-dd
            d->fromBox()->setText(QStringLiteral("2026-01-02"));
            d->toBox()->setText(QStringLiteral("2026-01-03"));
            d->exportButton()->click();
        });
        r->exportButton()->click();

        QCOMPARE(files.titles().size(), 1);
        QCOMPARE(f.boxes->count(), 2);
        QVERIFY(f.boxes->seen()[0].text.contains(QStringLiteral("2026-1-2")));
        QCOMPARE(f.boxes->seen()[1].text, QStringLiteral("已导出 2 行销售记录到 %1").arg(path));
        QCOMPARE(linesOf(path), (QStringList{QStringLiteral("单号,日期,时间,收银员,编码,品名,数量,单价,金额"),
                                             QStringLiteral("1,2026-01-02,10:00,小李,6901,可乐,2,1.5,3"),
                                             QStringLiteral("1,2026-01-03,10:00,小李,6901,可乐,2,1.5,3")}));
    }

    // The data file is never chosen as the export's file; a file that is no
    // export of the program's is replaced only when the shop says yes.
    void theDatabaseIsRefusedAndAnotherFileReplacedOnlyWhenSaidSo()
    {
        CashierFixture f;
        f.file->exec(withNames("insert into {SalesRecord} ({code}, {name}, {quantity}, {price}, {amount}, "
                               "{receiptNumber}, {cashier}, {date}, {time}) "
                               "values ('6901', '可乐', 2, 1.5, 3, '1', '小李', '2026-01-01', '10:00')"));
        QTemporaryDir dir;
        const QString notes = dir.filePath(QStringLiteral("notes.csv"));
        {
            QFile file(notes);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("进货记录\n") > 0);
        }
        FileDialogAnswers files({f.file->path(), notes, notes});
        CashierWindow *w = f.open();
        QTest::keyClick(w->productBox(), Qt::Key_F5);
        SalesRecordsWindow *r = w->recordsWindow();
        QVERIFY(r);
        whenModalShows<SalesExportDialog>([&](SalesExportDialog *d) {
            d->exportButton()->click();   // the data file: refused
            f.boxes->setAnswer(QMessageBox::No);
            d->exportButton()->click();   // notes.csv: not replaced
            f.boxes->setAnswer(QMessageBox::Yes);
            d->exportButton()->click();   // notes.csv: replaced
        });
        r->exportButton()->click();

        QCOMPARE(files.titles().size(), 3);
        QVERIFY2(f.boxes->seen().value(0).text.contains(QStringLiteral("不能写到")),
                 qPrintable(f.boxes->seen().value(0).text));
        QCOMPARE(f.file->rows(withNames("select count(*) from {SalesRecord}")).value(0).value(0).toInt(), 1);
        QVERIFY(f.boxes->seen().value(1).text.contains(QStringLiteral("不是本程序导出的")));
        QCOMPARE(f.boxes->seen().value(2).text, f.boxes->seen().value(1).text);
        QCOMPARE(linesOf(notes).value(1), QStringLiteral("1,2026-01-01,10:00,小李,6901,可乐,2,1.5,3"));
    }
};

FENWO_TEST_MAIN(TestSalesExport)
#include "tst_salesexport.moc"
