// The product catalogue window with 100,000 products (half of them with
// stock on hand, shown beside each): how long showing it,
// searching (everything, and a name fragment) and sorting by a column take,
// each up to the grid having painted, and how much memory the process peaks at.
//
// Run: bench_catalogue [runs]   (offscreen unless a display is set)

#include "app/fenwoapplication.h"
#include "windows/cataloguemodel.h"
#include "storage/database.h"
#include "testdatabase.h"
#include "withnames.h"
#include "widgets/flatedit.h"
#include "windows/cataloguewindow.h"
#include "windows/cataloguegrid.h"

#include <QElapsedTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kProducts = 100000;

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Codes come in a scattered order (7919 times i, modulo the prime 100003,
// never repeats), so neither the table nor a sort finds them already ordered;
// one name in fifty holds the fragment searched for.
void fill(TestDatabase &file)
{
    file.exec(withNames(
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
        "insert into {Catalogue} ({code}, {name}, {price}) "
        "select printf('69%08d', (i * 7919) % 100003), "
        "       '商品' || ((i * 31) % 9973) || case when i % 50 = 0 then '可乐' else '' end, "
        "       (i % 500) / 10.0 from n")
                  .arg(kProducts));
    // Half the products have stock, received once: the list joins each row
    // to its on hand.
    file.exec(withNames("insert into {StockMovements} ({StockMovements.kind}, {StockMovements.code}, "
                        "{StockMovements.quantity}, {StockMovements.unitCost}, {StockMovements.movedAt}, "
                        "{StockMovements.till}) "
                        "select 3, {Catalogue.code}, 12000, '2.5', '2026-01-01 08:00:00', 1 from {Catalogue} "
                        "where rowid % 2 = 0"));
}

struct Figures
{
    double median;
    double worst;
};

// Milliseconds of each run, up to the window having handled its repaint;
// setUp runs before each run, outside the clock.
Figures measure(int runs, const std::function<void(int)> &step, const std::function<void()> &setUp = {})
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        if (setUp) {
            setUp();
            QCoreApplication::processEvents();
        }
        QElapsedTimer timer;
        timer.start();
        step(run);
        QCoreApplication::processEvents();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

void report(const char *what, const Figures &f)
{
    std::printf("%-34s median %8.1f ms   worst %8.1f ms   %s\n", what, f.median, f.worst,
                f.median < 200 ? "(under 200 ms)" : "(OVER 200 ms)");
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    FenwoApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 9;

    TestDatabase file;
    fill(file);
    Database db;
    db.open(file.path());
    const long before = peakKiB();

    CatalogueWindow window(db, nullptr);
    int listed = 0;
    QObject::connect(&window, &CatalogueWindow::productNamesListed,
                     [&listed](const QStringList &names) { listed = int(names.size()); });

    std::printf("catalogue window, %d products, %d runs each\n", kProducts, runs);
    report("show (re-reads every product)", measure(runs, [&](int) { window.bringUp(); }, [&] { window.hide(); }));
    if (window.catalogue()->rowCount() != kProducts)
        std::printf("  unexpected row count %d\n", window.catalogue()->rowCount());

    report("search \"%\" (empty box)", measure(runs, [&](int) {
               window.searchBox()->clear();
               window.search();
           }));
    window.searchBox()->setText(QStringLiteral("可乐"));
    report("search name fragment \"可乐\"", measure(runs, [&](int) { window.search(); }));
    std::printf("  (found %d)\n", window.catalogue()->rowCount());

    window.searchBox()->clear();
    window.search();
    report("sort by 品名 (title click)", measure(runs, [&](int) { window.sortByColumn(QStringLiteral("品名")); }));
    report("sort by 单价 (title click)", measure(runs, [&](int) { window.sortByColumn(QStringLiteral("单价")); }));
    report("close (hands every name on)", measure(runs, [&](int) { window.close(); }, [&] { window.bringUp(); }));
    std::printf("  (names handed on: %d)\n", listed);

    std::printf("peak memory: %.1f MiB (%.1f MiB before the window was made)\n", peakKiB() / 1024.0,
                before / 1024.0);
    return 0;
}
