// The cashier screen on a database server that goes away: at start, in the
// middle of a sale, while a completion commits and while its receipt prints.
// The server is one of the test's own, stopped as a crash would stop it
// (pg_ctl -m immediate) and started again.
#include "cashierfixture.h"
#include "fenwotestmain.h"
#include "forwardingsurface.h"
#include "privateserver.h"
#include "typing.h"
#include "withnames.h"

#include "storage/copykeeper.h"
#include "storage/serverwatch.h"
#include "storage/tables.h"
#include "receipt/pdfprintsurface.h"
#include "receipt/receiptprinter.h"
#include "widgets/datagrid.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QDir>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdlib>
#include <thread>

namespace {

// A PDF printer that pulls the server away while its first job is printed.
class ServerKillingPrinter final : public ForwardingSurface
{
public:
    ServerKillingPrinter(const QString &folder, PrivateServer &server)
        : ForwardingSurface(std::make_unique<PdfPrintSurface>(folder, 80))
        , m_server(server)
    {
    }
    void endJob() override
    {
        ForwardingSurface::endJob();
        if (!m_killed) {
            m_killed = true;
            m_server.kill();
        }
    }

private:
    PrivateServer &m_server;
    bool m_killed = false;
};

} // namespace

class TestServerFaults : public QObject
{
    Q_OBJECT

    std::unique_ptr<PrivateServer> server;
    QString address;
    std::unique_ptr<CashierFixture> f;
    CashierWindow *w = nullptr;
    QTemporaryDir out;

