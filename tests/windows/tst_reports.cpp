#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "typing.h"
#include "withnames.h"

#include "windows/salesrecordmodel.h"
#include "receipt/receiptprinter.h"
#include "storage/tables.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/flatspeedbutton.h"
#include "windows/reportswindow.h"
#include "windows/salesrecordswindow.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QStandardItemModel>
#include <QTableView>
#include <QValueAxis>

namespace {

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(20000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList pdfs(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
}

QString dayText(int daysFromToday)
{
    return QDate::currentDate().addDays(daysFromToday).toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

    std::unique_ptr<CashierFixture> f;
    CashierWindow *w = nullptr;
    std::unique_ptr<QTemporaryDir> out;

    ReportsWindow *openReports()
    {
        QTest::keyClick(w->productBox(), Qt::Key_F6);
        QApplication::processEvents();
        return w->reportsWindow();
    }

    QString figure(ReportsWindow *r, ReportsWindow::Figure which) { return r->figureLabel(which)->text(); }

    int records() { return f->file->count(Tables::SalesRecord::table); }

private slots:
    void init()
    {
        out = std::make_unique<QTemporaryDir>();
        f = std::make_unique<CashierFixture>();
        f->file->setSettings(QStringLiteral("小王"), QStringLiteral("      好邻居便利店"), QStringLiteral("欢迎光临"));
        f->file->addRecordLine(QStringLiteral("100000000001"), QStringLiteral("小王"), dayText(-1),
                               QStringLiteral("20:00"), QStringLiteral("面包"), 1, 3.5);
        f->file->addRecordLine(QStringLiteral("100000000002"), QStringLiteral("小王"), dayText(0),
                               QStringLiteral("09:15"), QStringLiteral("可口可乐"), 2, 19.2);
        f->file->addRecordLine(QStringLiteral("100000000002"), QStringLiteral("小王"), dayText(0),
                               QStringLiteral("09:15"), QStringLiteral("康师傅红烧牛肉面"), 1, 4.5);
        f->file->addRecordLine(QStringLiteral("100000000003"), QStringLiteral("老李"), dayText(0),
                               QStringLiteral("14:40"), QStringLiteral("可口可乐"), 1, 9.6);
        w = f->open();
        w->setReceiptPrinter(ReceiptPrinter::create(QStringLiteral("pdf:") + out->path()));
    }
    void cleanup()
    {
        f.reset();
        w = nullptr;
    }

    void f6ShowsTodayAndTheRecordsWindowLeadsThereToo()
    {
        ReportsWindow *r = openReports();
        QVERIFY(r && r->isVisible());
        QVERIFY(r->periodButton(ReportRange::Preset::Today)->isDown());
        QCOMPARE(figure(r, ReportsWindow::Figure::Receipts), QStringLiteral("2"));
        QCOMPARE(figure(r, ReportsWindow::Figure::Items), QStringLiteral("4"));
        QCOMPARE(figure(r, ReportsWindow::Figure::Takings), QStringLiteral("33.3"));
        QCOMPARE(figure(r, ReportsWindow::Figure::Average), QStringLiteral("16.65"));
        QCOMPARE(figure(r, ReportsWindow::Figure::FirstSale), dayText(0) + QStringLiteral(" 09:15"));
        QCOMPARE(figure(r, ReportsWindow::Figure::LastSale), dayText(0) + QStringLiteral(" 14:40"));
        QCOMPARE(r->cashierGrid()->model()->rowCount(), 2);
        QCOMPARE(r->topGrid()->model()->index(0, 1).data().toString(), QStringLiteral("可口可乐"));
        QCOMPARE(r->topGrid()->model()->index(0, 3).data().toString(), QStringLiteral("28.8"));

        // The hour chart has the takings in the bars of 9 and 14 o'clock, and
        // shows the hours from 8 to 20.
        const QChart *hours = r->hourChart()->chart();
        const auto *series = qobject_cast<QBarSeries *>(hours->series().value(0));
        const auto *axis = qobject_cast<QValueAxis *>(hours->axes(Qt::Horizontal).value(0));
        QVERIFY(series && axis);
        QCOMPARE(axis->min(), 7.5);
        QCOMPARE(axis->max(), 20.5);
        const QBarSet *bars = series->barSets().value(0);
        QCOMPARE(bars->at(9), 23.7);
        QCOMPARE(bars->at(14), 9.6);
        QCOMPARE(bars->at(20), 0.0);

        // A title click sorts the best sellers by quantity, least first.
        r->topGrid()->sortByColumn(2, Qt::AscendingOrder);
        QCOMPARE(r->topGrid()->model()->index(0, 1).data().toString(), QStringLiteral("康师傅红烧牛肉面"));

        QTest::mouseClick(r->periodButton(ReportRange::Preset::Yesterday), Qt::LeftButton);
        QCOMPARE(figure(r, ReportsWindow::Figure::Takings), QStringLiteral("3.5"));
        QCOMPARE(r->fromBox()->date(), QDate::currentDate().addDays(-1));
        QTest::mouseClick(r->periodButton(ReportRange::Preset::Today), Qt::LeftButton);
        r->cashierBox()->setEditText(QString());
        typeText(r->cashierBox(), QStringLiteral("老李"));
        QTest::keyClick(r->cashierBox(), Qt::Key_Return);
        QCOMPARE(figure(r, ReportsWindow::Figure::Takings), QStringLiteral("9.6"));
        QCOMPARE(r->cashierGrid()->model()->rowCount(), 1);
        QCOMPARE(f->boxes->count(), 0);

        // From the sales records window: the same window, back at today for everyone.
        QTest::keyClick(r->cashierBox(), Qt::Key_Escape);
        QVERIFY(!r->isVisible());
        QTest::keyClick(w->productBox(), Qt::Key_F5);
        SalesRecordsWindow *records = w->recordsWindow();
        QVERIFY(records && records->isVisible());
        QTest::mouseClick(records->reportsButton(), Qt::LeftButton);
        QCOMPARE(w->reportsWindow(), r);
        QVERIFY(r->isVisible());
        QCOMPARE(figure(r, ReportsWindow::Figure::Takings), QStringLiteral("33.3"));
    }

    void exportsHoldTheChartsAndTheFigures()
    {
        ReportsWindow *r = openReports();
        const QString pdf = out->filePath(QStringLiteral("report.pdf"));
        r->exportPdf(pdf);
        QVERIFY(run(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))));
        const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        for (const char *expected : {"销售报表", "好邻居便利店", "按小时营业额", "按日营业额", "营业额前20", "数量前20",
                                     "可口可乐", "33.3", "16.65"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        // The charts' axes are drawn as text too: the hours under the bars.
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("\\b16\\s+18\\s+20\\b"))));

