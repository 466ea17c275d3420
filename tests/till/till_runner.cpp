// One till of a shop without a window, for the tests of several tills at
// once: rings up sales of five scans each and completes them as fast as it
// can, then says what it rang up.
//
//     till_runner ADDRESS TILL SALES
//
// Prints "rang AMOUNT" (the exact decimal sum of its lines) and "receipts N".
#include "base/apperror.h"
#include "storage/database.h"
#include "base/decimalsum.h"
#include "till/till.h"

#include "papertray.h"
#include "runnercatalogue.h"

#include <QCoreApplication>
#include <QDate>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const int tillNumber = atoi(argv[2]);
    const int sales = atoi(argv[3]);
    try {
        Database db;
        db.setTill(tillNumber);
        db.open(QString::fromLocal8Bit(argv[1]));
        Till till(db);
        till.reopenSale();
        PaperTray paper;
        DecimalSum rang;
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        for (int sale = 0; sale < sales; ++sale) {
            for (int scan = 0; scan < 5; ++scan) {
                const std::optional<Product> found = till.lookUp(runnerCode(tillNumber, sale, scan));
                if (!found)
                    return 3;
                till.addLine(found->name, QStringLiteral("1"), found->price);
                rang.add(found->price.toDouble());
            }
            till.complete({till.nextReceiptNumber(), today, QStringLiteral("收银员%1").arg(tillNumber),
                           QString(), QString(), {}},
                          paper, 1);
        }
        std::printf("rang %s\nreceipts %d\n", qPrintable(rang.text()), int(paper.jobs.size()));
    } catch (const AppError &e) {
        std::fprintf(stderr, "till %d: %s\n", tillNumber, qPrintable(e.message()));
        return 1;
    }
    return 0;
}
