// Completing a 50-line sale with a million lines already in the sales record:
// recording, printing one copy and emptying the open sale, to a PDF file and
// to a receipt printer stream that goes nowhere (/dev/null). The sale's goods
// are in the catalogue and every past line moved stock, so each completion
// writes its 50 movements beside a million others; FENWO_BENCH_NO_STOCK=1
// leaves the catalogue and the ledger empty (no movement is written), as
// before stock was kept.
#include "benchsupport.h"

#include "app/tillsession.h"
#include "app/fenwoapplication.h"
#include "storage/database.h"
#include "receipt/receiptprinter.h"
#include "widgets/webpage.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

void fillRecords(const QString &path, int n)
{
    const QString name = QStringLiteral("bench-records");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(withNames("insert into {SalesRecord} ({code}, {name}, {quantity}, {price}, {amount}, {receiptNumber}, {cashier}, {date}, {time}) "
                                 "values (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        const QDate first(2024, 1, 1);
        for (int i = 0; i < n; ++i) {
            const QDate day = first.addDays(i / 1500);
            q.addBindValue(Bench::productCode(i % 5000));
            q.addBindValue(QStringLiteral("商品%1").arg(i % 5000));
            q.addBindValue(1.0);
            q.addBindValue(2.5);
            q.addBindValue(2.5);
            q.addBindValue(day.toString(QStringLiteral("yyMMdd")) + QStringLiteral("120000"));
            q.addBindValue(QStringLiteral("001"));
            q.addBindValue(day.toString(QStringLiteral("yyyy-MM-dd")));
            q.addBindValue(QStringLiteral("12:00"));
            q.exec();
        }
        if (qEnvironmentVariableIsEmpty("FENWO_BENCH_NO_STOCK")) {
            q.prepare(withNames("insert into {Catalogue} ({code}, {name}, {price}) values (?, ?, ?)"));
            for (int i = 0; i < 5000; ++i) {
                q.addBindValue(Bench::productCode(i));
                q.addBindValue(QStringLiteral("商品%1").arg(i));
                q.addBindValue(2.5);
                q.exec();
            }
            // The database's trigger keeps each product's on hand as they go in.
            q.prepare(withNames("insert into {StockMovements} ({kind}, {code}, {quantity}, {unitCost}, {movedAt}, "
                                "{till}, {cashier}, {receiptNumber}) values (1, ?, -1000, '1.5', ?, 1, '001', ?)"));
            for (int i = 0; i < n; ++i) {
                const QDate day = first.addDays(i / 1500);
                q.addBindValue(Bench::productCode(i % 5000));
                q.addBindValue(day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 12:00:00"));
                q.addBindValue(day.toString(QStringLiteral("yyMMdd")) + QStringLiteral("120000"));
                q.exec();
            }
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(name);
}

void ringUp(CashierWindow &w, const QString &path, int lines)
{
    const QString name = QStringLiteral("bench-sale");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(withNames("insert into {OpenSale} ({code}, {name}, {quantity}, {price}, {amount}) values (?, ?, ?, ?, ?)"));
        for (int i = 0; i < lines; ++i) {
            q.addBindValue(Bench::productCode(i));
            q.addBindValue(QStringLiteral("康师傅红烧牛肉面%1").arg(i));
            q.addBindValue(2.0);
            q.addBindValue(4.5);
            q.addBindValue(9.0);
            q.exec();
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(name);
    w.till().reopenSale();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FenwoApplication app(argc, argv);
    WebPage::setOpener([](const QUrl &) {});
    const int records = argc > 1 ? atoi(argv[1]) : 1000000;
    const int rounds = argc > 2 ? atoi(argv[2]) : 15;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.db"));
    Database::createFile(path);
    fillRecords(path, records);

    TillSession session(path);
    CashierWindow &w = session.window();
    w.show();
    QApplication::processEvents();

    const QString pdfFolder = dir.filePath(QStringLiteral("pdf"));
    QDir().mkpath(pdfFolder);
    const QList<QPair<QString, QString>> targets = {{QStringLiteral("PDF file"), QStringLiteral("pdf:") + pdfFolder},
                                                    {QStringLiteral("ESC/POS to /dev/null"), QStringLiteral("escpos:/dev/null")}};
    std::printf("sales record: %d lines before the first completion\n", records);
    for (const auto &[label, option] : targets) {
        w.setReceiptPrinter(ReceiptPrinter::create(option, QStringLiteral("80")));
        QList<double> ms;
        for (int i = 0; i < rounds; ++i) {
            ringUp(w, path, 50);
            QElapsedTimer t;
            t.start();
            w.completeSale();
            ms << double(t.nsecsElapsed()) / 1e6;
        }
        std::printf("complete a 50-line sale, %s: median %.1f ms (min %.1f, max %.1f) over %d sales\n",
                    qPrintable(label), Bench::median(ms), Bench::percentile(ms, 0), Bench::percentile(ms, 1.0),
                    rounds);
    }
    // The same sale paid three ways: by phone, by Alipay and the rest in cash
    // with change (50 lines of 9: 450).
    const QList<Payment> threeWays{{2, QStringLiteral("微信"), QStringLiteral("200")},
                                   {3, QStringLiteral("支付宝"), QStringLiteral("100")},
                                   {1, QStringLiteral("现金"), QStringLiteral("200"), QStringLiteral("50")}};
    QList<double> paid;
    for (int i = 0; i < rounds; ++i) {
        ringUp(w, path, 50);
        QElapsedTimer t;
        t.start();
        w.completeSalePaid(threeWays);
        paid << double(t.nsecsElapsed()) / 1e6;
    }
    std::printf("complete a 50-line sale paid three ways, %s: median %.1f ms (p99 %.1f, max %.1f) over %d sales\n",
                qPrintable(targets.last().first), Bench::median(paid), Bench::percentile(paid, 0.99),
                Bench::percentile(paid, 1.0), rounds);
    std::printf("peak memory: %ld KiB\n", Bench::peakMemoryKiB());
    return 0;
}