        const QString csv = out->filePath(QStringLiteral("report.csv"));
        r->exportCsv(csv);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QString rows = QString::fromUtf8(bytes.mid(3));
        QVERIFY(rows.contains(QStringLiteral("\r\n营业额,33.3\r\n")));
        QVERIFY(rows.contains(QStringLiteral("\r\n小王,1,2,3,23.7\r\n")));
        QVERIFY(rows.contains(QStringLiteral("\r\n1,69,可口可乐,3,28.8,2\r\n")));
    }

    void aZReportClosesTheDayAgainstTheCountedCash()
    {
        ReportsWindow *r = openReports();
        QTest::keyClick(r->countedCashBox(), Qt::Key_F9);
        QCOMPARE(f->boxes->lastText(), QStringLiteral("请填上清点的现金金额!"));
        QCOMPARE(f->file->count(Tables::DayClosings::table), 0);

        f->boxes->clear();
        typeText(r->countedCashBox(), QStringLiteral("30"));
        QTest::keyClick(r->countedCashBox(), Qt::Key_F9);
        QCOMPARE(f->boxes->count(), 2);   // the question, answered Yes, and the notice
        // The question shows what the Z closes: every sale since the last Z,
        // yesterday's bread included, whatever dates the window shows.
        const QString question = f->boxes->seen()[0].text;
        QVERIFY(question.contains(QStringLiteral("日结")));
        QVERIFY2(question.contains(QStringLiteral("首笔 %1 20:00，末笔 %2 14:40，3 张小票，营业额 36.8").arg(dayText(-1), dayText(0))),
                 qPrintable(question));
        QVERIFY(f->boxes->lastText().contains(QStringLiteral("差额 -6.8")));
        QCOMPARE(f->file->scalar(withNames("select {takings} || '/' || {counted} || '/' || {difference} from {DayClosings}")).toString(),
                 QStringLiteral("36.8/30/-6.8"));
        QCOMPARE(pdfs(out->path()).size(), 1);
        QVERIFY(figure(r, ReportsWindow::Figure::LastClosing).startsWith(QStringLiteral("No.1 ")));
        QCOMPARE(r->countedCashBox()->text(), QString());
        QCOMPARE(records(), 4);

        // The same Z again from the window, as it was printed.
        r->reprintClosing(1);
        QCOMPARE(pdfs(out->path()).size(), 2);
        const QStringList printed = pdfs(out->path());
        auto textOf = [&](const QString &name) { return run(QStringLiteral("pdftotext"), {out->filePath(name), QStringLiteral("-")}); };
        QCOMPARE(textOf(printed[1]), textOf(printed[0]));

        // Nothing sold since: the question says so before anything is closed.
        f->boxes->clear();
        typeText(r->countedCashBox(), QStringLiteral("0"));
        QTest::keyClick(r->countedCashBox(), Qt::Key_F9);
        QVERIFY2(f->boxes->seen()[0].text.startsWith(QStringLiteral("上次日结以来没有销售。")),
                 qPrintable(f->boxes->seen()[0].text));
    }

    // A month's figures are longer than a day's: each fits its column.
    void everyNumberFitsItsCell()
    {
        f->file->addRecordLine(QStringLiteral("100000000004"), QStringLiteral("小王"), dayText(0),
                               QStringLiteral("15:00"), QStringLiteral("金条"), 12345.678, 36984123.45);
        ReportsWindow *r = openReports();
        for (const auto &[grid, numbers] : {std::pair(r->cashierGrid(), QList<int>{1, 2, 3}),
                                            std::pair(r->topGrid(), QList<int>{2, 3})}) {
            const QFontMetrics metrics(grid->font());
            for (int row = 0; row < grid->model()->rowCount(); ++row)
                for (const int column : numbers) {
                    const QString text = grid->model()->index(row, column).data().toString();
                    QVERIFY2(grid->columnWidth(column) > metrics.horizontalAdvance(text), qPrintable(text));
                }
        }
    }

    void aPastReceiptIsPrintedAgainFromTheRecordsWindow()
    {
        QTest::keyClick(w->productBox(), Qt::Key_F5);
        SalesRecordsWindow *rw = w->recordsWindow();
        QVERIFY(rw);
        // A click on one of its lines chooses the receipt.
        int row = 0;
        while (rw->records()->text(row, 0) != QStringLiteral("100000000003"))
            ++row;
        const QModelIndex cell = rw->records()->index(row, 2);
        rw->grid()->scrollTo(cell);
        QTest::mouseClick(rw->grid()->viewport(), Qt::LeftButton, {}, rw->grid()->visualRect(cell).center());
        QCOMPARE(rw->receiptNumberBox()->text(), QStringLiteral("100000000003"));
        QTest::mouseClick(rw->reprintButton(), Qt::LeftButton);
        QCOMPARE(f->boxes->count(), 0);
        const QStringList printed = pdfs(out->path());
        QCOMPARE(printed.size(), 1);
        const QString text = run(QStringLiteral("pdftotext"), {out->filePath(printed[0]), QStringLiteral("-")});
        for (const char *expected : {"重印", "单号:100000000003", "收银员:老李", "合计金额:9.6"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(text));
        QCOMPARE(records(), 4);

        // A number typed by hand that no receipt has.
        rw->receiptNumberBox()->clear();
        typeText(rw->receiptNumberBox(), QStringLiteral("123"));
        QTest::keyClick(rw->receiptNumberBox(), Qt::Key_Return);
        QCOMPARE(f->boxes->count(), 1);
        QVERIFY(f->boxes->lastText().contains(QStringLiteral("123")));
        QCOMPARE(pdfs(out->path()).size(), 1);
    }
};

FENWO_TEST_MAIN(TestReports)
#include "tst_reports.moc"
