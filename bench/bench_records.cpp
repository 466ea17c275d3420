// The sales record window over a table of 10,000, 100,000 and 1,000,000
// lines: time from the F5 request to the totals on a drawn window, time of a
// title-click sort, and memory. Each size runs in a process of its own so
// that its peak memory is its own.
//
//   bench_records                      all three sizes
//   bench_records 250000               one size
//   bench_records --measure FILE ROWS  (internal) measure one prepared file

#include "withnames.h"

#include "app/tillsession.h"
#include "app/fenwoapplication.h"
#include "storage/database.h"
#include "windows/salesrecordmodel.h"
#include "widgets/skinbutton.h"
#include "widgets/webpage.h"
#include "windows/salesrecordswindow.h"
#include "benchsupport.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kShowings = 11;

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

double percentile99(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[qMin(values.size() - 1, qsizetype(values.size() * 0.99))];
}

// A shop of 300 sales a day, five lines each, from a catalogue of 600 goods.
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
        QRandomGenerator rng(1500);
        const QDate first = QDate::currentDate().addDays(-(rows / 1500));
        for (int i = 0; i < rows; ++i) {
            const int day = i / 1500;
            const int sale = (i % 1500) / 5;
            const int product = int(rng.bounded(600));
            const double quantity = 1 + rng.bounded(4) + (rng.bounded(4) == 0 ? 0.5 : 0);
            const double price = (50 + product * 7 % 5000) / 100.0;
            const QDate date = first.addDays(day);
            const int minute = 8 * 60 + sale * 2;
            q.addBindValue(QString::number(6900000000000LL + product));
            q.addBindValue(QStringLiteral("商品%1").arg(product));
            q.addBindValue(quantity);
            q.addBindValue(price);
            q.addBindValue(quantity * price);
            q.addBindValue(date.toString(QStringLiteral("yyMMdd")) + QStringLiteral("%1%2")
                                                                        .arg(minute / 60, 2, 10, QLatin1Char('0'))
                                                                        .arg(minute % 60, 2, 10, QLatin1Char('0'))
                           + QStringLiteral("00"));
            q.addBindValue(QStringLiteral("收银员%1").arg(sale % 3 + 1));
            q.addBindValue(date.toString(QStringLiteral("yyyy-MM-dd")));
            q.addBindValue(QStringLiteral("%1:%2").arg(minute / 60, 2, 10, QLatin1Char('0')).arg(minute % 60, 2, 10, QLatin1Char('0')));
            if (!q.exec())
                qFatal("insert failed: %s", qPrintable(q.lastError().text()));
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

int measure(int argc, char **argv, const QString &path, int rows)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FenwoApplication app(argc, argv);
    WebPage::setOpener([](const QUrl &) {});
    TillSession session(path);
    CashierWindow &till = session.window();
    till.show();
    if (!QTest::qWaitForWindowExposed(&till))
        qWarning("till not exposed");
    QApplication::processEvents();
    const double before = Bench::residentMegabytes();

    // From the request to the totals on a drawn window, showing after showing.
    QList<double> openings;
    QList<double> residentAfter;
    QString amount;
    for (int i = 0; i < kShowings; ++i) {
        QElapsedTimer timer;
        timer.start();
        till.recordsButton()->click();
        QApplication::processEvents();
        openings << timer.nsecsElapsed() / 1e6;
        SalesRecordsWindow *records = till.recordsWindow();
        if (!records || records->records()->rowCount() != rows)
            qFatal("the window lists %d lines, not %d", records ? records->records()->rowCount() : -1, rows);
        amount = records->totalAmountLabel()->text();
        residentAfter << Bench::residentMegabytes();
        records->hide();
        QApplication::processEvents();
    }

    const double peakOpening = peakMegabytes();

    // Title clicks, then scrolling through the sorted list.
    SalesRecordsWindow *records = till.recordsWindow();
    till.recordsButton()->click();
    QApplication::processEvents();
    QList<double> sorts;
    const QStringList fields{QStringLiteral("品名"), QStringLiteral("金额"), QStringLiteral("单号"),
                             QStringLiteral("日期"), QStringLiteral("数量"), QStringLiteral("收银员")};
    for (const QString &field : fields) {
        QElapsedTimer timer;
        timer.start();
        records->sortByColumn(field);
        QApplication::processEvents();
        sorts << timer.nsecsElapsed() / 1e6;
    }
    QList<double> scrolls;
    QRandomGenerator rng(7);
    for (int i = 0; i < 50; ++i) {
        const int row = int(rng.bounded(quint32(rows)));
        QElapsedTimer timer;
        timer.start();
        records->grid()->scrollTo(records->records()->index(row, 0), QAbstractItemView::PositionAtCenter);
        records->grid()->viewport()->repaint();
        scrolls << timer.nsecsElapsed() / 1e6;
    }

    std::printf("%9d  %9.1f  %9.1f  %9.1f  %9.1f  %9.1f  %9.2f  %9.1f  %9.1f  %9.1f  %9.1f  %s\n", rows,
                openings.first(), median(openings.mid(1)), percentile99(openings.mid(1)), median(sorts),
                percentile99(sorts), median(scrolls), peakOpening, peakMegabytes(), residentAfter.first() - before,
                residentAfter.last() - before, qPrintable(amount));
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--measure") == 0)
        return measure(argc, argv, QString::fromLocal8Bit(argv[2]), atoi(argv[3]));

    QCoreApplication app(argc, argv);
    QList<int> sizes{10000, 100000, 1000000};
    if (argc == 2)
        sizes = {atoi(argv[1])};

    std::printf("sales record window: open = F5 to totals on a drawn window (first, then median / p99 of %d "
                "re-showings); sort = one title click; scroll = jump and redraw; memory in MB: peak RSS after the showings and after the sorts, "
                "resident growth over the bare till after the first and the last showing\n",
                kShowings - 1);
    std::printf("%9s  %9s  %9s  %9s  %9s  %9s  %9s  %9s  %9s  %9s  %9s  %s\n", "lines", "open 1st", "open med",
                "open p99", "sort med", "sort p99", "scroll", "peak open", "peak sort", "+RSS 1st", "+RSS last",
                "amount shown");
    std::fflush(stdout);
    for (int rows : sizes) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.db"));
        fill(path, rows);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--measure"), path, QString::number(rows)});
        if (!child.waitForFinished(-1) || child.exitCode() != 0)
            std::printf("%9d  failed\n", rows);
    }
    return 0;
}
