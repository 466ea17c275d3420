// The sales report over a record of 1,000,000 lines spread over two years
// (about 1,370 lines a day, 270 receipts, three cashiers, 600 goods), written
// as an older version left it and summed by day at the first opening: the
// figures alone and the reports window (F6 to today's figures and charts on
// a drawn window; a whole year chosen), and memory over many showings. The
// measuring runs in a process of its own, so its memory is its own.
//
//   bench_reports                      1,000,000 lines
//   bench_reports 200000               another size
//   bench_reports --measure FILE ROWS  (internal) measure one prepared file

#include "app/fenwoapplication.h"
#include "benchsupport.h"
#include "storage/database.h"
#include "reports/reportsheet.h"
#include "reports/salesreport.h"
#include "widgets/webpage.h"
#include "widgets/flatcombobox.h"
#include "app/tillsession.h"
#include "windows/reportswindow.h"

#include <QDate>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

constexpr int kDays = 730;

void fill(const QString &path, int rows)
{
    Database::createFile(path);
    const QString name = QStringLiteral("bench-fill");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA synchronous=OFF"));
        db.transaction();
        q.prepare(withNames("insert into {SalesRecord} ({code}, {name}, {quantity}, {price}, {amount}, {receiptNumber}, {cashier}, {date}, {time}) "
                                 "values (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        QRandomGenerator rng(15);
        const QDate first = QDate::currentDate().addDays(1 - kDays);
        const int perDay = (rows + kDays - 1) / kDays;
        for (int i = 0; i < rows; ++i) {
            const int day = i / perDay;
            const int inDay = i % perDay;
            const int sale = inDay / 5;
            const int product = int(rng.bounded(600));
            const double quantity = 1 + rng.bounded(3) + (rng.bounded(4) == 0 ? 0.5 : 0);
            const double price = (50 + product * 7 % 5000) / 100.0;
            const QDate date = first.addDays(day);
            const int minute = 8 * 60 + sale * 780 / (perDay / 5 + 1);
            const QString time = QStringLiteral("%1:%2").arg(minute / 60, 2, 10, QLatin1Char('0')).arg(minute % 60, 2, 10, QLatin1Char('0'));
            q.addBindValue(QString::number(6900000000000LL + product));
            q.addBindValue(QStringLiteral("商品%1").arg(product));
            q.addBindValue(quantity);
            q.addBindValue(price);
            q.addBindValue(quantity * price);
            q.addBindValue(date.toString(QStringLiteral("yyMMdd")) + QStringLiteral("%1").arg(sale, 6, 10, QLatin1Char('0')));
            q.addBindValue(QStringLiteral("收银员%1").arg(sale % 3 + 1));
            q.addBindValue(date.toString(QStringLiteral("yyyy-MM-dd")));
            q.addBindValue(time);
            if (!q.exec())
                qFatal("insert failed: %s", qPrintable(q.lastError().text()));
        }
        db.commit();
        // Filled as an older version left its record: the first opening
        // sums it, as a shop's file is summed when it is upgraded.
        q.exec(QStringLiteral("PRAGMA user_version = 7"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// Milliseconds on the clock; the processor time of the process goes to *cpu.
// On a machine shared with other work the clock shows the waiting as well.
double timeIt(const std::function<void()> &work, double *cpu = nullptr)
{
    const double start = Bench::cpuMs();
    QElapsedTimer timer;
    timer.start();
    work();
    if (cpu)
        *cpu = Bench::cpuMs() - start;
    return double(timer.nsecsElapsed()) / 1e6;
}

double loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0).toDouble() : 0;
}

int measure(int argc, char **argv, const QString &path, int rows)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FenwoApplication app(argc, argv);
    WebPage::setOpener([](const QUrl &) {});
    const QDate today = QDate::currentDate();
    const ReportRange day = ReportRange::preset(ReportRange::Preset::Today, today);
    ReportRange year = day;
    year.from = today.addDays(-364);

    // The figures alone.
    QList<double> dayFigures, yearFigures, dayCpu, yearCpu;
    {
        Database db;
        const double opening = timeIt([&] { db.open(path); });
        std::printf("first opening (an older file: its record summed by day): %.0f ms\n", opening);
        for (int i = 0; i < 21; ++i) {
            double cpu = 0;
            dayFigures << timeIt([&] { SalesReport::compute(db, day); }, &cpu);
            dayCpu << cpu;
        }
        for (int i = 0; i < 5; ++i) {
            double cpu = 0;
            yearFigures << timeIt([&] { SalesReport::compute(db, year); }, &cpu);
            yearCpu << cpu;
        }
        const ReportFigures yearReport = SalesReport::compute(db, year);
        // The same year read line by line (a first line to pass over, long
        // before the year, makes the report walk the lines): every figure alike.
        ReportRange byLines = year;
        byLines.afterLine = 1;
        QList<double> yearByLines;
        QString linesText;
        for (int i = 0; i < 3; ++i)
            yearByLines << timeIt([&] { linesText = ReportSheet::plainText(SalesReport::compute(db, byLines)); });
        const QString summedText = ReportSheet::plainText(yearReport);
        std::printf("whole year read line by line: median %.0f ms; figures %s (%lld characters of report text)\n",
                    Bench::median(yearByLines), summedText == linesText ? "identical" : "DIFFERENT",
                    qlonglong(summedText.size()));
        std::printf("load average %.1f\n", loadAverage());
        std::printf("figures only    today: median %.2f ms (processor %.2f ms), p99 %.2f ms; whole year: median %.0f ms "
                    "(processor %.0f ms, first %.0f ms), %lld lines, takings %s\n",
                    Bench::median(dayFigures.mid(1)), Bench::median(dayCpu.mid(1)),
                    Bench::percentile(dayFigures.mid(1), 0.99), Bench::median(yearFigures.mid(1)),
                    Bench::median(yearCpu.mid(1)), yearFigures.first(), yearReport.lines,
                    qPrintable(yearReport.takings));
    }

    TillSession session(path);
    CashierWindow &till = session.window();
    till.show();
    if (!QTest::qWaitForWindowExposed(&till))
        qWarning("till not exposed");
    QApplication::processEvents();
    const double before = Bench::residentMegabytes();

    // F6 to today's figures and charts drawn, showing after showing; then a
    // whole year chosen in the open window.
    QList<double> showings, years, showingCpu, yearCpuShown;
    QList<double> resident;
    for (int i = 0; i < 21; ++i) {
        double cpu = 0;
        showings << timeIt(
            [&] {
                QTest::keyClick(till.productBox(), Qt::Key_F6);
                till.reportsWindow()->repaint();
                QApplication::processEvents();
            },
            &cpu);
        showingCpu << cpu;
        ReportsWindow *reports = till.reportsWindow();
        if (i % 5 == 0) {
            years << timeIt(
                [&] {
                    reports->showRange(year.from, year.to);
                    reports->repaint();
                    QApplication::processEvents();
                },
                &cpu);
            yearCpuShown << cpu;
        }
        resident << Bench::residentMegabytes();
        reports->hide();
        QApplication::processEvents();
    }
    ReportsWindow *reports = till.reportsWindow();
    std::printf("reports window  F6 to today drawn: first %.1f ms (processor %.1f ms, the window made), median %.1f ms "
                "(processor %.1f ms), p99 %.1f ms; whole year chosen: median %.0f ms (processor %.0f ms; %s lines shown)\n",
                showings.first(), showingCpu.first(), Bench::median(showings.mid(1)), Bench::median(showingCpu.mid(1)),
                Bench::percentile(showings.mid(1), 0.99), Bench::median(years), Bench::median(yearCpuShown),
                qPrintable(reports->figureLabel(ReportsWindow::Figure::Lines)->text()));
    std::printf("load average %.1f\n", loadAverage());
    std::printf("memory          resident over the bare till: %.1f MB after the 1st showing, %.1f MB after the 6th, "
                "%.1f MB after the 21st; peak %.0f MB\n",
                resident.first() - before, resident[5] - before, resident.last() - before,
                Bench::peakMemoryKiB() / 1024.0);
    std::printf("                (%d lines in the record)\n", rows);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--measure") == 0)
        return measure(argc, argv, QString::fromLocal8Bit(argv[2]), atoi(argv[3]));

    QCoreApplication app(argc, argv);
    const int rows = argc == 2 ? atoi(argv[1]) : 1000000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.db"));
    std::printf("filling %d lines over %d days …\n", rows, kDays);
    std::fflush(stdout);
    fill(path, rows);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--measure"), path, QString::number(rows)});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        std::printf("failed\n");
    return 0;
}
