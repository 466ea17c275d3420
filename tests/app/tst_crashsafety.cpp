#include "fenwotestmain.h"
#include "mainwindowfixture.h"

#include "widgets/datagrid.h"

#include <QProcess>

class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void aLineStoredBeforeAKillIsThereAtTheNextStart()
    {
        MainWindowFixture f;
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        probe.setProcessEnvironment(env);
        probe.start(QStringLiteral(CRASH_PROBE), {f.file->path()});
        QVERIFY(probe.waitForStarted());
        QByteArray said;
        QTRY_VERIFY2_WITH_TIMEOUT((said += probe.readAllStandardOutput()).startsWith("stored 5")
                                      || probe.state() == QProcess::NotRunning,
                                  qPrintable(QString::fromUtf8(said + probe.readAllStandardError())), 20000);
        QCOMPARE(probe.state(), QProcess::Running);
        probe.kill();   // SIGKILL: no close handler, no clean shutdown
        QVERIFY(probe.waitForFinished());

        TFormMain *w = f.open();
        QCOMPARE(w->DBGrid1->model()->rowCount(), 1);
        QCOMPARE(w->ADOQuery1.text(QStringLiteral("品名")), QStringLiteral("散装糖果"));
        QCOMPARE(w->ADOQuery1.text(QStringLiteral("编码")), QStringLiteral("-"));
        QCOMPARE(w->ADOQuery1.text(QStringLiteral("金额")), QStringLiteral("5"));
    }
};

FENWO_TEST_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
