#include "programrun.h"
#include "testdatabase.h"
#include "withnames.h"

#include "storage/database.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>

namespace {

ProgramRun fenwo(const QStringList &arguments)
{
    return runProgram(QStringLiteral(FENWO_PROGRAM), arguments, 180000);
}

// What the sqlite3 program says about a file.
QString sqlite(const QString &path, const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), path, sql});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        qFatal("sqlite3 %s: %s", qPrintable(sql), p.readAllStandardError().constData());
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString shopFile(const QString &folder, const QString &sql = {})
{
    const QString path = QDir(folder).filePath(QStringLiteral("data.db"));
    Database::createFile(path);
    if (!sql.isEmpty())
        sqlite(path, sql);
    return path;
}

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

qint64 sizeOf(const QString &path)
{
    return QFileInfo(path).size();
}

// Starts the program and kills it (SIGKILL, nothing runs after it) once
// `midway` holds; false when it ended before that.
bool killMidway(QProcess &process, const QStringList &arguments, const std::function<bool()> &midway)
{
    process.start(QStringLiteral(FENWO_PROGRAM), arguments);
    if (!process.waitForStarted())
        return false;
    QElapsedTimer clock;
    clock.start();
    while (process.state() == QProcess::Running && !midway() && clock.elapsed() < 60000)
        QThread::usleep(500);
    if (process.state() != QProcess::Running)
        return false;
    process.kill();
    process.waitForFinished();
    return true;
}

} // namespace

class TestDataCommands : public QObject
{
    Q_OBJECT

private slots:
    void importSaysWhatItDidAndExitsAccordingly()
    {
        QTemporaryDir dir;
        const QString data = shopFile(dir.path());
        const QString good = writeFile(dir.filePath(QStringLiteral("good.csv")),
                                       QStringLiteral("条码,名称,售价\n6901,可乐,3\n6902,雪碧,2.5\n").toUtf8());
        ProgramRun run = fenwo({QStringLiteral("--import-products"), good, QStringLiteral("--database"), data});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(QStringLiteral("新增 2 个商品")), qPrintable(run.out));
        QVERIFY2(run.out.contains(QStringLiteral("UTF-8, separator 逗号")), qPrintable(run.out));

        // Bad rows: the rest is written, each bad row is named, and the exit code says so.
        const QString mixed = writeFile(dir.filePath(QStringLiteral("mixed.csv")),
                                        QStringLiteral("6901,可乐,3.5\n6903,,1\n6904,瓜子,2\n").toUtf8());
        const QString report = dir.filePath(QStringLiteral("report.csv"));
        run = fenwo({QStringLiteral("--import-products"), mixed, QStringLiteral("--database"), data,
                     QStringLiteral("--existing"), QStringLiteral("skip"), QStringLiteral("--bad-rows"), report});
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(run.err.contains(QStringLiteral("line 2: 品名为空")), qPrintable(run.err));
        QVERIFY(QFile::exists(report));
        QCOMPARE(sqlite(data, withNames("select group_concat({code} || '=' || {price}, ' ') from "
                                             "(select * from {Catalogue} order by {code})")),
                 QStringLiteral("6901=3.0 6902=2.5 6904=2.0"));

