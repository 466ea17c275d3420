#include "programrun.h"
#include "testdatabase.h"

#include "storage/tables.h"

#include <QDir>
#include <QProcess>
#include <QTest>

namespace {

ProgramRun fenwo(const QStringList &arguments)
{
    return runProgram(QStringLiteral(FENWO_PROGRAM), arguments, 60000);
}

} // namespace

// The work for scripts, run as the real program is run.
class TestHeadless : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> file;

private slots:
    void init()
    {
        file = std::make_unique<TestDatabase>();
        file->setSettings(QStringLiteral("小王"), QStringLiteral("好邻居"), QString());
        file->addRecordLine(QStringLiteral("261206091500"), QStringLiteral("小王"), QStringLiteral("2026-12-06"),
                            QStringLiteral("09:15"), QStringLiteral("可口可乐"), 2, 0.1);
        file->addRecordLine(QStringLiteral("261206091500"), QStringLiteral("小王"), QStringLiteral("2026-12-06"),
                            QStringLiteral("09:15"), QStringLiteral("面包"), 1, 0.2);
        file->addRecordLine(QStringLiteral("261207091500"), QStringLiteral("老李"), QStringLiteral("2026-12-07"),
                            QStringLiteral("09:15"), QStringLiteral("面包"), 1, 12.5);
    }
    void cleanup() { file.reset(); }

    void aReportIsPrintedAsText()
    {
        ProgramRun r = fenwo({QStringLiteral("--report"), QStringLiteral("2026-12-06"), QStringLiteral("2026-12-07"),
                          QStringLiteral("--database"), file->path()});
        QCOMPARE(r.exitCode, 0);
        const QStringList lines = r.out.split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("销售报表\t2026-12-06\t2026-12-07"));
        for (const char *line : {"小票数\t2", "行数\t3", "件数\t4", "营业额\t12.8", "客单价\t6.4",
                                 "首笔\t2026-12-06 09:15", "小王\t1\t2\t3\t0.3", "2026-12-07\t1\t1\t1\t12.5"})
            QVERIFY2(lines.contains(QString::fromUtf8(line)), line);

        r = fenwo({QStringLiteral("--report"), QStringLiteral("2026-12-06"), QStringLiteral("2026-12-06"),
                   QStringLiteral("--cashier"), QStringLiteral("小王"), QStringLiteral("--database"), file->path()});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains(QStringLiteral("\n营业额\t0.3\n")));
        QVERIFY(r.out.contains(QStringLiteral("\n收银员\t小王\n")));
    }

    void badDatesAreRefused_data()
    {
        QTest::addColumn<QStringList>("dates");
        QTest::addColumn<QString>("named");
        QTest::newRow("no month 13") << QStringList{QStringLiteral("2026-13-01"), QStringLiteral("2026-12-31")} << QStringLiteral("2026-13-01");
        QTest::newRow("day first") << QStringList{QStringLiteral("2026-12-01"), QStringLiteral("31.12.2026")} << QStringLiteral("31.12.2026");
        QTest::newRow("backwards") << QStringList{QStringLiteral("2026-12-07"), QStringLiteral("2026-12-06")} << QStringLiteral("after");
        QTest::newRow("one date") << QStringList{QStringLiteral("2026-12-07")} << QStringLiteral("two dates");
    }
    void badDatesAreRefused()
    {
        QFETCH(QStringList, dates);
        QFETCH(QString, named);
        const ProgramRun r = fenwo(QStringList{QStringLiteral("--report")} + dates + QStringList{QStringLiteral("--database"), file->path()});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(named), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }

    void aReceiptIsPrintedAgainWithoutAWindow()
    {
        QTemporaryDir out;
        ProgramRun r = fenwo({QStringLiteral("--reprint"), QStringLiteral("261206091500"), QStringLiteral("--printer"),
                          QStringLiteral("pdf:") + out.path(), QStringLiteral("--database"), file->path()});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QDir(out.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files).size(), 1);
        QCOMPARE(file->count(Tables::SalesRecord::table), 3);

        r = fenwo({QStringLiteral("--reprint"), QStringLiteral("999"), QStringLiteral("--printer"),
                   QStringLiteral("pdf:") + out.path(), QStringLiteral("--database"), file->path()});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("999")), qPrintable(r.err));
        QCOMPARE(QDir(out.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestHeadless)
#include "tst_headless.moc"
