#include "papertray.h"
#include "testdatabase.h"
#include "withnames.h"

#include "base/apperror.h"
#include "base/thousandths.h"
#include "receipt/printererror.h"
#include "reports/reportsheet.h"
#include "reports/salesreport.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "storage/stockledger.h"
#include "storage/tables.h"
#include "till/till.h"

#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <memory>
#include <random>

namespace {

const QString kDate = QStringLiteral("2026-12-06");
const double kPrices[] = {4.5, 9.6, 0.1, 0.2, 3.35, 12.8, 2};

QString codeOf(int i)
{
    return QStringLiteral("690%1").arg(i + 1);
}

} // namespace

Q_DECLARE_METATYPE(StockChange)

// The stock ledger on its database: every sale, return, taken-back sale and
// stock document moves the products' on hand, which the database keeps.
class TestStock : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> file;
    std::unique_ptr<Database> db;
    std::unique_ptr<Till> till;
    PaperTray tray;

    qint64 onHand(const QString &code)
    {
        return file->scalar(withNames("select {onHand} from {StockLevels} where {code} = ?"), {code}).toLongLong();
    }

    void ringUp(const QString &code, const QString &quantity, const QString &price = {})
    {
        const std::optional<Product> found = till->lookUp(code);
        QVERIFY(found);
        till->addLine(found->name, quantity, price.isEmpty() ? found->price : price);
    }

    QString sell()
    {
        const QString number = till->nextReceiptNumber();
        if (!till->complete({number, kDate, QStringLiteral("小王"), {}, {}, {}}, tray, 1))
            qFatal("the sale was not completed");
        return till->lastReceiptNumber();
    }

    SaleReturn returning(const QString &receipt, const SoldLine &line, double quantity)
    {
        SaleReturn request;
        request.soldReceipt = receipt;
        request.lines << ReturnLine{line.key, line.code, line.name, quantity, line.price};
        request.receiptNumber = till->nextReceiptNumber();
        request.saleDate = kDate;
        request.cashier = QStringLiteral("小李");
        return request;
    }

    void receive(const QString &code, const QString &quantity, const QString &cost)
    {
        StockLedger::record(*db, StockKind::Received, {{code, quantity, cost}}, QStringLiteral("批发部"),
                            QStringLiteral("老板"));
    }

