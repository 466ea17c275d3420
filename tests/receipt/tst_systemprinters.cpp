#include "receipt/cashdrawer.h"
#include "receipt/cupsrawlink.h"
#include "receipt/printererror.h"
#include "receipt/systemprinterlist.h"

#include <QtTest>

namespace {

QString run(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    p.waitForFinished(30000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAll());
}

const SystemPrinterList::Queue *find(const QList<SystemPrinterList::Queue> &queues, const QString &name)
{
    for (const SystemPrinterList::Queue &queue : queues)
        if (queue.name == name)
            return &queue;
    return nullptr;
}

} // namespace

// The system printers as the test suite's own CUPS scheduler has them: the
// default queue FenwoPDF and a second queue of this test's own, stopped so
// that its jobs stay in the spool where they can be read.
class SystemPrintersTest final : public QObject
{
    Q_OBJECT

    QString m_queue;

private slots:
    void initTestCase()
    {
        if (!run(QStringLiteral("lpstat"), {QStringLiteral("-r")}).contains(QStringLiteral("scheduler is running")))
            QSKIP("no CUPS scheduler: run scripts/cups-test-env.sh as root first");
        m_queue = QStringLiteral("FenwoTill%1").arg(QCoreApplication::applicationPid());
        int code = 0;
        const QString said = run(QStringLiteral("lpadmin"),
                                 {QStringLiteral("-p"), m_queue, QStringLiteral("-E"), QStringLiteral("-v"),
                                  QStringLiteral("cups-pdf:/"), QStringLiteral("-D"), QStringLiteral("收银台小票打印机")},
                                 &code);
        QVERIFY2(code == 0, qPrintable(said));
        QCOMPARE(run(QStringLiteral("cupsdisable"), {m_queue}, &code), QString());
    }

    void cleanupTestCase()
    {
        if (m_queue.isEmpty())
            return;
        run(QStringLiteral("cancel"), {QStringLiteral("-a"), m_queue});
        run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), m_queue});
    }

    void theListComesLiveFromTheSpoolerWithTheDefaultMarked()
    {
        const QString defaultQueue = run(QStringLiteral("lpstat"), {QStringLiteral("-d")});
        if (!defaultQueue.contains(QStringLiteral("FenwoPDF")))
            QSKIP("the default printer is not the FenwoPDF test queue");
        QList<SystemPrinterList::Queue> queues = SystemPrinterList::read();
        const SystemPrinterList::Queue *fenwo = find(queues, QStringLiteral("FenwoPDF"));
        const SystemPrinterList::Queue *own = find(queues, m_queue);
        QVERIFY(fenwo && own);
        QVERIFY(fenwo->isDefault);
        QVERIFY(!own->isDefault);
        QCOMPARE(own->description, QStringLiteral("收银台小票打印机"));
        int defaults = 0;
        for (const SystemPrinterList::Queue &queue : queues)
            defaults += queue.isDefault ? 1 : 0;
        QCOMPARE(defaults, 1);

        // The user's own default (libcups reads LPDEST) is what the list marks, read again at once.
        qputenv("LPDEST", m_queue.toUtf8());
        queues = SystemPrinterList::read();
        qunsetenv("LPDEST");
        QVERIFY(find(queues, m_queue)->isDefault);
        QVERIFY(!find(queues, QStringLiteral("FenwoPDF"))->isDefault);

        // A queue that goes away is gone from the next reading.
        const QString gone = m_queue + QStringLiteral("Gone");
        run(QStringLiteral("lpadmin"), {QStringLiteral("-p"), gone, QStringLiteral("-v"), QStringLiteral("cups-pdf:/")});
        QVERIFY(find(SystemPrinterList::read(), gone));
        run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), gone});
        QVERIFY(!find(SystemPrinterList::read(), gone));
    }

    void aKickThroughAnEscPosQueueIsARawJobOfItsOwn()
    {
        auto link = std::make_unique<CupsRawLink>(m_queue);
        CupsRawLink *raw = link.get();
        CashDrawer drawer(std::move(link), {CashDrawer::Pin::Five, 30, 120});
        drawer.open();
        QVERIFY(raw->lastJob() > 0);
        // The stopped queue keeps the job in the spool, bytes as sent.
        const QString spooled = QStringLiteral("/var/spool/cups/d%1-001").arg(raw->lastJob(), 5, 10, QLatin1Char('0'));
        QFile job(spooled);
        if (!job.open(QIODevice::ReadOnly))
            QSKIP("the spool folder cannot be read by this user");
        QCOMPARE(job.readAll().toHex(' '), QByteArray("1b 70 01 1e 78"));
    }

    void aQueueThatIsNotThereIsAPrinterError()
    {
        CashDrawer drawer(std::make_unique<CupsRawLink>(m_queue + QStringLiteral("Missing")), {});
        QVERIFY_THROWS_EXCEPTION(PrinterError, drawer.open());
    }
};

QTEST_GUILESS_MAIN(SystemPrintersTest)
#include "tst_systemprinters.moc"
