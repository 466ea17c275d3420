// Scanning at the till with a large catalogue: time from a scanned code's
// Enter to the line being stored and the totals shown, start-up time with the
// product box ready, and the lookup with and without its indexes.
#include "benchsupport.h"

#include "app/fenwoapplication.h"
#include "app/tillsession.h"
#include "storage/database.h"
#include "storage/statements.h"
#include "widgets/flatcombobox.h"
#include "widgets/webpage.h"

#include <QLabel>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTest>

namespace {

double timeLookup(QSqlDatabase db, const QString &sql, const QString &code, int repeats)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < repeats; ++i) {
        QSqlQuery q(db);
        q.prepare(sql);
        q.addBindValue(code);
        q.addBindValue(code);
        q.exec();
        while (q.next()) {
        }
    }
    return double(t.nsecsElapsed()) / 1e6 / repeats;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    FenwoApplication app(argc, argv);
    WebPage::setOpener([](const QUrl &) {});
    const int products = argc > 1 ? atoi(argv[1]) : 100000;
    const int scans = argc > 2 ? atoi(argv[2]) : 1000;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.db"));
    Database::createFile(path);
    Bench::fillCatalogue(path, products);

    // Start-up: window made, shown, the product box's list ready.
    QElapsedTimer startup;
    startup.start();
    auto session = std::make_unique<TillSession>(path);
    CashierWindow *window = &session->window();
    window->show();
    QApplication::processEvents();
    const double startupMs = double(startup.nsecsElapsed()) / 1e6;
    std::printf("catalogue: %d products, %lld names read into the product box at start\n", products,
                qlonglong(window->productBox()->count()));
    std::printf("start-up to an interactive cashier screen: %.1f ms\n", startupMs);

    // Scans: 13 digits typed as key events, then Enter; the Enter is timed.
    QList<double> enterMs;
    for (int i = 0; i < scans; ++i) {
        const QString code = Bench::productCode((i * 37) % products);
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : window->productBox();
        QTest::keyClicks(target, code);
        QElapsedTimer t;
        t.start();
        QTest::keyClick(target, Qt::Key_Return);
        enterMs << double(t.nsecsElapsed()) / 1e6;
        if (i % 50 == 49)
            QApplication::processEvents();   // the screen repaints between customers' items
    }
    std::printf("scan Enter -> line stored and totals shown, %d scans: median %.3f ms, p99 %.3f ms, max %.3f ms\n",
                scans, Bench::median(enterMs), Bench::percentile(enterMs, 0.99), Bench::percentile(enterMs, 1.0));
    // Work that grew with the open sale would show as later scans taking longer.
    const qsizetype tenth = std::max<qsizetype>(1, enterMs.size() / 10);
    std::printf("the first and the last tenth of the scans: median %.3f ms and %.3f ms\n",
                Bench::median(enterMs.mid(0, tenth)), Bench::median(enterMs.mid(enterMs.size() - tenth)));
    std::printf("lines in the open sale: %d, total %s\n", int(window->till().lines().size()),
                qPrintable(window->totalAmountLabel()->text()));

    // The same lookup with and without the indexes.
    {
    QSqlDatabase db = window->database().handle();
    const QString indexed = Statements::lookupByCodeOrName(QString()).sql;
    QString unindexed = indexed;
    unindexed.replace(withNames("from {Catalogue}"), withNames("from {Catalogue} not indexed"));
    {
        QSqlQuery plan(db);
        plan.prepare(QStringLiteral("explain query plan ") + indexed);
        plan.addBindValue(Bench::productCode(1));
        plan.addBindValue(Bench::productCode(1));
        plan.exec();
        while (plan.next())
            std::printf("plan: %s\n", qPrintable(plan.value(3).toString()));
    }
    const QString code = Bench::productCode(products / 2);
    const double withIndex = timeLookup(db, indexed, code, 200);
    const double withoutIndex = timeLookup(db, unindexed, code, 5);
    std::printf("lookup statement alone: indexed %.3f ms, unindexed %.3f ms, ratio %.0fx\n", withIndex, withoutIndex,
                withoutIndex / withIndex);
    }
    std::printf("peak memory: %ld KiB\n", Bench::peakMemoryKiB());
    session.reset();
    return 0;
}
