// Several tills on one PostgreSQL server, beside one till on a data file:
// 100,000 products; each till a process of its own ringing up 250 sales of
// five scans and completing each. Per till: the time from a scan to its line
// stored (lookup and line), the time of a completion (recording, a receipt
// laid out and handed to a printer that keeps nothing, the open sale emptied),
// and sales a second. Then how soon a product saved at one till reaches
// another till's product list, how long a till waits on a server that is
// not there or hangs, a till that goes on on its own copy when the server
// stops (and how fast its outbox is sent afterwards), and completions on a server that holds 1,000,000
// recorded lines.
//
//     bench_tills [SERVER] [PRODUCTS] [SALES]
//
// SERVER: the address of a PostgreSQL server where a database may be made
// (postgresql://USER@HOST:PORT/postgres); without one a throw-away server is
// started with scripts/pg-test-env.sh, as the tests do, but flushing every
// commit to disk as a shop's server does (the data file does too).
#include "benchsupport.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/localcopy.h"
#include "storage/statements.h"
#include "storage/tables.h"
#include "receipt/receiptsink.h"
#include "till/till.h"
#include "windows/productnamesmodel.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlError>
#include <QTcpServer>
#include <QTimer>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>

namespace {

class NoPaper final : public ReceiptSink
{
public:
    void print(const QList<ReceiptLine> &) override {}
};

// One till: rings up its sales and prints its figures on one line:
// "scan-p50 scan-p99 completion-p50 completion-p99 seconds" in milliseconds.
int runTill(const QString &address, int tillNumber, int products, int sales)
{
    Database db;
    db.setTill(tillNumber);
    db.open(address);
    Till till(db);
    till.reopenSale();
    NoPaper paper;
    QRandomGenerator random(quint32(20261207 + tillNumber));
    QList<double> scans;
    QList<double> completions;
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    QElapsedTimer all;
    all.start();
    for (int sale = 0; sale < sales; ++sale) {
        for (int scan = 0; scan < 5; ++scan) {
            QElapsedTimer t;
            t.start();
            const std::optional<Product> found = till.lookUp(Bench::productCode(int(random.bounded(products))));
            if (!found)
                return 3;
            till.addLine(found->name, QStringLiteral("1"), found->price);
            scans << double(t.nsecsElapsed()) / 1e6;
        }
        QElapsedTimer t;
        t.start();
        till.complete({till.nextReceiptNumber(), today, QStringLiteral("收银员%1").arg(tillNumber), QString(), QString(), {}},
                      paper, 1);
        completions << double(t.nsecsElapsed()) / 1e6;
    }
    const double seconds = double(all.nsecsElapsed()) / 1e9;
    std::printf("%.3f %.3f %.3f %.3f %.3f\n", Bench::median(scans), Bench::percentile(scans, 0.99),
                Bench::median(completions), Bench::percentile(completions, 0.99), seconds);
    return 0;
}

struct Figures
{
    double scanMedian = 0, scanP99 = 0, completionMedian = 0, completionP99 = 0, seconds = 0;
};

// Runs the tills as processes of their own, all at once.
QList<Figures> runTills(const QString &address, int tills, int products, int sales)
{
    QList<QProcess *> running;
    for (int n = 1; n <= tills; ++n) {
        auto *process = new QProcess;
        process->start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--till"), address, QString::number(n), QString::number(products),
                        QString::number(sales)});
        running << process;
    }
    QList<Figures> figures;
    for (QProcess *process : running) {
        process->waitForFinished(-1);
        const QStringList v = QString::fromUtf8(process->readAllStandardOutput()).simplified().split(QLatin1Char(' '));
        if (process->exitCode() != 0 || v.size() < 5) {
            std::fprintf(stderr, "a till failed: %s\n", process->readAllStandardError().constData());
            std::exit(1);
        }
        figures << Figures{v[0].toDouble(), v[1].toDouble(), v[2].toDouble(), v[3].toDouble(), v[4].toDouble()};
        delete process;
    }
    return figures;
}

void fill(const QString &address, int products)
{
    Database db;
    db.open(address);
    Transaction transaction(db);
    for (int i = 0; i < products; ++i)
        db.execute(Statements::insertProduct(Bench::productCode(i), Bench::productName(i), Bench::productPrice(i)));
    transaction.commit();
}