    // Plain SQL on a connection of the test's own, made afresh each time:
    // the server may have been restarted since.
    // connection: its name, one of each thread's own.
    QVariant scalar(const QString &sql, const QString &on = {}, const QString &connection = QStringLiteral("check"))
    {
        const DatabaseAddress where = DatabaseAddress::parse(on.isEmpty() ? address : on);
        QVariant value;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
            db.setHostName(where.host());
            db.setPort(where.port());
            db.setDatabaseName(where.databaseName());
            db.setUserName(where.user());
            if (!db.open())
                qFatal("check connection: %s", qPrintable(db.lastError().text()));
            QSqlQuery q(db);
            if (!q.exec(sql))
                qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
            if (q.next())
                value = q.value(0);
        }
        QSqlDatabase::removeDatabase(connection);
        return value;
    }
    int count(const QString &table) { return scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt(); }

    int pdfs() { return int(QDir(out.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files).size()); }

    void scan(const QString &code)
    {
        typeText(w->productBox(), code);
        QTest::keyClick(w->productBox(), Qt::Key_Return);
    }

    void openWindow(std::unique_ptr<ReceiptPrinter> printer = {})
    {
        w = f->open(address, printer ? std::move(printer) : ReceiptPrinter::create(QStringLiteral("pdf:") + out.path()));
        w->serverWatch()->setInterval(300);
    }

    void waitForReconnection()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!w->serverWatch()->isWaiting(), 20000);
        QVERIFY(w->connectionLabel()->isHidden());
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
        f = std::make_unique<CashierFixture>();
        scalar(withNames("insert into {Catalogue} ({code}, {name}, {price}) values ('6901', '康师傅红烧牛肉面', 4.5), "
                              "('6902', '可口可乐', 9.6)"));
        QDir(out.path()).removeRecursively();
        QDir().mkpath(out.path());
    }

    void cleanup()
    {
        f.reset();
        server->restart();   // started again where a test left it stopped
        scalar(QStringLiteral("ALTER SYSTEM RESET synchronous_standby_names"), server->adminAddress());
        scalar(QStringLiteral("select pg_reload_conf()"), server->adminAddress());
    }

    void theWindowOpensWhileTheServerIsDownAndSellsOnceItIsBack()
    {
        server->kill();
        openWindow();   // the wait on a silent server: bench_tills
        QCOMPARE(f->boxes->count(), 1);
        QVERIFY2(f->boxes->lastText().contains(server->serverName()), qPrintable(f->boxes->lastText()));
        QVERIFY(w->connectionLabel()->isVisible());
        QVERIFY(w->connectionLabel()->text().contains(server->serverName()));

        // Selling waits for the server, and says so.
        scan(QStringLiteral("6901"));
        QCOMPARE(f->boxes->count(), 2);
        QVERIFY2(f->boxes->lastText().contains(server->serverName()), qPrintable(f->boxes->lastText()));

        server->restart();
        waitForReconnection();
        QCOMPARE(w->productBox()->items().size(), 2);
        // The refused scan's code is still selected: the next scan replaces it.
        scan(QStringLiteral("6901"));
        QCOMPARE(count(Tables::OpenSale::table), 1);
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("4.5"));
    }

    // A till with a copy of its own sells on through a lost server, says so
    // on the screen with the sales waiting, and sends them when it is back.
    void withItsOwnCopyTheTillSellsOnWhileTheServerIsAway()
    {
        QTemporaryDir copies;
        f->localCopy = copies.filePath(QStringLiteral("till-1.db"));
        openWindow();
        QTRY_VERIFY_WITH_TIMEOUT(!f->session->copyKeeper().lastSynchronised().isEmpty(), 20000);
        scan(QStringLiteral("6901"));

        server->kill();
        // A scan that met the loss is refused once; the cashier scans again.
        for (int tries = 0; tries < 2 && w->saleGrid()->model()->rowCount() < 2; ++tries)
            scan(QStringLiteral("6902"));
        QCOMPARE(w->saleGrid()->model()->rowCount(), 2);
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("14.1"));
        // Never "连上以后才能收银": the till sells on.
        QTRY_VERIFY(w->connectionLabel()->isVisible());
        QVERIFY2(w->connectionLabel()->text().startsWith(QStringLiteral("  离线：")), qPrintable(w->connectionLabel()->text()));

        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(pdfs(), 1);
        QTRY_VERIFY2(w->connectionLabel()->text().contains(QStringLiteral("，1 单等待上传")),
                     qPrintable(w->connectionLabel()->text()));

        server->restart();
        QTRY_COMPARE_WITH_TIMEOUT(count(Tables::SalesRecord::table), 2, 30000);
        QCOMPARE(scalar(withNames("select count(*) from {SalesRecord} where {receiptNumber} like '%-1'")).toInt(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(w->connectionLabel()->isHidden(), 20000);
        QCOMPARE(f->session->copyKeeper().waitingSales(), 0);
    }

    void aServerLostInTheMiddleOfASaleKeepsTheStoredLines()
    {
        openWindow();
        scan(QStringLiteral("6901"));
        scan(QStringLiteral("6902"));
        QCOMPARE(count(Tables::OpenSale::table), 2);

        server->kill();
        scan(QStringLiteral("6902"));
        QCOMPARE(f->boxes->count(), 1);
        QVERIFY2(f->boxes->lastText().contains(server->serverName()), qPrintable(f->boxes->lastText()));
        QTRY_VERIFY(w->connectionLabel()->isVisible());

        server->restart();
        waitForReconnection();
        QCOMPARE(count(Tables::OpenSale::table), 2);
        QCOMPARE(w->saleGrid()->model()->rowCount(), 2);
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("14.1"));
        // Reconnected, the till hears of catalogue changes again.
        scalar(withNames("insert into {Catalogue} ({code}, {name}, {price}) values ('6903', '雪碧', 3)"));
        QTRY_VERIFY_WITH_TIMEOUT(w->productBox()->items().contains(QStringLiteral("雪碧")), 10000);

        scan(QStringLiteral("6902"));
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(count(Tables::SalesRecord::table), 3);
        QCOMPARE(scalar(withNames("select count(distinct {receiptNumber}) from {SalesRecord}")).toInt(), 1);
        QCOMPARE(count(Tables::OpenSale::table), 0);
        QCOMPARE(pdfs(), 1);
    }

    void aCompletionWhoseCommitWasNotAnsweredIsRecordedOnce()
    {
        openWindow();
        scan(QStringLiteral("6901"));
        scan(QStringLiteral("6902"));
        // The commit is written on the server but waits for a standby that
        // never answers; the server dies while the till waits for the answer.
        scalar(QStringLiteral("ALTER SYSTEM SET synchronous_standby_names = 'nobody'"), server->adminAddress());
        scalar(QStringLiteral("select pg_reload_conf()"), server->adminAddress());
        // Every server process has the setting once a new one shows it.
        QTRY_COMPARE(scalar(QStringLiteral("show synchronous_standby_names"), server->adminAddress()).toString(),
                     QStringLiteral("nobody"));
        // The server dies once the till's commit waits for the standby's answer.
        const QByteArray kill = server->killCommand();
        const QString admin = server->adminAddress();
        std::thread killer([this, kill, admin] {
            const QString waiting =
                QStringLiteral("select count(*) from pg_stat_activity where wait_event = 'SyncRep'");
            const QDeadlineTimer deadline(30000);
            while (scalar(waiting, admin, QStringLiteral("killer")).toInt() == 0 && !deadline.hasExpired())
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            std::system(kill.constData());
        });
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        killer.join();
        QCOMPARE(f->boxes->count(), 1);
        QVERIFY2(f->boxes->lastText().contains(server->serverName()), qPrintable(f->boxes->lastText()));
        QCOMPARE(pdfs(), 0);

        server->restart();
        scalar(QStringLiteral("ALTER SYSTEM RESET synchronous_standby_names"), server->adminAddress());
        scalar(QStringLiteral("select pg_reload_conf()"), server->adminAddress());
        // The commit had reached the disk: the sale is recorded, its receipt not out.
        QCOMPARE(count(Tables::SalesRecord::table), 2);
        waitForReconnection();
        QTRY_COMPARE(f->boxes->count(), 2);   // the cashier is told to complete the sale again
        QCOMPARE(w->saleGrid()->model()->rowCount(), 2);

        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 2);
        QCOMPARE(count(Tables::SalesRecord::table), 2);
        QCOMPARE(scalar(withNames("select count(distinct {receiptNumber}) from {SalesRecord}")).toInt(), 1);
        QCOMPARE(count(Tables::ReceiptNumbers::table), 1);
        QCOMPARE(count(Tables::AwaitingPrint::table), 0);
        QCOMPARE(count(Tables::OpenSale::table), 0);
        QCOMPARE(pdfs(), 1);
    }

    // Another till holding a lock for longer than the first limit is a busy
    // server, not a hung one: the scan waits for it and is stored, with no
    // message and no reconnection.
    void aLockHeldByAnotherTillIsWaitedFor()
    {
        openWindow();
        std::thread holder([this] {
            scalar(withNames("do $$ begin lock table {OpenSale} in access exclusive mode; perform pg_sleep(4); end $$"),
                   {}, QStringLiteral("holder"));
        });
        const auto joined = qScopeGuard([&holder] { holder.join(); });
        QTRY_COMPARE(scalar(withNames("select count(*) from pg_locks where mode = 'AccessExclusiveLock' "
                                      "and relation = '{OpenSale}'::regclass"))
                         .toInt(),
                     1);
        scan(QStringLiteral("6901"));
        QCOMPARE(f->boxes->count(), 0);
        QCOMPARE(w->saleGrid()->model()->rowCount(), 1);
        QCOMPARE(count(Tables::OpenSale::table), 1);
    }

    // A server that hangs (every process stopped) while the cashier scans and
    // completes: the window answers within the limit and says why; once the
    // server goes on, the sale is completed with nothing lost or doubled.
    void aHungServerFreezesTheWindowNoLongerThanTheLimit()
    {
        openWindow();
        scan(QStringLiteral("6901"));
        QCOMPARE(w->saleGrid()->model()->rowCount(), 1);
        server->pause();
        const auto resumed = qScopeGuard([this] { server->resume(); });
        QElapsedTimer waited;
        waited.start();
        scan(QStringLiteral("6902"));
        QVERIFY2(waited.elapsed() < 4500, qPrintable(QString::number(waited.elapsed())));
        QCOMPARE(f->boxes->count(), 1);
        QVERIFY2(f->boxes->lastText().contains(QStringLiteral("没有回应")), qPrintable(f->boxes->lastText()));
        waited.restart();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QVERIFY2(waited.elapsed() < 4500, qPrintable(QString::number(waited.elapsed())));
        QCOMPARE(pdfs(), 0);

        server->resume();
        waitForReconnection();
        // The scan that met the hang may or may not have been stored: the
        // sale on the screen is the one on the server.
        const int lines = w->saleGrid()->model()->rowCount();
        QCOMPARE(lines, count(Tables::OpenSale::table));
        QVERIFY(lines >= 1);
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(pdfs(), 1);
        QCOMPARE(count(Tables::SalesRecord::table), lines);
        QCOMPARE(count(Tables::ReceiptNumbers::table), 1);
        QCOMPARE(count(Tables::OpenSale::table), 0);
    }

    // The server ends the till's connection (a fast restart, an administrator):
    // a lost connection, reconnected at once, not an error of the sale.
    void aConnectionEndedByTheServerIsReconnected()
    {
        openWindow();
        scan(QStringLiteral("6901"));
        scalar(QStringLiteral("select pg_terminate_backend(pid) from pg_stat_activity where application_name = 'fenwo' "
                              "and datname = '%1'")
                   .arg(DatabaseAddress::parse(address).databaseName()),
               server->adminAddress());
        scan(QStringLiteral("6902"));
        QCOMPARE(f->boxes->count(), 1);
        QVERIFY2(f->boxes->lastText().contains(QStringLiteral("连接断了")), qPrintable(f->boxes->lastText()));
        waitForReconnection();
        scan(QStringLiteral("6902"));
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(count(Tables::OpenSale::table), 2);
    }

    void aServerLostWhileTheReceiptPrintsIsNeverPrintedTwice()
    {
        openWindow(std::make_unique<ReceiptPrinter>(std::make_unique<ServerKillingPrinter>(out.path(), *server)));
        scan(QStringLiteral("6901"));
        scan(QStringLiteral("6902"));
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        // Printed and recorded; only emptying the sale is left.
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(pdfs(), 1);

        server->restart();
        waitForReconnection();
        QCOMPARE(count(Tables::SalesRecord::table), 2);
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(pdfs(), 1);
        QCOMPARE(count(Tables::SalesRecord::table), 2);
        QCOMPARE(count(Tables::AwaitingPrint::table), 0);
        QCOMPARE(count(Tables::OpenSale::table), 0);
        QCOMPARE(w->saleGrid()->model()->rowCount(), 0);
    }
};

FENWO_TEST_MAIN(TestServerFaults)
#include "tst_serverfaults.moc"
