// Several tills on one database: each its own open sale, receipt numbers
// that never meet, a product two tills change at once, and four till
// programs selling at the same time on a server.
#include "papertray.h"
#include "testdatabase.h"
#include "withnames.h"

#include "base/apperror.h"
#include "windows/cataloguemodel.h"
#include "storage/database.h"
#include "storage/tables.h"
#include "base/decimalsum.h"
#include "storage/tillsettings.h"
#include "till/till.h"

#include <QProcess>
#include <QTest>

#include <memory>

namespace {

struct OneTill
{
    Database db;
    std::unique_ptr<Till> till;

    OneTill(const QString &address, int number)
    {
        db.setTill(number);
        db.open(address);
        till = std::make_unique<Till>(db);
        till->reopenSale();
    }

    void ringUp(const QString &code)
    {
        const std::optional<Product> found = till->lookUp(code);
        QVERIFY2(found, qPrintable(code));
        till->addLine(found->name, QStringLiteral("1"), found->price);
    }
};

SaleHeader header(const QString &receiptNumber)
{
    return {receiptNumber, QStringLiteral("2026-12-06"), QStringLiteral("小王"), QString(), QString(), {}};
}

} // namespace

class TestTills : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> file;

private slots:
    void init()
    {
        file = std::make_unique<TestDatabase>();
        const double prices[] = {4.5, 9.6, 0.1, 0.2, 3.35, 12.8, 2};
        for (int i = 0; i < 7; ++i)
            file->addProduct(QStringLiteral("690%1").arg(i + 1), QStringLiteral("商品%1").arg(i + 1), prices[i]);
    }
    void cleanup() { file.reset(); }

    void eachTillRingsUpRecordsAndEmptiesOnlyItsOwnSale()
    {
        OneTill first(file->path(), 1);
        OneTill second(file->path(), 2);
        first.ringUp(QStringLiteral("6901"));
        second.ringUp(QStringLiteral("6902"));
        second.ringUp(QStringLiteral("6903"));
        QCOMPARE(first.till->lines().size(), 1);
        QCOMPARE(second.till->lines().size(), 2);
        QCOMPARE(second.till->totalAmount(), QStringLiteral("9.7"));

        // Closing the first till's program discards its sale, not the other's.
        first.till->discardSale();
        QCOMPARE(file->count(Tables::OpenSale::table), 2);
        second.till->reopenSale();
        QCOMPARE(second.till->lines().size(), 2);

        PaperTray tray;
        QVERIFY(second.till->complete(header(QStringLiteral("261206143005")), tray, 1));
        QCOMPARE(file->rows(withNames("select distinct {till} from {SalesRecord}")), (QList<QVariantList>{{2}}));

        // Each till's printer and drawer are its own.
        TillSettings(second.db).store({{QStringLiteral("drawer"), QStringLiteral("2")}});
        QCOMPARE(TillSettings(first.db).value(QStringLiteral("drawer"), QStringLiteral("off")), QStringLiteral("off"));
        QCOMPARE(TillSettings(second.db).value(QStringLiteral("drawer")), QStringLiteral("2"));
        QCOMPARE(file->count(Tables::OpenSale::table), 0);
    }

    void tillsEndingSalesInOneSecondTakeTheNextFreeSecond()
    {
        OneTill first(file->path(), 1);
        OneTill second(file->path(), 2);
        first.ringUp(QStringLiteral("6901"));
        second.ringUp(QStringLiteral("6902"));
        PaperTray firstTray;
        PaperTray secondTray;
        QVERIFY(first.till->complete(header(QStringLiteral("261206143005")), firstTray, 1));
        QVERIFY(second.till->complete(header(QStringLiteral("261206143005")), secondTray, 1));

        QCOMPARE(first.till->lastReceiptNumber(), QStringLiteral("261206143005"));
        QCOMPARE(second.till->lastReceiptNumber(), QStringLiteral("261206143006"));
        QVERIFY(secondTray.jobs.first().join(QLatin1Char('\n')).contains(QStringLiteral("261206143006")));
        QCOMPARE(file->rows(withNames("select {till}, {receiptNumber} from {SalesRecord} order by {till}")),
                 (QList<QVariantList>{{1, QStringLiteral("261206143005")}, {2, QStringLiteral("261206143006")}}));
        // The next number each till offers is later than any taken.
        QVERIFY(second.till->nextReceiptNumber() > QStringLiteral("261206143006"));
    }

    // A slow till behind fast ones, whose numbers ran over an hour ahead of
    // its clock, is never refused: it takes the next free number at once.
    void aTillBehindAnHourOfTakenNumbersTakesTheNextFreeOne()
    {
        QStringList taken;
        const QDateTime start(QDate(2026, 12, 6), QTime(15, 0));
        for (int second = 0; second < 4000; ++second)
            taken << QStringLiteral("('%1', 2)").arg(start.addSecs(second).toString(QStringLiteral("yyMMddHHmmss")));
        file->exec(withNames("insert into {ReceiptNumbers} ({number}, {till}) values ") + taken.join(QLatin1Char(',')));
        OneTill slow(file->path(), 1);
        slow.ringUp(QStringLiteral("6901"));
        PaperTray tray;
        QVERIFY(slow.till->complete(header(QStringLiteral("261206150000")), tray, 1));
        QCOMPARE(slow.till->lastReceiptNumber(), QStringLiteral("261206160640"));
        QCOMPARE(file->scalar(withNames("select {receiptNumber} from {SalesRecord}")).toString(),
                 QStringLiteral("261206160640"));
    }

    void aProductChangedByAnotherTillSinceItWasListedIsNotOverwritten()
    {
        Database firstDb;
        firstDb.open(file->path());
        Database secondDb;
        secondDb.setTill(2);
        secondDb.open(file->path());
        CatalogueModel first(firstDb);
        CatalogueModel second(secondDb);
        first.search(QStringLiteral("6901"));
        second.search(QStringLiteral("6901"));

        first.setData(first.index(0, CatalogueModel::Price), QStringLiteral("5"));
        first.writePendingRow();
        second.setData(second.index(0, CatalogueModel::Name), QStringLiteral("改过的名字"));
        try {
            second.writePendingRow();
            QFAIL("the second save overwrote the first");
        } catch (const Refusal &e) {
            QVERIFY2(e.message().contains(QStringLiteral("另一台收银机")), qPrintable(e.message()));
        }
        QCOMPARE(second.rowState(0), CatalogueModel::RowState::Editing);   // the typing is kept
        QCOMPARE(file->rows(withNames("select {name}, {price} from {Catalogue} where {code} = '6901'")),
                 (QList<QVariantList>{{QStringLiteral("商品1"), 5.0}}));

        // Listed again, the second till sees the first one's price and its own change goes in.
        second.search(QStringLiteral("6901"));
        QCOMPARE(second.text(0, CatalogueModel::Price), QStringLiteral("5"));
        second.setData(second.index(0, CatalogueModel::Name), QStringLiteral("改过的名字"));
        second.writePendingRow();
        QCOMPARE(file->rows(withNames("select {name}, {price} from {Catalogue} where {code} = '6901'")),
                 (QList<QVariantList>{{QStringLiteral("改过的名字"), 5.0}}));
    }

    void fourTillsSellingAtOnceRecordEverySaleOnce()
    {
        if (!TestDatabase::onServer())
            QSKIP("several tills share a database on a server");
        constexpr int kTills = 4;
        constexpr int kSales = 250;
        QList<QProcess *> tills;
        for (int n = 1; n <= kTills; ++n) {
            auto *process = new QProcess(this);
            process->start(QStringLiteral(TILL_RUNNER), {file->path(), QString::number(n), QString::number(kSales)});
            tills << process;
        }
        QMap<int, QString> rang;
        for (int n = 1; n <= kTills; ++n) {
            QProcess *process = tills[n - 1];
            QVERIFY(process->waitForFinished(280000));
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
            const QStringList said = QString::fromUtf8(process->readAllStandardOutput()).split(QLatin1Char('\n'));
            QCOMPARE(said.value(1), QStringLiteral("receipts %1").arg(kSales));
            rang.insert(n, said.value(0).mid(5));
        }

        QCOMPARE(file->count(Tables::SalesRecord::table), kTills * kSales * 5);
        QCOMPARE(file->scalar(withNames("select count(distinct {receiptNumber}) from {SalesRecord}")).toInt(), kTills * kSales);
        QCOMPARE(file->count(Tables::ReceiptNumbers::table), kTills * kSales);
        // Each receipt's five lines carry one till, and no open sale is left.
        QCOMPARE(file->scalar(withNames("select count(*) from (select {receiptNumber} from {SalesRecord} group by {receiptNumber} "
                                             "having count(*) <> 5 or count(distinct {till}) <> 1) odd")).toInt(), 0);
        QCOMPARE(file->count(Tables::OpenSale::table), 0);
        QCOMPARE(file->count(Tables::AwaitingPrint::table), 0);
        for (int n = 1; n <= kTills; ++n) {
            DecimalSum recorded;
            QString previous;
            for (const QVariantList &line : file->rows(withNames("select {amount}, {receiptNumber} from {SalesRecord} where {till} = ? "
                                                                      "order by {key}"),
                                                       {n})) {
                recorded.add(line[0].toDouble());
                // Increasing, sale after sale, at each till.
                QVERIFY2(line[1].toString() >= previous, qPrintable(previous + QLatin1Char(' ') + line[1].toString()));
                previous = line[1].toString();
            }
            QCOMPARE(recorded.text(), rang.value(n));
        }
    }
};

QTEST_GUILESS_MAIN(TestTills)
#include "tst_tills.moc"
