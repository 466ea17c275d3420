#include "escposlines.h"
#include "papertray.h"
#include "opendatabase.h"
#include "testdatabase.h"
#include "withnames.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/statements.h"
#include "storage/tables.h"
#include "base/textcodec.h"
#include "receipt/printererror.h"
#include "receipt/receiptprinter.h"
#include "receipt/receiptsink.h"
#include "reports/dayend.h"
#include "till/till.h"

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

    // Every recorded line is closed by exactly one Z: what the Zs took in
    // adds up to the record's total.
    void checkEveryLineInExactlyOneZ()
    {
        QCOMPARE(data->file.scalar(withNames("select count(*) from {SalesRecord} where {closing} is null")).toInt(), 0);
        double closed = 0;
        qint64 lines = 0;
        for (const QVariantList &row : data->file.rows(withNames("select {takings}, {lines} from {DayClosings}"))) {
            closed += row[0].toString().toDouble();
            lines += row[1].toLongLong();
        }
        const double recorded = data->file.scalar(withNames("select sum({amount}) from {SalesRecord}")).toDouble();
        QCOMPARE(qRound64(closed * 100), qRound64(recorded * 100));
        QCOMPARE(lines, qint64(data->file.count(Tables::SalesRecord::table)));
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

    // Only cash is in the drawer: the opening cash, plus cash taken, less
    // change given. The lines recorded without payments were paid in cash.
    void theZCountsTheDrawerByCashAlone()
    {
        Till till(data->db);
        till.reopenSale();
        till.setOpeningCash(QStringLiteral("200"));
        PaperTray tray;
        auto sell = [&](const QString &number, const QString &amount, const QList<Payment> &payments) {
            till.addLine(QStringLiteral("货"), QStringLiteral("1"), amount);
            QVERIFY(till.complete({number, QStringLiteral("2026-12-06"), QStringLiteral("小王"), {}, {}, payments},
                                  tray, 1));
        };
        sell(QStringLiteral("261206110000"), QStringLiteral("23.7"), {{2, QStringLiteral("微信"), QStringLiteral("23.7")}});
        sell(QStringLiteral("261206110100"), QStringLiteral("14.1"),
             {{1, QStringLiteral("现金"), QStringLiteral("20"), QStringLiteral("5.9")}});
        sell(QStringLiteral("261206110200"), QStringLiteral("9.6"),
             {{3, QStringLiteral("支付宝"), QStringLiteral("5")}, {1, QStringLiteral("现金"), QStringLiteral("4.6")}});

        // By hand: cash 42.9 (older lines) + 20 + 4.6 taken, 5.9 given back,
        // 200 put in first: 261.6 in the drawer; 260 counted.
        DayEnd dayEnd(data->db);
        const DayClosings::Closing closing = dayEnd.closeDay(today(), QStringLiteral("260"), tray, kClosingTime);
        QCOMPARE(closing.takings, QStringLiteral("90.3"));
        QCOMPARE(closing.difference, QStringLiteral("-1.6"));
        const QStringList &job = tray.jobs.last();
        const qsizetype cash = job.indexOf(QStringLiteral("现金:61.6"));
        QVERIFY(cash > 0);
        QCOMPARE(job.mid(cash, 8),
                 (QStringList{"现金:61.6", "微信:23.7", "支付宝:5", "找零:5.9", "备用金:200", "应有现金:261.6",
                              "清点现金:260", "差额:-1.6"}));

        // The opening cash was counted: the next Z starts from none.
        const DayClosings::Closing next = dayEnd.closeDay(today(), QStringLiteral("0"), tray, kClosingTime.addSecs(60));
        QCOMPARE(next.difference, QStringLiteral("0"));
        QVERIFY(tray.jobs.last().contains(QStringLiteral("备用金:0")));
    }

    void zReportsAreNumberedAndEachCoversWhatCameAfterTheLast()
    {
        PaperTray tray;
        DayEnd dayEnd(data->db);
        const DayClosings::Closing first = dayEnd.closeDay(today(), QStringLiteral("40"), tray, kClosingTime);
        QCOMPARE(first.number, 1);
        // The line of 2026-12-05 that no Z closed is in it too.
        QCOMPARE(first.takings, QStringLiteral("42.9"));
        QCOMPARE(first.difference, QStringLiteral("-2.9"));
        QVERIFY(tray.jobs.last().contains(QStringLiteral("Z报表 No.1")));
        QVERIFY(tray.jobs.last().contains(QStringLiteral("清点现金:40")));
        QVERIFY(tray.jobs.last().contains(QStringLiteral("差额:-2.9")));

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
        QCOMPARE(rows[0], (QVariantList{1, QStringLiteral("2026-12-05"), QStringLiteral("2026-12-06"), 0, lastOfDay, 3, 4,
                                        QStringLiteral("42.9"), QStringLiteral("40"), QStringLiteral("-2.9")}));
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

    // A till left running past midnight records its sales under yesterday's
    // date, and a sale of yesterday is completed after the Z: the next Z has
    // them all, whatever dates the window shows.
    void aZClosesEverySaleSinceTheLastWhateverItsDate()
    {
        PaperTray tray;
        DayEnd dayEnd(data->db);
        QCOMPARE(dayEnd.sinceLastClosing().takings, QStringLiteral("42.9"));
        dayEnd.closeDay(today(), QStringLiteral("42.9"), tray, kClosingTime);
        data->file.addRecordLine(QStringLiteral("261207001000"), QStringLiteral("老李"), QStringLiteral("2026-12-06"),
                                 QStringLiteral("00:10"), QStringLiteral("可口可乐"), 1, 9.6);
        data->file.addRecordLine(QStringLiteral("261207080000"), QStringLiteral("小王"), QStringLiteral("2026-12-07"),
                                 QStringLiteral("08:00"), QStringLiteral("可口可乐"), 2, 19.55);
        data->file.addRecordLine(QStringLiteral("261205235900"), QStringLiteral("小王"), QStringLiteral("2026-12-05"),
                                 QStringLiteral("23:59"), QStringLiteral("面包"), 1, 3.5);

        const ReportFigures open = dayEnd.sinceLastClosing();
        QCOMPARE(open.firstSale, QStringLiteral("2026-12-06 00:10"));
        QCOMPARE(open.lastSale, QStringLiteral("2026-12-05 23:59"));
        // The window of the next morning shows 2026-12-07 only.
        ReportRange nextDay = today();
        nextDay.from = nextDay.to = QDate(2026, 12, 7);
        const DayClosings::Closing second =
            dayEnd.closeDay(nextDay, QStringLiteral("32.65"), tray, kClosingTime.addDays(1));
        QCOMPARE(second.takings, QStringLiteral("32.65"));
        QCOMPARE(second.difference, QStringLiteral("0"));
        for (const char *line : {"Z报表 No.2", "日期:2026-12-05至2026-12-07", "小票数:3", "营业额:32.65"})
            QVERIFY2(tray.jobs.last().contains(QString::fromUtf8(line)), line);
        checkEveryLineInExactlyOneZ();
        QCOMPARE(dayEnd.sinceLastClosing().lines, 0);
    }

    // On a server a row key is handed out at insert, not at commit: a sale
    // another till is still recording goes wholly into the next Z, and the
    // sale recorded after it but committed first into this one.
    void aSaleInFlightAtAnotherTillGoesWhollyIntoOneZ()
    {
        if (!TestDatabase::onServer())
            QSKIP("a data file takes one writer at a time: no sale is being recorded while a Z closes");
        PaperTray tray;
        DayEnd dayEnd(data->db);
        data->file.exec(QStringLiteral("begin"));
        data->file.addRecordLine(QStringLiteral("261206212900"), QStringLiteral("老李"), QStringLiteral("2026-12-06"),
                                 QStringLiteral("21:29"), QStringLiteral("可口可乐"), 1, 9.6);
        data->file.addRecordLine(QStringLiteral("261206212900"), QStringLiteral("老李"), QStringLiteral("2026-12-06"),
                                 QStringLiteral("21:29"), QStringLiteral("面包"), 1, 3.2);
        data->db.execute(Statement{withNames("insert into {SalesRecord} ({code}, {name}, {quantity}, {price}, {amount}, "
                                             "{receiptNumber}, {cashier}, {date}, {time}) "
                                             "values ('69', '面包', 1, 0, 3.5, '261206212930', '小王', '2026-12-06', '21:29')"),
                                   {}, {}, {}});
        const DayClosings::Closing first = dayEnd.closeDay(today(), QStringLiteral("46.4"), tray, kClosingTime);
        data->file.exec(QStringLiteral("commit"));
        QCOMPARE(first.takings, QStringLiteral("46.4"));
        const DayClosings::Closing second = dayEnd.closeDay(today(), QStringLiteral("12.8"), tray, kClosingTime.addSecs(60));
        QCOMPARE(second.takings, QStringLiteral("12.8"));
        QCOMPARE(second.lines, 2);
        checkEveryLineInExactlyOneZ();
    }

    // Two tills asked for a Z of the same sales: the first closes them, the
    // second is told and closes and prints nothing.
    void twoZsAtOnceMakeOneZ()
    {
        PaperTray tray;
        DayEnd atTillOne(data->db);
        DayEnd atTillTwo(data->db);
        QCOMPARE(atTillOne.closeDay(today(), QStringLiteral("40"), tray, kClosingTime, 0).number, 1);
        try {
            atTillTwo.closeDay(today(), QStringLiteral("40"), tray, kClosingTime, 0);
            QFAIL("a second Z of the same sales was made");
        } catch (const Refusal &e) {
            QVERIFY2(e.message().contains(QStringLiteral("另一台收银机刚刚做了Z报表 No.1")), qPrintable(e.message()));
        }
        QCOMPARE(data->file.count(Tables::DayClosings::table), 1);
        QCOMPARE(tray.jobs.size(), 1);
    }

    // A past Z comes out again byte for byte as it was printed, also one
    // recorded before the printed lines were kept.
    void aZIsPrintedAgainExactlyAsItWas()
    {
        QTemporaryDir dir;
        auto printedOn = [&](const QString &name, auto print) {
            const QString device = dir.filePath(name);
            QFile(device).open(QIODevice::WriteOnly);
            const auto printer = ReceiptPrinter::create(QStringLiteral("escpos:") + device, QStringLiteral("58"));
            print(*printer);
            QFile output(device);
            output.open(QIODevice::ReadOnly);
            return output.readAll();
        };
        DayEnd dayEnd(data->db);
        const QByteArray first =
            printedOn(QStringLiteral("z"), [&](ReceiptSink &p) { dayEnd.closeDay(today(), QStringLiteral("40"), p, kClosingTime); });
        data->file.addRecordLine(QStringLiteral("261206215000"), QStringLiteral("老李"), QStringLiteral("2026-12-06"),
                                 QStringLiteral("21:50"), QStringLiteral("可口可乐"), 1, 5.5);
        QVERIFY(first.contains(TextCodec().encode(QStringLiteral("营业额:42.9"))));
        QCOMPARE(printedOn(QStringLiteral("again"), [&](ReceiptSink &p) { dayEnd.reprintClosing(1, p); }), first);

        data->file.exec(withNames("update {DayClosings} set {content} = null"));
        QCOMPARE(printedOn(QStringLiteral("older"), [&](ReceiptSink &p) { dayEnd.reprintClosing(1, p); }), first);
        PaperTray tray;
        QVERIFY_THROWS_EXCEPTION(Refusal, dayEnd.reprintClosing(2, tray));
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
