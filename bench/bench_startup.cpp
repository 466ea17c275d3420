// Start-up of the till with a large catalogue: from the start of the process
// to the cashier screen shown and ready for a scan, and the memory it holds
// then. Each start is a process of its own, alternated with a start on a
// catalogue of six products, so that the two are measured alike.
//
//   bench_startup                   100,000 and 1,000,000 products, 5 starts each
//   bench_startup N [N …]           other sizes
//   bench_startup --measure FILE    (internal) one start

#include "app/fenwoapplication.h"
#include "app/tillsession.h"
#include "benchsupport.h"
#include "storage/database.h"
#include "widgets/flatcombobox.h"
#include "widgets/webpage.h"

#include <QProcess>
#include <QTemporaryDir>

namespace {

int measure(int argc, char **argv, const QString &path)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FenwoApplication app(argc, argv);
    WebPage::setOpener([](const QUrl &) {});
    TillSession session(path);
    CashierWindow &window = session.window();
    window.show();
    QApplication::processEvents();
    std::printf("shown %.1f %ld %lld\n", double(sinceStart.nsecsElapsed()) / 1e6, Bench::peakMemoryKiB(),
                qlonglong(window.productBox()->count()));
    std::fflush(stdout);
    return 0;
}

struct Start
{
    double outsideMs = 0;   // process started to the screen shown, seen from outside
    double insideMs = 0;    // the same from the program's main
    double peakMb = 0;
};

Start startOnce(const QString &path)
{
    QProcess child;
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--measure"), path});
    Start start;
    while (child.waitForReadyRead(60000)) {
        const QByteArray line = child.readLine();
        if (!line.startsWith("shown"))
            continue;
        start.outsideMs = double(timer.nsecsElapsed()) / 1e6;
        const QList<QByteArray> parts = line.trimmed().split(' ');
        start.insideMs = parts.value(1).toDouble();
        start.peakMb = parts.value(2).toDouble() / 1024.0;
        break;
    }
    child.waitForFinished(60000);
    return start;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--measure") == 0)
        return measure(argc, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << atoi(argv[i]);
    if (sizes.isEmpty())
        sizes = {100000, 1000000};
    constexpr int kStarts = 5;

    QTemporaryDir dir;
    const QString tiny = dir.filePath(QStringLiteral("tiny.db"));
    Database::createFile(tiny);
    Bench::fillCatalogue(tiny, 6);
    for (const int products : sizes) {
        const QString path = dir.filePath(QStringLiteral("data-%1.db").arg(products));
        Database::createFile(path);
        Bench::fillCatalogue(path, products);
        startOnce(path);   // the file into the page cache, as after the first start of the day
        QList<double> outside, inside, peak, tinyOutside, tinyPeak;
        for (int i = 0; i < kStarts; ++i) {
            const Start small = startOnce(tiny);
            const Start large = startOnce(path);
            tinyOutside << small.outsideMs;
            tinyPeak << small.peakMb;
            outside << large.outsideMs;
            inside << large.insideMs;
            peak << large.peakMb;
        }
        std::printf("%d products: start to cashier screen shown, median of %d: %.0f ms from outside (%.0f ms from main), "
                    "peak memory %.0f MB; 6 products: %.0f ms, %.0f MB; ratio %.2f\n",
                    products, kStarts, Bench::median(outside), Bench::median(inside), Bench::median(peak),
                    Bench::median(tinyOutside), Bench::median(tinyPeak),
                    Bench::median(outside) / Bench::median(tinyOutside));
        std::fflush(stdout);
        QFile::remove(path);
    }
    return 0;
}
