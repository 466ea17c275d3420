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
#include "receipt/receiptsink.h"
#include "till/till.h"

#include <QCoreApplication>
#include <QDate>

#include <cstdio>

namespace {

class NoPaper final : public ReceiptSink
{
public:
    void print(const QList<ReceiptLine> &) override { ++jobs; }
    int jobs = 0;
};

const char *const kCodes[] = {"6901", "6902", "6903", "6904", "6905", "6906", "6907"};

} // namespace

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
        NoPaper paper;
        DecimalSum rang;
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        for (int sale = 0; sale < sales; ++sale) {
            for (int scan = 0; scan < 5; ++scan) {
                const std::optional<Product> found = till.lookUp(QString::fromLatin1(kCodes[(tillNumber + sale + scan) % 7]));
                if (!found)
                    return 3;
                till.addLine(found->name, QStringLiteral("1"), found->price);
                rang.add(found->price.toDouble());
            }
            till.complete({till.nextReceiptNumber(), today, QStringLiteral("收银员%1").arg(tillNumber),
                           QString(), QString(), {}},
                          paper, 1);
        }
        std::printf("rang %s\nreceipts %d\n", qPrintable(rang.text()), paper.jobs);
    } catch (const AppError &e) {
        std::fprintf(stderr, "till %d: %s\n", tillNumber, qPrintable(e.message()));
        return 1;
    }
    return 0;
}
