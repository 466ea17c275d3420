// One till of a server without a window, on its own copy when the server is
// away, for the tests of selling offline:
//
//     offline_till sell ADDRESS TILL COPY SALES [HOLD_AT]
//         rings up SALES sales of five scans; with HOLD_AT, after two scans of
//         that sale it says "holding" and waits for a line on its input (the
//         test stops the server meanwhile). Prints "rang AMOUNT", "receipts N".
//     offline_till send ADDRESS TILL COPY
//         sends the copy's outbox; prints "sent N".
#include "base/apperror.h"
#include "base/decimalsum.h"
#include "storage/database.h"
#include "storage/localcopy.h"
#include "till/till.h"

#include "papertray.h"
#include "runnercatalogue.h"

#include <QCoreApplication>
#include <QDate>

#include <cstdio>
#include <functional>
#include <iostream>
#include <string>

namespace {

// A step that met the switch to the copy is done again there, as a cashier would.
void again(const std::function<void()> &step)
{
    for (int tries = 0;; ++tries) {
        try {
            step();
            return;
        } catch (const ConnectionLost &) {
            if (tries == 3)
                throw;
        }
    }
}

int sell(Database &db, int tillNumber, int sales, int holdAt)
{
    Till till(db);
    again([&] { till.reopenSale(); });
    PaperTray paper;
    DecimalSum rang;
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    for (int sale = 0; sale < sales; ++sale) {
        for (int scan = 0; scan < 5; ++scan) {
            if (sale == holdAt && scan == 2) {
                std::printf("holding\n");
                std::fflush(stdout);
                std::string line;
                std::getline(std::cin, line);
            }
            std::optional<Product> found;
            again([&] { found = till.lookUp(runnerCode(tillNumber, sale, scan)); });
            if (!found)
                return 3;
            again([&] { till.addLine(found->name, QStringLiteral("1"), found->price); });
            rang.add(found->price.toDouble());
        }
        again([&] {
            till.complete({till.nextReceiptNumber(), today, QStringLiteral("收银员%1").arg(tillNumber), QString(),
                           QString(), {}},
                          paper, 1);
        });
    }
    std::printf("rang %s\nreceipts %d\n", qPrintable(rang.text()), int(paper.jobs.size()));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 5)
        return 2;
    const QString action = QString::fromLocal8Bit(argv[1]);
    const QString address = QString::fromLocal8Bit(argv[2]);
    const int tillNumber = atoi(argv[3]);
    const QString copy = QString::fromLocal8Bit(argv[4]);
    try {
        if (action == QLatin1String("send")) {
            std::printf("sent %d\n", LocalCopy::sendWaiting(address, copy, tillNumber));
            return 0;
        }
        Database db;
        db.setTill(tillNumber);
        db.setLocalCopy(copy);
        try {
            db.open(address);
        } catch (const ConnectionLost &) {
            if (!db.useLocalCopy())
                throw;
        }
        return sell(db, tillNumber, argc > 5 ? atoi(argv[5]) : 0, argc > 6 ? atoi(argv[6]) : -1);
    } catch (const AppError &e) {
        std::fprintf(stderr, "till %d: %s\n", tillNumber, qPrintable(e.message()));
        return 1;
    }
}
