// Tills of a shop's server that keep selling while the server is away: real
// till processes on a server of the test's own, stopped (refused) or held
// (silent) in the middle of a sale, their outboxes sent when it is back, and
// senders killed in the middle of sending. Every sale is recorded once.
#include <QTest>
#include "privateserver.h"
#include "runnercatalogue.h"
#include "withnames.h"

#include "base/apperror.h"
#include "base/decimalsum.h"
#include "storage/database.h"
#include "storage/localcopy.h"
#include "storage/statements.h"
#include "storage/tables.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QDeadlineTimer>

namespace {

constexpr int kSales = 25;   // at each of two tills: 50 in all


QVariant scalarAt(const QString &address, const QString &sql)
{
    Database db;
    db.open(address);
    QSqlQuery q = db.run(Statement{sql, {}, {}, {}});
    return q.next() ? q.value(0) : QVariant();
}

void execAt(const QString &address, const Statement &statement)
{
    Database db;
    db.open(address);
    db.execute(statement);
}

} // namespace

class TestOfflineTills : public QObject
{
    Q_OBJECT

    std::unique_ptr<PrivateServer> server;
    QTemporaryDir dir;
    QString address;

    QString copyOf(int till) const { return dir.filePath(QStringLiteral("till-%1.db").arg(till)); }

    QProcess *startTill(const QStringList &arguments)
    {
        auto *process = new QProcess(this);
        process->start(QStringLiteral(OFFLINE_TILL), arguments);
        return process;
    }

    // What a finished till said it rang up.
    static QString rangBy(QProcess *process)
    {
        const bool finished = process->waitForFinished(120000);
        const QString said = QString::fromUtf8(process->readAllStandardOutput());
        if (!finished || process->exitCode() != 0)
            qWarning("till: %s %s", qPrintable(said), process->readAllStandardError().constData());
        for (const QString &line : said.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("rang ")))
                return line.mid(5);
        return QString();
    }

    int send(int till)
    {
        QProcess sender;
        sender.start(QStringLiteral(OFFLINE_TILL), {QStringLiteral("send"), address, QString::number(till), copyOf(till)});
        sender.waitForFinished(60000);
        return sender.exitCode();
    }

    // Every sale once on the server: lines, distinct numbers, the amount rung up.
    void checkRecorded(int receipts, double rang)
    {
        QCOMPARE(scalarAt(address, withNames("select count(*) from {SalesRecord}")).toInt(), receipts * 5);
        QCOMPARE(scalarAt(address, withNames("select count(distinct {receiptNumber}) from {SalesRecord}")).toInt(),
                 receipts);
        QCOMPARE(scalarAt(address, withNames("select count(*) from (select {receiptNumber} from {SalesRecord} "
                                             "group by {receiptNumber} having count(*) <> 5) odd"))
                     .toInt(),
                 0);
        QCOMPARE(qRound64(scalarAt(address, withNames("select sum({amount}) from {SalesRecord}")).toDouble() * 100),
                 qRound64(rang * 100));
        // The day's summary took the sent sales too: the report reads it.
        QCOMPARE(scalarAt(address, QStringLiteral("select sum(%1) from %2")
                                       .arg(Tables::DaySummary::receipts, Tables::DaySummary::table))
                     .toInt(),
                 receipts);
    }