private slots:
    void init()
    {
        file = std::make_unique<TestDatabase>();
        file->setSettings(QStringLiteral("小王"), QStringLiteral("好邻居"), QString());
        for (int i = 0; i < 7; ++i)
            file->addProduct(codeOf(i), QStringLiteral("商品%1").arg(i + 1), kPrices[i]);
        db = std::make_unique<Database>();
        db->open(file->path());
        till = std::make_unique<Till>(*db);
        till->reopenSale();
        tray.jobs.clear();
        tray.refusal.clear();
    }
    void cleanup()
    {
        till.reset();
        db.reset();
        file.reset();
    }

    // Sales (some taken back when the printer fails), returns, receipts of
    // weighed goods, stock-takes and corrections in random order: each
    // product's on hand is the sum kept here, and the check finds nothing.
    void randomWorkLeavesEveryProductAtItsSum()
    {
        std::mt19937 random(20261208);
        auto pick = [&random](int n) { return int(random() % unsigned(n)); };
        // Each quantity as typed and in thousandths.
        const QList<std::pair<QString, qint64>> quantities{
            {"1", 1000}, {"2", 2000}, {"0.125", 125}, {"0.5", 500}, {"1.75", 1750}};
        const QList<std::pair<QString, qint64>> deliveries{{"10", 10000}, {"0.125", 125}, {"5.5", 5500}};
        QHash<QString, qint64> expected;
        QStringList receipts;
        const int operations = TestDatabase::onServer() ? 1200 : 2000;
        for (int op = 0; op < operations; ++op) {
            const int what = pick(10);
            if (what < 4) {
                QHash<QString, qint64> sold;
                for (int n = pick(4) + 1; n > 0; --n) {
                    const QString code = codeOf(pick(6));
                    const auto &[quantity, milli] = quantities[pick(int(quantities.size()))];
                    ringUp(code, quantity);
                    sold[code] += milli;
                }
                // Goods without a code move nothing.
                if (pick(5) == 0)
                    till->addLine(QStringLiteral("散装糖"), QStringLiteral("1"), QStringLiteral("3"));
                if (pick(8) == 0) {
                    tray.refusal = QStringLiteral("缺纸");
                    try {
                        sell();
                        QFAIL("a sale was recorded without its receipt");
                    } catch (const PrinterError &) {
                    }
                    tray.refusal.clear();
                }
                receipts << sell();
                for (auto it = sold.cbegin(); it != sold.cend(); ++it)
                    expected[it.key()] -= it.value();
            } else if (what == 4 && !receipts.isEmpty()) {
                const QString receipt = receipts[pick(int(receipts.size()))];
                for (const SoldLine &line : till->soldLines(receipt)) {
                    if (line.returnable() < 0.1 || line.code.isEmpty() || !line.code.startsWith(QLatin1Char('6')))
                        continue;
                    const double back = line.returnable() >= 1 ? 1.0 : line.returnable();
                    till->completeReturn(returning(receipt, line, back), tray);
                    expected[line.code] += qRound64(back * 1000);
                    break;
                }
            } else if (what <= 6) {
                const QString code = codeOf(pick(6));
                const auto &[quantity, milli] = deliveries[pick(3)];
                receive(code, quantity, pick(2) ? QStringLiteral("2.5") : QStringLiteral("3.15"));
                expected[code] += milli;
            } else if (what == 7) {
                const QString code = codeOf(pick(6));
                const qint64 counted = QList<qint64>{0, 4000, 2375}[pick(3)];
                StockLedger::record(*db, StockKind::StockTake, {{code, Thousandths::text(counted - expected[code]), {}}},
                                    QStringLiteral("一号货架"), QStringLiteral("老板"));
                expected[code] = counted;
            } else {
                const QString code = codeOf(pick(6));
                StockLedger::record(*db, StockKind::Correction, {{code, QStringLiteral("-1"), {}}},
                                    QStringLiteral("摔坏了"), QStringLiteral("老板"));
                expected[code] -= 1000;
            }
        }

        const StockLedger::Check check = StockLedger::check(*db);
        QVERIFY2(check.wrong.isEmpty(), qPrintable(check.wrong.join(QLatin1Char('\n'))));
        QCOMPARE(check.products, qint64(expected.size()));
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(onHand(it.key()), it.value());
        // Every kind of movement took part.
        for (const StockKind kind : {StockKind::Sale, StockKind::Return, StockKind::Received, StockKind::StockTake,
                                     StockKind::Correction, StockKind::Void})
            QVERIFY2(file->scalar(withNames("select count(*) from {StockMovements} where {kind} = ?"), {int(kind)})
                             .toInt()
                         > 0,
                     qPrintable(QString::number(int(kind))));
    }

    // A document with one bad line writes nothing at all.
    void aRefusedDocumentWritesNothing_data()
    {
        QTest::addColumn<QList<StockChange>>("changes");
        QTest::addColumn<QString>("named");
        QTest::newRow("unknown code in the middle")
            << QList<StockChange>{{"6901", "1", "2"}, {"9999", "2", "2"}, {"6902", "3", "2"}} << QStringLiteral("9999");
        QTest::newRow("four decimals") << QList<StockChange>{{"6901", "1", "2"}, {"6902", "1.2345", "2"}}
                                       << QStringLiteral("1.2345");
        QTest::newRow("no number") << QList<StockChange>{{"6901", "两个", "2"}} << QStringLiteral("两个");
        QTest::newRow("negative cost") << QList<StockChange>{{"6901", "1", "-2"}} << QStringLiteral("-2");
    }
    void aRefusedDocumentWritesNothing()
    {
        QFETCH(QList<StockChange>, changes);
        QFETCH(QString, named);
        try {
            StockLedger::record(*db, StockKind::Received, changes, QStringLiteral("批发部"), QStringLiteral("老板"));
            QFAIL("the document was written");
        } catch (const Refusal &e) {
            QVERIFY2(e.message().contains(named), qPrintable(e.message()));
        }
        for (const QString &table : {Tables::StockMovements::table, Tables::StockDocuments::table,
                                     Tables::StockLevels::table})
            QCOMPARE(file->count(table), 0);
    }

    // A movement stays as written: the database refuses a change or a deletion.
    void movementsCannotBeChangedOrTakenOut()
    {
        receive(QStringLiteral("6901"), QStringLiteral("5"), QStringLiteral("2.5"));
        for (const char *change : {"update {StockMovements} set {quantity} = 0", "delete from {StockMovements}"}) {
            QSqlQuery q(db->handle());
            QVERIFY2(!q.exec(withNames(change)), change);
            QVERIFY2(q.lastError().text().contains(Schema::kStockAppendOnly), qPrintable(q.lastError().text()));
        }
        QCOMPARE(file->count(Tables::StockMovements::table), 1);
        QCOMPARE(onHand(QStringLiteral("6901")), 5000);
        QCOMPARE(StockLedger::level(*db, QStringLiteral("6901"))->lastCost, QStringLiteral("2.5"));
    }

    // Two tills sell the same goods at once, in different orders, each
    // product's last one among them: every sale completes (none waits on the
    // other in a circle) and the shelf goes below zero, one movement a sale.
    void twoTillsSellingTheLastOnesAtOnce()
    {
        if (!TestDatabase::onServer())
            QSKIP("several tills share a database on a server");
        constexpr int kSales = 40;
        for (int i = 0; i < 7; ++i)
            receive(codeOf(i), QStringLiteral("1"), QStringLiteral("1"));
        QList<QProcess *> tills;
        for (int n = 1; n <= 2; ++n) {
            auto *process = new QProcess(this);
            process->start(QStringLiteral(TILL_RUNNER), {file->path(), QString::number(n), QString::number(kSales)});
            tills << process;
        }
        for (QProcess *process : std::as_const(tills)) {
            QVERIFY(process->waitForFinished(280000));
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
        }
        // till_runner's sale s at till t scans the codes (t + s + scan) % 7.
        QHash<QString, int> sold;
        for (int t = 1; t <= 2; ++t)
            for (int s = 0; s < kSales; ++s)
                for (int scan = 0; scan < 5; ++scan)
                    ++sold[codeOf((t + s + scan) % 7)];
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(onHand(codeOf(i)), 1000 - 1000 * qint64(sold.value(codeOf(i))));
            QCOMPARE(file->scalar(withNames("select count(*) from {StockMovements} where {code} = ? and {kind} = 1"),
                                  {codeOf(i)})
                         .toInt(),
                     sold.value(codeOf(i)));
        }
        QVERIFY(StockLedger::check(*db).wrong.isEmpty());
    }

    // The report's cost is each sale's quantity at the last cost received
    // before it; a product never received has no cost and stays out of the totals.
    void theReportsMarginIsTakingsLessCost_data()
    {
        QTest::addColumn<QString>("cost");       // received at; empty: never received
        QTest::addColumn<QString>("sold");
        QTest::addColumn<QString>("price");
        QTest::addColumn<double>("returned");
        QTest::addColumn<QStringList>("figures");   // quantity, takings, cost, margin
        QTest::newRow("received at 2.5, 3 sold at 4")
            << "2.5" << "3" << "4" << 0.0 << QStringList{"3", "12", "7.5", "4.5"};
        QTest::newRow("one of them returned") << "2.5" << "3" << "4" << 1.0 << QStringList{"2", "8", "5", "3"};
        QTest::newRow("weighed") << "12.8" << "0.125" << "20" << 0.0 << QStringList{"0.125", "2.5", "1.6", "0.9"};
        QTest::newRow("never received") << "" << "2" << "3" << 0.0 << QStringList{"2", "6", "", ""};
    }
    void theReportsMarginIsTakingsLessCost()
    {
        QFETCH(QString, cost);
        QFETCH(QString, sold);
        QFETCH(QString, price);
        QFETCH(double, returned);
        QFETCH(QStringList, figures);
        if (!cost.isEmpty())
            receive(QStringLiteral("6901"), QStringLiteral("10"), cost);
        ringUp(QStringLiteral("6901"), sold, price);
        const QString receipt = sell();
        if (returned > 0)
            till->completeReturn(returning(receipt, till->soldLines(receipt).first(), returned), tray);
        // A later receipt at another cost changes no sale that was made.
        receive(QStringLiteral("6901"), QStringLiteral("1"), QStringLiteral("99"));

        ReportRange range;
        range.from = range.to = ReportRange::parseDate(kDate);
        const ReportFigures report = SalesReport::compute(*db, range);
        QCOMPARE(report.margins.size(), 1);
        const ReportFigures::Margin &m = report.margins.first();
        QCOMPARE((QStringList{m.quantity, m.takings, m.cost, m.margin}), figures);
        const bool known = !cost.isEmpty();
        QCOMPARE(report.cost, known ? figures[2] : QStringLiteral("0"));
        QCOMPARE(report.margin, known ? figures[3] : QStringLiteral("0"));
        QCOMPARE(report.uncosted, known ? 0 : 1);
        const QString sheet = ReportSheet::plainText(report);
        QCOMPARE(sheet.contains(QStringLiteral("未计成本：1 种商品（没有进货价）")), !known);
        QCOMPARE(sheet.contains(QStringLiteral("6901\t商品1\t%1\t%2\t—\t—").arg(figures[0], figures[1])), !known);
    }
};

QTEST_GUILESS_MAIN(TestStock)
#include "tst_stock.moc"
