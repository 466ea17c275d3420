#include "escposlines.h"
#include "papertray.h"
#include "opendatabase.h"
#include "testdatabase.h"
#include "withnames.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/tables.h"
#include "base/textcodec.h"
#include "receipt/printererror.h"
#include "receipt/receiptprinter.h"
#include "receipt/receiptsink.h"
#include "reports/dayend.h"

#include <QDir>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>

namespace {


QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(20000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

const QDateTime kClosingTime(QDate(2026, 12, 6), QTime(21, 30));

} // namespace

class TestDayEnd : public QObject
{
    Q_OBJECT

    std::unique_ptr<OpenDatabase> data;

    static ReportRange today()
    {
        return ReportRange::preset(ReportRange::Preset::Today, kClosingTime.date());
    }

private slots:
    void init()
    {
        data = std::make_unique<OpenDatabase>();
        data->file.setSettings(QStringLiteral("小王"), QStringLiteral("      好邻居便利店"), QString());
        data->file.addRecordLine(QStringLiteral("261205200000"), QStringLiteral("小王"), QStringLiteral("2026-12-05"),
                            QStringLiteral("20:00"), QStringLiteral("可口可乐"), 1, 9.6);
        data->file.addRecordLine(QStringLiteral("261206090000"), QStringLiteral("小王"), QStringLiteral("2026-12-06"),
                            QStringLiteral("09:00"), QStringLiteral("康师傅红烧牛肉面"), 1, 4.5);
        data->file.addRecordLine(QStringLiteral("261206090000"), QStringLiteral("小王"), QStringLiteral("2026-12-06"),
                            QStringLiteral("09:00"), QStringLiteral("可口可乐"), 2, 19.2);
        data->file.addRecordLine(QStringLiteral("261206100500"), QStringLiteral("老李"), QStringLiteral("2026-12-06"),
                            QStringLiteral("10:05"), QStringLiteral("可口可乐"), 1, 9.6);
    }
    void cleanup()
    {
        data.reset();
    }

    // The X report as the receipt printer gets it: the receipt's columns,
    // counted in GBK bytes, on 80 mm paper.
    void anXReportOnAReceiptPrinter()
    {
        QTemporaryDir dir;
        const QString device = dir.filePath(QStringLiteral("lp0"));
        QFile(device).open(QIODevice::WriteOnly);
        const auto printer = ReceiptPrinter::create(QStringLiteral("escpos:") + device, QStringLiteral("80"));
        DayEnd(data->db).printXReport(today(), *printer, kClosingTime);

        QFile output(device);
        QVERIFY(output.open(QIODevice::ReadOnly));
        const QByteArray stream = output.readAll();
        QVERIFY(stream.startsWith("\x1b\x40"));
        QVERIFY(stream.contains("\x1d\x56"));   // cut at the end
        bool ok = false;
        const QStringList lines = printedLines(stream, &ok);
        QVERIFY(ok);
        const QString dots(27, QLatin1Char('.'));
        const QStringList expected{
            QStringLiteral("       好邻居便利店"),
            QStringLiteral("X报表"),
            QStringLiteral("日期:2026-12-06"),
            QStringLiteral("收银员:全部"),
            QStringLiteral("打印:2026-12-06 21:30"),
            dots,
            QStringLiteral("小票数:2"),
            QStringLiteral("行数:3"),
            QStringLiteral("件数:4"),
            QStringLiteral("营业额:33.3"),
            QStringLiteral("客单价:16.65"),
            QStringLiteral("首笔:2026-12-06 09:00"),
            QStringLiteral("末笔:2026-12-06 10:05"),
            dots,
            QStringLiteral("收银员          单数  金额"),
            QStringLiteral("小王             1    23.7"),
            QStringLiteral("老李             1    9.6"),
            dots,
            QStringLiteral("营业额前10:"),
            QStringLiteral("品名            数量  金额"),
            QStringLiteral("可口可乐         3    28.8"),
            QStringLiteral("康师傅红烧牛肉面 1    4.5"),
            dots,
            QStringLiteral(". "), QStringLiteral(". "), QStringLiteral(". "), QStringLiteral("."),
            QStringLiteral(" "), QStringLiteral(" ")};
        QCOMPARE(lines, expected);
        QCOMPARE(data->file.count(Tables::DayClosings::table), 0);
    }

    void anEmptyDayPrintsZeros()
    {
        PaperTray tray;
        ReportRange range = today();
        range.from = range.to = QDate(2026, 12, 7);
        DayEnd(data->db).printXReport(range, tray, kClosingTime);
        QCOMPARE(tray.jobs.size(), 1);
        const QStringList &job = tray.jobs[0];
        for (const char *line : {"小票数:0", "件数:0", "营业额:0", "客单价:0", "首笔:-", "收银员          单数  金额"})
            QVERIFY2(job.contains(QString::fromUtf8(line)), line);
        // Straight from the headers to the separators: no cashier, no product.
        const qsizetype header = job.indexOf(QStringLiteral("收银员          单数  金额"));
        QCOMPARE(job[header + 1], QString(27, QLatin1Char('.')));
    }