        // Not a list at all, or a wrong choice: nothing written.
        QByteArray binary(2048, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i * 31);
        run = fenwo({QStringLiteral("--import-products"), writeFile(dir.filePath(QStringLiteral("x.bin")), binary),
                     QStringLiteral("--database"), data});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("不是文本")), qPrintable(run.err));
        run = fenwo({QStringLiteral("--import-products"), good, QStringLiteral("--database"), data,
                     QStringLiteral("--existing"), QStringLiteral("replace")});
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(sqlite(data, withNames("select count(*) from {Catalogue}")), QStringLiteral("3"));

        // Exports: written, or refused for a date that is none.
        const QString exported = dir.filePath(QStringLiteral("out.csv"));
        run = fenwo({QStringLiteral("--export-products"), exported, QStringLiteral("--database"), data});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(QStringLiteral("wrote 3 products")), qPrintable(run.out));
        QCOMPARE(fenwo({QStringLiteral("--export-sales"), exported, QStringLiteral("--from"),
                        QStringLiteral("2026-13-01"), QStringLiteral("--database"), data}).exitCode,
                 1);
    }

    // The import is one transaction: killed part-way, the catalogue is as it was.
    void aKilledImportLeavesTheCatalogueAsItWas()
    {
        QTemporaryDir dir;
        const QString data = shopFile(dir.path(), withNames("insert into {Catalogue} ({code}, {name}, {price}) values "
                                                                 "('6900000000001', '原有一', 1), ('A2', '原有二', 2)"));
        QByteArray list("编码,品名,单价\n");
        for (int i = 0; i < 100000; ++i)
            list += QByteArray::number(6900000000000LL + i) + ",导入的商品" + QByteArray::number(i) + ",9.9\n";
        const QString csv = writeFile(dir.filePath(QStringLiteral("list.csv")), list);

        QProcess import;
        QVERIFY(killMidway(import, {QStringLiteral("--import-products"), csv, QStringLiteral("--database"), data},
                           [&] { return sizeOf(data + QStringLiteral("-wal")) > 1024 * 1024; }));
        QVERIFY(!import.readAllStandardOutput().contains("新增"));
        QCOMPARE(sqlite(data, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        QCOMPARE(sqlite(data, withNames("select group_concat({code} || '|' || {name} || '|' || {price}, ';') from "
                                             "(select * from {Catalogue} order by {code})")),
                 QStringLiteral("6900000000001|原有一|1.0;A2|原有二|2.0"));

        // Run again to its end, it is all there.
        QCOMPARE(fenwo({QStringLiteral("--import-products"), csv, QStringLiteral("--database"), data}).exitCode, 0);
        QCOMPARE(sqlite(data, withNames("select count(*) from {Catalogue}")), QStringLiteral("100001"));
    }

    // Copies taken while another program sells hold whole sales only.
    void backupsTakenWhileSellingAreConsistent()
    {
        QTemporaryDir dir;
        const QString data = shopFile(dir.path(), withNames("insert into {Catalogue} ({code}, {name}, {price}) values "
                                                                 "('6901', '可乐', 3)"));
        QProcess writer;
        writer.start(QStringLiteral(SALE_WRITER), {data});
        QVERIFY(QTest::qWaitFor([&] { return writer.readAllStandardOutput().contains("sold 1"); }, 20000));

        const QString folder = dir.filePath(QStringLiteral("backups"));
        const QString recorded = withNames("select count(*) from {SalesRecord}");
        QStringList copies;
        for (int i = 0; i < 8; ++i) {
            const ProgramRun run = fenwo({QStringLiteral("--backup"), folder, QStringLiteral("--database"), data});
            QVERIFY2(run.exitCode == 0, qPrintable(run.err));
            copies << run.out.section(QStringLiteral("backed up to "), 1).trimmed();
            // The next copy is taken once another sale has been recorded since this one.
            const int copied = sqlite(copies.last(), recorded).toInt();
            QVERIFY(QTest::qWaitFor(
                [&] { return TestDatabase::rowsAt(data, recorded).value(0).value(0).toInt() > copied; }, 20000));
        }
        QVERIFY(writer.state() == QProcess::Running);
        writer.kill();
        writer.waitForFinished();

        int lastCount = -1;
        int differentStates = 0;
        for (const QString &copy : copies) {
            QVERIFY2(QFile::exists(copy), qPrintable(copy));
            QCOMPARE(sqlite(copy, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
            // Every receipt with all three of its lines, none with part of them.
            QCOMPARE(sqlite(copy, withNames("select count(*) from (select {receiptNumber} from {SalesRecord} "
                                                 "group by {receiptNumber} having count(*) <> 3)")),
                     QStringLiteral("0"));
            QVERIFY(sqlite(copy, withNames("select count(*) from {OpenSale}")).toInt() <= 3);
            const int count = sqlite(copy, recorded).toInt();
            QVERIFY(count >= lastCount);
            differentStates += count != lastCount;
            lastCount = count;
        }
        QVERIFY2(differentStates > 3, "the copies were not taken while sales were written");
    }

    // Killed at any moment, a restore leaves the old file whole; run again, it restores.
    void aKilledRestoreLeavesTheOldFileWhole()
    {
        QTemporaryDir dir;
        const QString data = shopFile(dir.path(), withNames("insert into {Catalogue} ({code}, {name}, {price}) values ('OLD', '旧', 1)"));
        QTemporaryDir source;
        const QString big = shopFile(source.path(), withNames(
            "insert into {Catalogue} ({code}, {name}, {price}) values ('NEW', '新', 1);"
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 200000) "
            "insert into {Catalogue} ({code}, {name}, {price}) select 'F' || i, hex(randomblob(60)), i from n;"));
        const QString restoring = data + QStringLiteral(".restoring");
        const QStringList arguments{QStringLiteral("--restore"), big, QStringLiteral("--database"), data};

        for (const qint64 written : {qint64(1), qint64(16) * 1024 * 1024}) {
            QProcess restore;
            QVERIFY(killMidway(restore, arguments, [&] { return sizeOf(restoring) >= written; }));
            QCOMPARE(sqlite(data, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
            QCOMPARE(sqlite(data, withNames("select group_concat({code}) from {Catalogue}")), QStringLiteral("OLD"));
        }

        const ProgramRun run = fenwo(arguments);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(!QFile::exists(restoring));
        QCOMPARE(sqlite(data, withNames("select count(*) from {Catalogue} where {code} in ('NEW', 'OLD')")),
                 QStringLiteral("1"));
        QCOMPARE(sqlite(data, withNames("select count(*) from {Catalogue}")), QStringLiteral("200001"));
        const QStringList aside = QDir(dir.filePath(QStringLiteral("backups")))
                                      .entryList({QStringLiteral("*-before-restore.db")}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QCOMPARE(sqlite(dir.filePath(QStringLiteral("backups/") + aside.first()),
                        withNames("select group_concat({code}) from {Catalogue}")),
                 QStringLiteral("OLD"));
    }
};

QTEST_GUILESS_MAIN(TestDataCommands)
#include "tst_datacommands.moc"