private slots:
    void initTestCase()
    {
        server = std::make_unique<PrivateServer>();
        if (!server->isRunning())
            QSKIP(qPrintable(server->whyNot()));
    }

    void init()
    {
        address = server->makeDatabase();
        for (int i = 0; i < runnerCodes().size(); ++i)
            execAt(address, Statements::insertProduct(runnerCodes().at(i), QStringLiteral("商品%1").arg(i), 1.25 + i));
        for (int till : {1, 2}) {
            QFile::remove(copyOf(till));
            LocalCopy::refresh(address, copyOf(till));
        }
    }

    // Two tills lose the server in the middle of a sale and sell on: every
    // line reaches the server once when it is back, under numbers of their own.
    void serverAwayMidSale_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::newRow("stopped") << false;
        QTest::newRow("silent") << true;
    }
    void serverAwayMidSale()
    {
        QFETCH(bool, silent);
        QList<QProcess *> tills;
        for (int till : {1, 2})
            tills << startTill({QStringLiteral("sell"), address, QString::number(till), copyOf(till),
                                QString::number(kSales), QStringLiteral("3")});
        for (QProcess *till : tills) {
            QByteArray said;
            till->waitForStarted();
            while (!said.contains("holding") && till->state() == QProcess::Running && till->waitForReadyRead(60000))
                said += till->readAllStandardOutput();
            QVERIFY2(said.contains("holding"), till->readAllStandardError().constData());
        }
        silent ? server->pause() : server->kill();
        for (QProcess *till : tills)
            till->write("go\n");
        DecimalSum rang;
        for (QProcess *till : tills) {
            const QString amount = rangBy(till);
            QVERIFY(!amount.isEmpty());
            rang.add(amount.toDouble());
        }
        const int waiting = LocalCopy::waitingCount(copyOf(1)) + LocalCopy::waitingCount(copyOf(2));
        QVERIFY2(waiting >= 2 * (kSales - 3), qPrintable(QString::number(waiting)));
        silent ? server->resume() : server->restart();
        QCOMPARE(send(1), 0);
        QCOMPARE(send(2), 0);
        QCOMPARE(LocalCopy::waitingCount(copyOf(1)) + LocalCopy::waitingCount(copyOf(2)), 0);
        checkRecorded(2 * kSales, rang.text().toDouble());
        QCOMPARE(scalarAt(address, QStringLiteral("select count(*) from %1").arg(Tables::SentSales::table)).toInt(),
                 waiting);
        // Offline numbers carry their till.
        QCOMPARE(scalarAt(address, withNames("select count(*) from {SalesRecord} where {receiptNumber} like '%-'"
                                             " || cast({till} as text)"))
                     .toInt(),
                 waiting * 5);
        // Each sold line moved the server's stock once, those sent from an outbox too.
        QCOMPARE(scalarAt(address, withNames("select -sum({quantity}) from {StockMovements} where {kind} = 1")).toLongLong(),
                 qRound64(scalarAt(address, withNames("select sum({quantity}) from {SalesRecord}")).toDouble() * 1000));
    }

    // A sale parked and the opening cash recorded while the server was away
    // reach it with the sales: the parked sale once, even when the copy did
    // not hear that it arrived, and the cash in place of the till's earlier one.
    void whatTheTillKeptBesidesItsSales()
    {
        namespace Held = Tables::HeldSales;
        namespace HeldLine = Tables::HeldLines;
        namespace Floats = Tables::CashFloats;
        execAt(address, Statements::recordCashFloat(1, QStringLiteral("2026-12-08 07:00:00"), QStringLiteral("50")));
        qint64 parked = 0;
        {
            Database copy;
            copy.open(copyOf(1));
            QSqlQuery row = copy.run(Statements::holdSale(1, QStringLiteral("2026-12-08 10:00:00")));
            QVERIFY(row.next());
            parked = row.value(0).toLongLong();
            copy.execute(Statements::addHeldLine(parked, QStringLiteral("6901"), QStringLiteral("商品0"), 2, 1.25, 2.5));
            copy.execute(Statements::addHeldLine(parked, QStringLiteral("6902"), QStringLiteral("商品1"), 1, 2.25, 2.25));
            copy.execute(Statements::recordCashFloat(1, QStringLiteral("2026-12-08 08:00:00"), QStringLiteral("200")));
        }
        const QString heldLines = QStringLiteral("select count(*) from %1").arg(HeldLine::table);
        const QString openFloats =
            QStringLiteral("select %2 from %1 where %3 = 1 and %4 is null").arg(Floats::table, Floats::amount, Floats::till, Floats::closing);
        for (int send : {1, 2}) {
            QCOMPARE(LocalCopy::sendWaiting(address, copyOf(1), 1), 0);
            QCOMPARE(scalarAt(copyOf(1), heldLines).toInt(), 0);
            QCOMPARE(scalarAt(address, QStringLiteral("select count(*) from %1 where %2 = 1 and %3 = '2026-12-08 10:00:00'")
                                           .arg(Held::table, Held::till, Held::heldAt))
                         .toInt(),
                     1);
            QCOMPARE(scalarAt(address, heldLines).toInt(), 2);
            QCOMPARE(scalarAt(address, QStringLiteral("select sum(%2) from %1").arg(HeldLine::table, HeldLine::amount))
                         .toDouble(),
                     4.75);
            QCOMPARE(scalarAt(address, openFloats).toString(), QStringLiteral("200"));
            QCOMPARE(scalarAt(address, QStringLiteral("select count(*) from %1").arg(Floats::table)).toInt(), 1);
            QCOMPARE(scalarAt(copyOf(1), openFloats), QVariant());
            if (send == 1) {
                // As if the send were cut off after the server's commit: the copy still has it all.
                execAt(copyOf(1), Statement{QStringLiteral("insert into %1 (%2, %3, %4) values (?, 1, '2026-12-08 10:00:00')")
                                                .arg(Held::table, Held::key, Held::till, Held::heldAt),
                                            {parked}, {}, {}});
                execAt(copyOf(1), Statements::addHeldLine(parked, QStringLiteral("6901"), QStringLiteral("商品0"), 2, 1.25, 2.5));
                execAt(copyOf(1), Statements::addHeldLine(parked, QStringLiteral("6902"), QStringLiteral("商品1"), 1, 2.25, 2.25));
                execAt(copyOf(1), Statements::recordCashFloat(1, QStringLiteral("2026-12-08 08:00:00"), QStringLiteral("200")));
            }
        }
    }

    // Senders killed at random moments while sending; meanwhile the server
    // changed a price and deleted a product. Every sale once, as it was sold.
    void senderKilledWhileSending()
    {
        server->kill();
        const QString rang = rangBy(startTill({QStringLiteral("sell"), address, QStringLiteral("1"), copyOf(1),
                                               QString::number(2 * kSales)}));
        QVERIFY(!rang.isEmpty());
        QCOMPARE(LocalCopy::waitingCount(copyOf(1)), 2 * kSales);
        server->restart();
        execAt(address, Statement{withNames("update {Catalogue} set {price} = 99 where {code} = '6902'"), {}, {}, {}});
        execAt(address, Statement{withNames("delete from {Catalogue} where {code} = '6903'"), {}, {}, {}});

        constexpr int kKills = 20;
        int cutShort = 0;   // kills that left part of the outbox sent
        for (int kill = 0; kill < kKills; ++kill) {
            const int before = LocalCopy::waitingCount(copyOf(1));
            QProcess sender;
            sender.start(QStringLiteral(OFFLINE_TILL), {QStringLiteral("send"), address, QStringLiteral("1"), copyOf(1)});
            QVERIFY(sender.waitForStarted());
            // Killed once it has sent a few: between any two steps of a send.
            const int target = before - 1 - QRandomGenerator::global()->bounded(0, 3);
            const QDeadlineTimer deadline(20000);
            while (!sender.waitForFinished(QRandomGenerator::global()->bounded(1, 4)) && !deadline.hasExpired()
                   && LocalCopy::waitingCount(copyOf(1)) > target) {
            }
            sender.kill();   // SIGKILL
            sender.waitForFinished();
            const int after = LocalCopy::waitingCount(copyOf(1));
            cutShort += after > 0 && after < before;
        }
        qInfo("%d of %d kills cut a send short", cutShort, kKills);
        QCOMPARE(send(1), 0);
        QCOMPARE(LocalCopy::waitingCount(copyOf(1)), 0);
        checkRecorded(2 * kSales, rang.toDouble());
        // Sold at the old price, the deleted product's lines kept as sold.
        QCOMPARE(scalarAt(address, withNames("select count(*) from {SalesRecord} where {code} = '6902' and {price} <> 2.25"))
                     .toInt(),
                 0);
        QVERIFY(scalarAt(address, withNames("select count(*) from {SalesRecord} where {code} = '6903'")).toInt() > 0);
        // The copy takes the new price when it hears of it.
        LocalCopy::refresh(address, copyOf(1));
        QCOMPARE(scalarAt(copyOf(1), withNames("select {price} from {Catalogue} where {code} = '6902'")).toDouble(), 99.0);
        QCOMPARE(scalarAt(copyOf(1), withNames("select count(*) from {Catalogue} where {code} = '6903'")).toInt(), 0);
        QVERIFY(!LocalCopy::lastSynchronised(copyOf(1)).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestOfflineTills)
#include "tst_offlinetills.moc"
