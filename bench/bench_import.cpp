// Product import: how much memory a file of one 200 MB line costs (it is
// refused with its line, and memory must not grow with the line), how long
// 100,000 and 1,000,000 rows take into an empty catalogue and over a full
// one, how much memory a 20 MB file costs (it should not grow with the
// file), and, for scale, the export and a backup of the result.
//
// Run: bench_import [runs]

#include "backup/backup.h"
#include "base/apperror.h"
#include "transfer/csvexport.h"
#include "storage/database.h"
#include "transfer/productimport.h"
#include "testdatabase.h"

#include "benchsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kRows = 100000;

// A supplier's list: 13-digit codes, Chinese names, prices with cents.
qint64 writeList(const QString &path, int rows, const QString &nameTail, double priceShift)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray piece("\xEF\xBB\xBF编码,品名,单价\r\n");
    for (int i = 0; i < rows; ++i) {
        piece += Bench::productCode(i).toLatin1() + ',' + Bench::productName(i, nameTail).toUtf8() + ','
                 + QByteArray::number(Bench::productPrice(i) + priceShift, 'g', 15) + "\r\n";
        if (piece.size() > 1 << 20) {
            f.write(piece);
            piece.clear();
        }
    }
    f.write(piece);
    return f.size();
}

// A title row, then one line of 200 MB: one field, or nothing but commas.
void writeLongLine(const QString &path, char filler)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write("编码,品名,单价\n6901,可乐,3\n");
    const QByteArray piece(1 << 20, filler);
    for (int i = 0; i < 200; ++i)
        f.write(piece);
    f.write("\n");
}

double importMs(const QString &databasePath, const QString &list, ImportReport *report, double *cpu = nullptr)
{
    Database db;
    db.open(databasePath);
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = Bench::cpuMs();
    *report = ProductImport(list).run(db, ProductImport::Existing::Update);
    if (cpu)
        *cpu = Bench::cpuMs() - cpuBefore;
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;

    // Memory first, while the process is still small: one line of 200 MB,
    // refused with its line number (target: a peak under 64 MB).
    for (const char filler : {'x', ','}) {
        const QString longLine = dir.filePath(QStringLiteral("long.csv"));
        writeLongLine(longLine, filler);
        const long before = Bench::peakMemoryKiB();
        QElapsedTimer clock;
        clock.start();
        QString outcome;
        try {
            TestDatabase file;
            ImportReport refused;
            importMs(file.path(), longLine, &refused);
            outcome = QStringLiteral("imported %1 rows").arg(refused.written());
        } catch (const AppError &e) {
            outcome = e.message();
        }
        std::printf("a 200 MB line of %s: %.0f ms, peak memory %.1f MiB (%.1f MiB before); %s\n",
                    filler == 'x' ? "one field" : "commas", double(clock.nsecsElapsed()) / 1e6,
                    Bench::peakMemoryKiB() / 1024.0, before / 1024.0, qPrintable(outcome));
        QFile::remove(longLine);
    }

    // Then a 5 MB and a 20 MB file; the peak should not grow with the file.
    const QString small = dir.filePath(QStringLiteral("5mb.csv"));
    const QString large = dir.filePath(QStringLiteral("20mb.csv"));
    const QString tail = QStringLiteral("号进口有机全脂纯牛奶礼盒装（每箱十二盒）");
    const qint64 smallBytes = writeList(small, 5 * 1024 * 1024 / 90, tail, 0);
    const qint64 largeBytes = writeList(large, 20 * 1024 * 1024 / 90, tail, 0);
    const long start = Bench::peakMemoryKiB();
    ImportReport report;
    {
        TestDatabase file;
        importMs(file.path(), small, &report);
    }
    const long afterSmall = Bench::peakMemoryKiB();
    {
        TestDatabase file;
        const double ms = importMs(file.path(), large, &report);
        std::printf("20 MB file (%.1f MB, %lld rows): %.0f ms\n", largeBytes / 1048576.0, report.added, ms);
    }
    const long afterLarge = Bench::peakMemoryKiB();
    std::printf("peak memory: %.1f MiB before, %.1f MiB after a %.1f MB import, %.1f MiB after a %.1f MB import\n",
                start / 1024.0, afterSmall / 1024.0, smallBytes / 1048576.0, afterLarge / 1024.0,
                largeBytes / 1048576.0);

    const QString list = dir.filePath(QStringLiteral("100k.csv"));
    const QString changed = dir.filePath(QStringLiteral("100k-new-prices.csv"));
    writeList(list, kRows, {}, 0);
    writeList(changed, kRows, {}, 0.5);

    QList<double> fresh, freshCpu, over, overCpu;
    for (int run = 0; run < runs; ++run) {
        TestDatabase file;
        double cpu = 0;
        fresh << importMs(file.path(), list, &report, &cpu);
        freshCpu << cpu;
        if (report.added != kRows)
            std::printf("  unexpected: %lld added\n", report.added);
        over << importMs(file.path(), changed, &report, &cpu);
        overCpu << cpu;
        if (report.updated != kRows)
            std::printf("  unexpected: %lld updated\n", report.updated);
    }
    std::printf("100,000 rows into an empty catalogue: median %.0f ms, worst %.0f ms, CPU median %.0f ms "
                "(target: under 3000 ms)\n",
                Bench::median(fresh), Bench::percentile(fresh, 1.0), Bench::median(freshCpu));
    std::printf("100,000 rows over the same catalogue, every price changed: median %.0f ms, worst %.0f ms, "
                "CPU median %.0f ms\n",
                Bench::median(over), Bench::percentile(over, 1.0), Bench::median(overCpu));

    // A million rows, once each way (target: under 5 s into an empty catalogue).
    {
        const QString million = dir.filePath(QStringLiteral("1m.csv"));
        const QString millionChanged = dir.filePath(QStringLiteral("1m-new-prices.csv"));
        writeList(million, 10 * kRows, {}, 0);
        writeList(millionChanged, 10 * kRows, {}, 0.5);
        TestDatabase file;
        double cpu = 0;
        const double freshMs = importMs(file.path(), million, &report, &cpu);
        std::printf(
            "1,000,000 rows into an empty catalogue: %.0f ms, CPU %.0f ms, %lld added (target: under 5000 ms)\n",
            freshMs, cpu, report.added);
        const double overMs = importMs(file.path(), millionChanged, &report, &cpu);
        std::printf("1,000,000 rows over the same catalogue, every price changed: %.0f ms, CPU %.0f ms, %lld updated\n",
                    overMs, cpu, report.updated);
        QFile::remove(million);
        QFile::remove(millionChanged);
    }

    TestDatabase file;
    importMs(file.path(), list, &report);
    Database db;
    db.open(file.path());
    QElapsedTimer clock;
    clock.start();
    CsvExport::products(db, dir.filePath(QStringLiteral("export.csv")));
    std::printf("export of 100,000 products: %.0f ms\n", double(clock.nsecsElapsed()) / 1e6);
    clock.restart();
    const QString copy = Backup::take(file.path(), dir.filePath(QStringLiteral("backups")));
    std::printf("backup of that database (%.1f MB): %.0f ms\n", QFile(copy).size() / 1048576.0,
                double(clock.nsecsElapsed()) / 1e6);
    return 0;
}
