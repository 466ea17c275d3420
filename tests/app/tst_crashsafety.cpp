#include "fenwotestmain.h"
#include "cashierfixture.h"

#include "widgets/datagrid.h"

#include "crashprobe.h"

class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void aLineStoredBeforeAKillIsThereAtTheNextStart()
    {
        CashierFixture f;
        CrashProbe probe({f.file->path()});
        QVERIFY2(probe.waitUntilSaid("stored 5"), probe.said().constData());
        QVERIFY(probe.kill());

        CashierWindow *w = f.open();
        QCOMPARE(w->saleGrid()->model()->rowCount(), 1);
        QCOMPARE(w->till().lines().text(QStringLiteral("品名")), QStringLiteral("散装糖果"));
        QCOMPARE(w->till().lines().text(QStringLiteral("编码")), QStringLiteral("-"));
        QCOMPARE(w->till().lines().text(QStringLiteral("金额")), QStringLiteral("5"));
    }
};

FENWO_TEST_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