    void zReportsAreNumberedAndEachCoversWhatCameAfterTheLast()
    {
        PaperTray tray;
        DayEnd dayEnd(data->db);
        const DayClosings::Closing first = dayEnd.closeDay(today(), QStringLiteral("40"), tray, kClosingTime);
        QCOMPARE(first.number, 1);
        QCOMPARE(first.takings, QStringLiteral("33.3"));
        QCOMPARE(first.difference, QStringLiteral("6.7"));
        QVERIFY(tray.jobs.last().contains(QStringLiteral("Z报表 No.1")));
        QVERIFY(tray.jobs.last().contains(QStringLiteral("清点现金:40")));
        QVERIFY(tray.jobs.last().contains(QStringLiteral("差额:6.7")));

        // A late sale of the same day: the second Z of the day has only it.
        data->file.addRecordLine(QStringLiteral("261206215000"), QStringLiteral("老李"), QStringLiteral("2026-12-06"),
                            QStringLiteral("21:50"), QStringLiteral("可口可乐"), 1, 5.5);
        const DayClosings::Closing second =
            dayEnd.closeDay(today(), QStringLiteral("5"), tray, kClosingTime.addSecs(30 * 60));
        QCOMPARE(second.number, 2);
        const QStringList &job = tray.jobs.last();
        for (const char *line : {"Z报表 No.2", "上次日结:No.1 2026-12-06 21:30", "小票数:1", "营业额:5.5",
                                 "差额:-0.5", "老李             1    5.5"})
            QVERIFY2(job.contains(QString::fromUtf8(line)), line);
        QVERIFY(!job.contains(QStringLiteral("小王             1    23.7")));

        // Nothing since: a third Z closes nothing more.
        const DayClosings::Closing third = dayEnd.closeDay(today(), QStringLiteral("0"), tray, kClosingTime.addSecs(3600));
        QCOMPARE(third.number, 3);
        QCOMPARE(third.takings, QStringLiteral("0"));

        const QList<QVariantList> rows = data->file.rows(withNames(
            "select {number}, {dateFrom}, {dateTo}, {afterLine}, {lastLine}, {receipts}, {lines}, {takings}, {counted}, {difference} "
            "from {DayClosings} order by {number}"));
        const qint64 lastOfDay = data->file.scalar(withNames("select max({key}) from {SalesRecord} where {time} = '10:05'")).toLongLong();
        const qint64 late = data->file.scalar(withNames("select max({key}) from {SalesRecord}")).toLongLong();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0], (QVariantList{1, QStringLiteral("2026-12-06"), QStringLiteral("2026-12-06"), 0, lastOfDay, 2, 3,
                                        QStringLiteral("33.3"), QStringLiteral("40"), QStringLiteral("6.7")}));
        QCOMPARE(rows[1], (QVariantList{2, QStringLiteral("2026-12-06"), QStringLiteral("2026-12-06"), lastOfDay, late, 1, 1,
                                        QStringLiteral("5.5"), QStringLiteral("5"), QStringLiteral("-0.5")}));
        QCOMPARE(rows[2], (QVariantList{3, QStringLiteral("2026-12-06"), QStringLiteral("2026-12-06"), late, late, 0, 0,
                                        QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}));

        // The X report still shows the whole day.
        QCOMPARE(dayEnd.printXReport(today(), tray, kClosingTime).takings, QStringLiteral("38.8"));
    }

    void aZReportThatIsNotPrintedClosesNothing()
    {
        PaperTray tray;
        DayEnd dayEnd(data->db);
        tray.refusal = QStringLiteral("Printer selected is not valid");
        QVERIFY_THROWS_EXCEPTION(PrinterError, dayEnd.closeDay(today(), QStringLiteral("40"), tray, kClosingTime));
        QCOMPARE(data->file.count(Tables::DayClosings::table), 0);

        tray.refusal.clear();
        ReportRange oneCashier = today();
        oneCashier.cashier = QStringLiteral("小王");
        QVERIFY_THROWS_EXCEPTION(Refusal, dayEnd.closeDay(oneCashier, QStringLiteral("40"), tray, kClosingTime));
        QVERIFY_THROWS_EXCEPTION(Refusal, dayEnd.closeDay(today(), QStringLiteral(" "), tray, kClosingTime));
        QVERIFY_THROWS_EXCEPTION(ConversionError, dayEnd.closeDay(today(), QStringLiteral("四十"), tray, kClosingTime));
        QVERIFY(tray.jobs.isEmpty());
        QCOMPARE(dayEnd.closeDay(today(), QStringLiteral("33.3"), tray, kClosingTime).number, 1);
    }

    // The system printer: the FenwoPDF queue of the test machine turns the
    // job into a PDF file. (Its text comes back from the queue's converter
    // as glyphs only, so only the job and the file are checked here; the
    // lines themselves are checked on the receipt printer above.)
    void anXReportOnTheCupsQueue()
    {
        if (!run(QStringLiteral("lpstat"), {QStringLiteral("-r")}).contains(QStringLiteral("scheduler is running")))
            QSKIP("no CUPS scheduler: run scripts/cups-test-env.sh as root first");
        if (QPrinterInfo::defaultPrinterName() != QStringLiteral("FenwoPDF"))
            QSKIP("the default printer is not the FenwoPDF test queue");
        auto completed = [] {
            return run(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o"),
                                                  QStringLiteral("FenwoPDF")})
                .count(QLatin1Char('\n'));
        };
        const QDir folder(QDir::home().filePath(QStringLiteral("PDF")));
        const QStringList filesBefore = folder.entryList({QStringLiteral("*.pdf")}, QDir::Files);
        const int before = completed();
        const auto printer = ReceiptPrinter::create(QStringLiteral("system"));
        DayEnd(data->db).printXReport(today(), *printer, kClosingTime);
        QTRY_VERIFY_WITH_TIMEOUT(completed() > before, 90000);
        if (folder.exists()) {
            QStringList added = folder.entryList({QStringLiteral("*.pdf")}, QDir::Files);
            for (const QString &name : filesBefore)
                added.removeAll(name);
            QVERIFY(!added.isEmpty());
            QVERIFY(run(QStringLiteral("pdfinfo"), {folder.filePath(added.last())}).contains(QStringLiteral("Pages:")));
        }
    }
};

QTEST_MAIN(TestDayEnd)
#include "tst_dayend.moc"
