// Sells without a window, sale after sale (three lines each, recorded in one
// transaction as the till does it), says how many now and then, and runs
// until it is killed.
#include "storage/database.h"
#include "receipt/receiptsink.h"
#include "till/till.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

class NoPrinter final : public ReceiptSink
{
public:
    void print(const QList<ReceiptLine> &) override {}
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    Database db;
    db.open(QString::fromLocal8Bit(argv[1]));
    Till till(db);
    till.reopenSale();
    NoPrinter printer;
    for (qint64 sale = 1;; ++sale) {
        for (int line = 0; line < 3; ++line) {
            till.lookUp(QStringLiteral("6901"));
            till.addLine(QStringLiteral("可乐"), QStringLiteral("1"), QStringLiteral("3"));
        }
        till.complete({till.nextReceiptNumber(), QStringLiteral("2026-01-01"), QStringLiteral("写入"),
                       QStringLiteral("10"), QStringLiteral("1"), {}},
                      printer, 1);
        if (sale == 1 || sale % 20 == 0) {
            std::printf("sold %lld\n", sale);
            std::fflush(stdout);
        }
    }
}