void printRows(const QString &where, const QList<Figures> &figures, int sales)
{
    double slowest = 0;
    for (int i = 0; i < figures.size(); ++i) {
        const Figures &f = figures[i];
        slowest = std::max(slowest, f.seconds);
        std::printf("| %s, till %d of %lld | %.2f | %.2f | %.2f | %.2f | %.0f |\n", qPrintable(where), i + 1,
                    qlonglong(figures.size()), f.scanMedian, f.scanP99, f.completionMedian, f.completionP99,
                    sales / f.seconds);
    }
    std::printf("| %s, all together | | | | | %.0f sales/s, %.0f scans/s |\n", qPrintable(where),
                figures.size() * sales / slowest, figures.size() * sales * 5 / slowest);
}

// A product saved at one till until the other till has heard of it and read
// its product names again (the cashier screen adds a pause of 0.3 s so that
// a burst of saves is read once).
void catalogueReach(const QString &address, int products)
{
    Database listening;
    listening.setTill(2);
    listening.open(address);
    listening.watchCatalogue();
    ProductNamesModel otherNames(listening);
    Database saving;
    saving.open(address);
    QList<double> heard;
    QList<double> listed;
    for (int i = 0; i < 20; ++i) {
        QEventLoop loop;
        QObject::connect(&listening, &Database::catalogueChanged, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        saving.execute(Statements::insertProduct(Bench::productCode(products + i),
                                                 QStringLiteral("新商品%1").arg(i), 2.5));
        loop.exec();
        heard << double(t.nsecsElapsed()) / 1e6;
        otherNames.reload();   // the product box's list, read again as the cashier screen does
        const int names = otherNames.rowCount();
        listed << double(t.nsecsElapsed()) / 1e6;
        if (names < std::min(products, int(ProductNamesModel::kPage))) {
            std::fprintf(stderr, "the other till read %d names\n", names);
            std::exit(1);
        }
    }
    std::printf("\nA product saved at one till, at another till (ms, 20 saves): heard p50 %.1f, max %.1f; "
                "product names read again p50 %.1f, max %.1f\n",
                Bench::median(heard), Bench::percentile(heard, 1.0), Bench::median(listed),
                Bench::percentile(listed, 1.0));
}

// The wait of a till whose server does not answer: a port nobody listens
// on (refused at once), and a server that takes the connection and never
// says a word (the connect timeout).
void unreachableWait()
{
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 refusing = closed.serverPort();
    closed.close();
    QTcpServer silent;   // connections wait in its backlog, never answered
    silent.listen(QHostAddress::LocalHost);
    const QList<std::pair<const char *, quint16>> cases = {{"a port nobody listens on", refusing},
                                                           {"a server that never answers", silent.serverPort()}};
    for (const auto &[what, port] : cases) {
        Database db;
        QElapsedTimer t;
        t.start();
        bool opened = true;
        try {
            db.open(QStringLiteral("postgresql://fenwo@127.0.0.1:%1/shop").arg(port));
        } catch (const AppError &) {
            opened = false;
        }
        std::printf("Opening the database on %s: %s after %.0f ms\n", what, opened ? "connected" : "given up",
                    double(t.nsecsElapsed()) / 1e6);
    }
}

// A record of a shop that has sold for years: lines of past days, five to
// a receipt, written on the server in one statement.
void recordPastLines(const QString &server, const QString &databaseName, int lines)
{
    namespace Record = Tables::SalesRecord;
    QUrl url(server);
    url.setPath(QLatin1Char('/') + databaseName);
    const QString sql =
        QStringLiteral("insert into %1 (%2, %3, %4, %5, %6, %7, %8, %9, %10, %11) "
                       "select '69' || (g %% 1000), '旧商品', 1, 2.5, 2.5, "
                       "to_char(timestamp '2024-01-01' + (g / 5) * interval '1 second', 'YYMMDDHH24MISS'), '收银员1', "
                       "to_char(timestamp '2024-01-01' + (g / 5) * interval '1 second', 'YYYY-MM-DD'), "
                       "to_char(timestamp '2024-01-01' + (g / 5) * interval '1 second', 'HH24:MI'), 1 "
                       "from generate_series(0, %12) as g")
            .arg(Record::table, Record::code, Record::name, Record::quantity, Record::price, Record::amount,
                 Record::receiptNumber, Record::cashier, Record::date, Record::time)
            .arg(Record::till)
            .arg(lines - 1)
            .replace(QStringLiteral("%%"), QStringLiteral("%"));
    QProcess::execute(QStringLiteral("psql"), {url.toString(), QStringLiteral("-qc"), sql});
    QProcess::execute(QStringLiteral("psql"), {url.toString(), QStringLiteral("-qc"), QStringLiteral("analyze")});
}

// The processes of the server the benchmark started: the postmaster and its children.
QList<qint64> serverProcesses(const QString &cluster)
{
    QFile pidFile(QDir(cluster).filePath(QStringLiteral("data/postmaster.pid")));
    if (!pidFile.open(QIODevice::ReadOnly))
        return {};
    const qint64 postmaster = pidFile.readLine().trimmed().toLongLong();
    QList<qint64> processes{postmaster};
    QProcess children;
    children.start(QStringLiteral("ps"), {QStringLiteral("-o"), QStringLiteral("pid="), QStringLiteral("--ppid"),
                                          QString::number(postmaster)});
    children.waitForFinished(-1);
    for (const QByteArray &pid : children.readAllStandardOutput().split('\n'))
        if (!pid.trimmed().isEmpty())
            processes << pid.trimmed().toLongLong();
    return processes;
}

// A till scanning while its server hangs (every process stopped): how long
// the scan waits before the till says the server does not answer.
void hungServerWait(const QString &address, const QString &cluster)
{
    Database db;
    db.open(address);
    Till till(db);
    till.reopenSale();
    const QList<qint64> processes = serverProcesses(cluster);
    for (const qint64 pid : processes)
        QProcess::execute(QStringLiteral("kill"), {QStringLiteral("-STOP"), QString::number(pid)});
    QElapsedTimer t;
    t.start();
    QString outcome = QStringLiteral("answered");
    try {
        till.lookUp(Bench::productCode(1));
    } catch (const ConnectionLost &) {
        outcome = QStringLiteral("told the server does not answer");
    } catch (const AppError &e) {
        outcome = e.message();
    }
    const double waited = double(t.nsecsElapsed()) / 1e6;
    for (const qint64 pid : processes)
        QProcess::execute(QStringLiteral("kill"), {QStringLiteral("-CONT"), QString::number(pid)});
    std::printf("A scan while the server hangs (SIGSTOP): %s after %.0f ms\n", qPrintable(outcome), waited);
}

// A till on its own copy: the server stopped (refused) in the middle of a
// run of sales, the scans at the switch and after it, then the outbox sent
// once the server is back.
void offlineSwitch(const QString &address, const QString &cluster, const QString &copy, int products)
{
    constexpr int kOnline = 20;
    constexpr int kOffline = 1000;
    LocalCopy::refresh(address, copy);
    Database db;
    db.setTill(7);
    db.setLocalCopy(copy);
    db.open(address);
    Till till(db);
    till.reopenSale();
    NoPaper paper;
    QRandomGenerator random(20261208);
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    QList<double> scans;
    double atSwitch = 0;
    for (int sale = 0; sale < kOnline + kOffline; ++sale) {
        for (int scan = 0; scan < 5; ++scan) {
            const bool switching = sale == kOnline && scan == 2;
            if (switching)
                QProcess::execute(QStringLiteral("bash"), {QStringLiteral(FENWO_PG_TEST_ENV), QStringLiteral("kill"), cluster});
            QElapsedTimer t;
            t.start();
            const std::optional<Product> found = till.lookUp(Bench::productCode(int(random.bounded(products))));
            if (found)
                till.addLine(found->name, QStringLiteral("1"), found->price);
            const double ms = double(t.nsecsElapsed()) / 1e6;
            (switching ? atSwitch : scans.emplace_back()) = ms;
        }
        till.complete({till.nextReceiptNumber(), today, QStringLiteral("收银员7"), QString(), QString(), {}}, paper, 1);
    }
    std::printf("\nServer stopped in the middle of a sale (till on its own copy): the scan at the switch %.1f ms; "
                "scans p50 %.3f ms, p99 %.3f ms\n",
                atSwitch, Bench::median(scans), Bench::percentile(scans, 0.99));
    QProcess::execute(QStringLiteral("bash"), {QStringLiteral(FENWO_PG_TEST_ENV), QStringLiteral("restart"), cluster});
    QElapsedTimer t;
    t.start();
    const int sent = LocalCopy::sendWaiting(address, copy, 7);
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    std::printf("Outbox of %d offline sales sent in %.2f s: %.0f sales/s\n", sent, seconds, sent / seconds);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("--till"))
        return runTill(args.value(2), args.value(3).toInt(), args.value(4).toInt(), args.value(5).toInt());

    QString server = args.value(1);
    const int products = args.size() > 2 ? args.value(2).toInt() : 100000;
    const int sales = args.size() > 3 ? args.value(3).toInt() : 250;
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther | QFile::ReadOther);
    const QString cluster = QDir(dir.path()).filePath(QStringLiteral("server"));
    const QString script = QStringLiteral(FENWO_PG_TEST_ENV);
    if (server.isEmpty()) {
        // Durable, as a shop's server is: every commit flushed to disk.
        QProcess start;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("FENWO_PG_DURABLE"), QStringLiteral("1"));
        start.setProcessEnvironment(environment);
        start.start(QStringLiteral("bash"), {script, QStringLiteral("start"), cluster});
        start.waitForFinished(-1);
        server = QString::fromUtf8(start.readAllStandardOutput()).trimmed();
        if (start.exitCode() != 0) {
            std::fprintf(stderr, "no PostgreSQL server: %s\n", start.readAllStandardError().constData());
            return 1;
        }
    }

    // The database on the server, made and filled as a shop would.
    QUrl url(server);
    const QString name = QStringLiteral("bench_tills_%1").arg(QCoreApplication::applicationPid());
    QProcess::execute(QStringLiteral("psql"), {server, QStringLiteral("-qc"), QStringLiteral("CREATE DATABASE %1").arg(name)});
    url.setPath(QLatin1Char('/') + name);
    const QString shared = url.toString();
    Database::create(shared);
    fill(shared, products);
    const QString file = dir.filePath(QStringLiteral("data.db"));
    Database::createFile(file);
    fill(file, products);

    std::printf("%d products; each till %d sales of 5 scans; times in ms\n\n", products, sales);
    std::printf("| Where | scan p50 | scan p99 | completion p50 | completion p99 | sales/s |\n");
    std::printf("|---|---|---|---|---|---|\n");
    printRows(QStringLiteral("data file (SQLite)"), runTills(file, 1, products, sales), sales);
    printRows(QStringLiteral("server (PostgreSQL)"), runTills(shared, 1, products, sales), sales);
    printRows(QStringLiteral("server (PostgreSQL)"), runTills(shared, 4, products, sales), sales);
    catalogueReach(shared, products);
    unreachableWait();

    // Completion does not slow down as the record grows.
    constexpr int kRecorded = 1000000;
    recordPastLines(server, name, kRecorded);
    std::printf("\nWith %d lines recorded on the server:\n\n", kRecorded);
    std::printf("| Where | scan p50 | scan p99 | completion p50 | completion p99 | sales/s |\n");
    std::printf("|---|---|---|---|---|---|\n");
    printRows(QStringLiteral("server (PostgreSQL), 1M lines"), runTills(shared, 1, products, sales), sales);
    if (args.value(1).isEmpty()) {
        hungServerWait(shared, cluster);
        offlineSwitch(shared, cluster, dir.filePath(QStringLiteral("till-7.db")), products);
    }

    QProcess::execute(QStringLiteral("psql"), {server, QStringLiteral("-qc"), QStringLiteral("DROP DATABASE %1").arg(name)});
    if (!args.value(1).isEmpty())
        return 0;
    QProcess::execute(QStringLiteral("bash"), {script, QStringLiteral("stop"), cluster});
    return 0;
}
