#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "typing.h"

#include "devicefile.h"
#include "forwardingsurface.h"
#include "smalldisk.h"

#include "base/textcodec.h"
#include "receipt/pdfprintsurface.h"
#include "receipt/receiptprinter.h"
#include "receipt/systemprintsurface.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/datagrid.h"

#include <QDir>
#include <QInputMethodEvent>
#include <QScopeGuard>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QMap>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace {

// Receipts are sent in GBK unless a till is set up otherwise.
const TextCodec gbk(TextEncoding::Gbk);

QStringList pdfs(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
}

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000))
        return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}


// Runs a command for its exit code alone.
int quietly(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    return p.exitCode();
}

// A print queue of the test's own on the suite's CUPS (a raw queue into
// /dev/null), removed again when the test ends. The shared default queue is
// never touched.
struct OwnQueue
{
    QString name;
    bool made = false;

    explicit OwnQueue(const QString &kind)
        : name(QStringLiteral("FenwoTest%1%2").arg(kind).arg(QCoreApplication::applicationPid()))
    {
        made = quietly(QStringLiteral("lpadmin"),
                       {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                        QStringLiteral("file:/dev/null")}) == 0;
    }
    ~OwnQueue() { remove(); }
    bool remove() { return quietly(QStringLiteral("lpadmin"), {QStringLiteral("-x"), name}) == 0; }
    // Jobs the spooler took, done or not.
    int jobs() const
    {
        return int(run(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), name})
                       .count(QLatin1Char('\n')));
    }
};

// A PDF printer after whose every job the disk is full.
class FillingPrinter final : public ForwardingSurface
{
public:
    FillingPrinter(const QString &folder, SmallDisk &disk)
        : ForwardingSurface(std::make_unique<PdfPrintSurface>(folder, 80))
        , m_disk(disk)
    {
    }
    void endJob() override
    {
        ForwardingSurface::endJob();
        m_disk.fill();
    }

private:
    SmallDisk &m_disk;
};

// The commands this program sends to a receipt printer, and LF; true when
// the stream holds no other control byte.
bool onlyOwnCommands(const QByteArray &stream, QString *offending)
{
    for (qsizetype i = 0; i < stream.size();) {
        const char byte = stream[i];
        const char next = i + 1 < stream.size() ? stream[i + 1] : 0;
        if (byte == 0x1B && (next == '@' || next == '2'))
            i += 2;
        else if (byte == 0x1B && next == '3')
            i += 3;
        else if (byte == 0x1C && next == '&')
            i += 2;
        else if ((byte == 0x1C || byte == 0x1D) && next == '!')
            i += 3;
        else if (byte == 0x1D && next == 'V' && stream.mid(i, 4) == QByteArray("\x1d\x56\x42\x00", 4))
            i += 4;
        // The receipt number's barcode: alignment, height, width, text position, then CODE128.
        else if ((byte == 0x1B && next == 'a') || (byte == 0x1D && (next == 'h' || next == 'w' || next == 'H')))
            i += 3;
        else if (byte == 0x1D && next == 'k' && i + 3 < stream.size() && stream[i + 2] == 73) {
            const QByteArray symbol = stream.mid(i + 4, uchar(stream[i + 3]));
            for (const char c : symbol)
                if (uchar(c) < 0x20 || uchar(c) == 0x7F) {
                    *offending = QStringLiteral("a control byte in the barcode at %1").arg(i);
                    return false;
                }
            i += 4 + symbol.size();
        }
        else if (byte == '\n' || (uchar(byte) >= 0x20 && uchar(byte) != 0x7F))
            ++i;
        else {
            *offending = QStringLiteral("byte 0x%1 at %2: %3")
                             .arg(uchar(byte), 2, 16, QLatin1Char('0'))
                             .arg(i)
                             .arg(QString::fromLatin1(stream.mid(qMax<qsizetype>(0, i - 8), 16).toHex(' ')));
            return false;
        }
    }
    return true;
}

} // namespace

class TestCompletion : public QObject
{
    Q_OBJECT

    std::unique_ptr<CashierFixture> f;
    CashierWindow *w = nullptr;
    QTemporaryDir out;

    void usePdf()
    {
        w->setReceiptPrinter(ReceiptPrinter::create(QStringLiteral("pdf:") + out.path()));
    }

    // Rings up the three lines every test here uses: total 3 items, 23.7.
    void ringUp()
    {
        for (const char *code : {"6901", "6902", "6902"}) {
            typeText(QApplication::focusWidget() ? QApplication::focusWidget() : w->productBox(),
                     QString::fromLatin1(code));
            QTest::keyClick(w->productBox(), Qt::Key_Return);
        }
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("23.7"));
    }

    void payAndPrintWithTheKeyboard(const QString &received)
    {
        QTest::keyClick(w->productBox(), Qt::Key_F11);
        typeText(w->receivedBox(), received);
        QTest::keyClick(w->receivedBox(), Qt::Key_Return);
        QTest::keyClick(w->changeBox(), Qt::Key_Return);
    }

    int records() { return f->file->count(QStringLiteral("XiaoShouRecord")); }

    void checkSaleStillOnScreen(const QString &receiptNumber)
    {
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 3);
        QCOMPARE(w->saleGrid()->model()->rowCount(), 3);
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("23.7"));
        QCOMPARE(w->receiptNumberBox()->text(), receiptNumber);
    }

private slots:
    void init()
    {
        f = std::make_unique<CashierFixture>();
        f->file->addProduct(QStringLiteral("6901"), QStringLiteral("康师傅红烧牛肉面"), 4.5);
        f->file->addProduct(QStringLiteral("6902"), QStringLiteral("可口可乐"), 9.6);
        f->file->setSettings(QStringLiteral("小王"), QStringLiteral("      好邻居便利店"),
                             QStringLiteral("欢迎光临\r\n谢谢惠顾"));
        w = f->open();
        QDir(out.path()).removeRecursively();
        QDir().mkpath(out.path());
    }
    void cleanup()
    {
        f.reset();
        w = nullptr;
    }

    void aSaleIsRecordedOncePrintedAndTheScreenReset()
    {
        usePdf();
        ringUp();
        const QString receiptNumber = w->receiptNumberBox()->text();
        payAndPrintWithTheKeyboard(QStringLiteral("100"));
        QCOMPARE(f->boxes->count(), 0);
        QCOMPARE(pdfs(out.path()).size(), 1);

        const auto rows = f->file->rows(QStringLiteral(
            "select 编码, 品名, 数量, 单价, 金额, 单号, 日期, 时间, 收银员 from XiaoShouRecord order by id"));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0][0].toString(), QStringLiteral("6901"));
        QCOMPARE(rows[0][1].toString(), QStringLiteral("康师傅红烧牛肉面"));
        QCOMPARE(rows[2][4].toDouble(), 9.6);
        for (const auto &r : rows) {
            QCOMPARE(r[5].toString(), receiptNumber);
            QCOMPARE(r[6].toString(), w->saleDateBox()->text());
            QCOMPARE(r[7].toString(), rows[0][7].toString());
            QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d$")).match(r[7].toString()).hasMatch());
            QCOMPARE(r[8].toString(), QStringLiteral("小王"));
        }

        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);
        QCOMPARE(w->saleGrid()->model()->rowCount(), 0);
        QCOMPARE(w->totalQuantityLabel()->text(), QStringLiteral("0"));
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("0"));
        QCOMPARE(w->quantityBox()->text(), QStringLiteral("1"));
        QCOMPARE(w->receivedBox()->text(), QString());
        QCOMPARE(w->changeBox()->text(), QString());
        QCOMPARE(w->productBox()->currentText(), QString());
        QCOMPARE(w->focusWidget(), w->productBox());
        QVERIFY(w->receiptNumberBox()->text() > receiptNumber);
        QCOMPARE(w->receiptNumberBox()->text().size(), 12);
        QCOMPARE(w->cashierBox()->text(), QStringLiteral("小王"));
    }

    void twoCopiesAreTwoJobsAndOneRecord()
    {
        usePdf();
        w->twoCopiesBox()->setChecked(true);
        ringUp();
        QTest::keyClick(w->productBox(), Qt::Key_F12, Qt::ShiftModifier);
        QCOMPARE(pdfs(out.path()).size(), 2);
        QCOMPARE(records(), 3);
        QVERIFY(w->twoCopiesBox()->isChecked());
    }

    void anEmptySaleStillPrintsAndRenewsTheNumber()
    {
        usePdf();
        const QString before = w->receiptNumberBox()->text();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(pdfs(out.path()).size(), 1);
        QCOMPARE(records(), 0);
        QVERIFY(w->receiptNumberBox()->text() > before);
        // Two completions within one second still give different numbers.
        const QString second = w->receiptNumberBox()->text();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QVERIFY(w->receiptNumberBox()->text() > second);
    }

    void withoutAPrinterNothingIsRecordedAndARetryRecordsOnce()
    {
        const QString folder = out.path();
        w->setReceiptPrinter(std::make_unique<ReceiptPrinter>(std::make_unique<SystemPrintSurface>(
            [] { return QString(); })));
        ringUp();
        const QString receiptNumber = w->receiptNumberBox()->text();
        payAndPrintWithTheKeyboard(QStringLiteral("50"));
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(f->boxes->lastText(),
                 QStringLiteral("系统里没有设置默认打印机（There is no default printer currently selected）."));
        QCOMPARE(records(), 0);
        checkSaleStillOnScreen(receiptNumber);
        QCOMPARE(w->changeBox()->text(), QStringLiteral("26.3"));

        // Again without a printer: still nothing recorded.
        QTest::keyClick(w->changeBox(), Qt::Key_Return);
        QCOMPARE(f->boxes->count(), 2);
        QCOMPARE(records(), 0);

        w->setReceiptPrinter(ReceiptPrinter::create(QStringLiteral("pdf:") + folder));
        QTest::keyClick(w->changeBox(), Qt::Key_Return);
        QCOMPARE(f->boxes->count(), 2);
        QCOMPARE(records(), 3);
        QCOMPARE(f->file->scalar(QStringLiteral("select count(distinct 单号) from XiaoShouRecord")).toInt(), 1);
        QCOMPARE(f->file->scalar(QStringLiteral("select 单号 from XiaoShouRecord")).toString(), receiptNumber);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);
    }

    void aNetworkReceiptPrinterGetsGbkTextAndACut()
    {
        QTcpServer printer;
        QVERIFY(printer.listen(QHostAddress::LocalHost));
        QByteArray received;
        connect(&printer, &QTcpServer::newConnection, this, [&] {
            QTcpSocket *s = printer.nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, this, [&, s] { received += s->readAll(); });
        });
        w->setReceiptPrinter(ReceiptPrinter::create(
            QStringLiteral("escpos+tcp://127.0.0.1:%1").arg(printer.serverPort()), QStringLiteral("58")));
        ringUp();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 0);
        const QByteArray cut("\x1d\x56\x42\x00", 4);
        QTRY_VERIFY(received.contains(cut));
        QVERIFY(received.startsWith("\x1b\x40"));
        // The double-size title wraps on 58 mm paper; its start is on the first line.
        QVERIFY(received.contains(gbk.encode(QStringLiteral("好邻居"))));
        QVERIFY(received.contains(gbk.encode(QStringLiteral("可口可乐"))));
        QCOMPARE(records(), 3);
    }

    // Lines added, changed or deleted after F11 and Enter: the change on the
    // screen and on the receipt is always the amount received less the total.
    void theChangeFollowsTheLinesAfterTheAmountReceived()
    {
        QTemporaryDir dir;
        const QString device = makeDevice(dir, QStringLiteral("lp0"));
        w->setReceiptPrinter(ReceiptPrinter::create(QStringLiteral("escpos:") + device));
        ringUp();
        QTest::keyClick(w->productBox(), Qt::Key_F11);
        typeText(w->receivedBox(), QStringLiteral("30"));
        QTest::keyClick(w->receivedBox(), Qt::Key_Return);
        QCOMPARE(w->changeBox()->text(), QStringLiteral("6.3"));

        typeText(w->productBox(), QStringLiteral("6901"));   // added: 28.2
        QTest::keyClick(w->productBox(), Qt::Key_Return);
        QCOMPARE(w->changeBox()->text(), QStringLiteral("1.8"));
        QTest::keyClick(w->productBox(), Qt::Key_Delete);   // deleted: 23.7
        QCOMPARE(w->changeBox()->text(), QStringLiteral("6.3"));
        w->saleGrid()->setCurrentIndex(w->saleGrid()->model()->index(0, 0));
        w->productBox()->setEditText(QStringLiteral("康师傅红烧牛肉面"));
        w->quantityBox()->setText(QStringLiteral("3"));
        w->priceBox()->setText(QStringLiteral("4.5"));
        QTest::keyClick(w->productBox(), Qt::Key_F9);   // changed: 32.7
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("32.7"));
        QCOMPARE(w->changeBox()->text(), QStringLiteral("-2.7"));

        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 0);
        const QByteArray receipt = readFile(device);
        for (const char *line : {"合计金额:32.7", "来款金额:30", "找零金额:-2.7"})
            QVERIFY2(receipt.contains(gbk.encode(QString::fromUtf8(line))), line);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);
    }

    // A network printer that never takes the connection: the window stays
    // drawn and says it is printing, a second F12 starts nothing, the scan
    // typed meanwhile goes into the next try's sale, and the message is Chinese.
    void aPrinterThatDoesNotAnswerKeepsTheKeysTypedMeanwhile()
    {
        // A listener whose backlog is full: the kernel takes up no further connection.
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        QVERIFY(listener >= 0);
        const auto closeListener = qScopeGuard([listener] { ::close(listener); });
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr *>(&address), size) == 0);
        QVERIFY(::listen(listener, 0) == 0);
        QVERIFY(::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &size) == 0);
        const quint16 port = ntohs(address.sin_port);
        std::vector<std::unique_ptr<QTcpSocket>> queued;
        for (int i = 0; i < 3; ++i) {
            queued.push_back(std::make_unique<QTcpSocket>());
            queued.back()->connectToHost(QHostAddress::LocalHost, port);
            queued.back()->waitForConnected(200);
        }
        {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port);
            if (probe.waitForConnected(300))
                QSKIP("this system takes connections beyond a full backlog");
        }

        w->setReceiptPrinter(ReceiptPrinter::create(QStringLiteral("escpos+tcp://127.0.0.1:%1").arg(port)));
        ringUp();
        bool printingShown = false;
        QTimer::singleShot(300, this, [&] {
            printingShown = w->printingLabel()->isVisible();
            QWidget *typed = QApplication::focusWidget();
            QTest::keyClicks(typed, QStringLiteral("6901"));
            QTest::keyClick(typed, Qt::Key_Return);
            QTest::keyClick(typed, Qt::Key_F12);
        });
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QVERIFY(printingShown);
        QVERIFY(!w->printingLabel()->isVisible());
        QCOMPARE(f->boxes->count(), 1);
        QVERIFY2(f->boxes->lastText().startsWith(QStringLiteral("小票打印机不能用（Printer selected is not valid）")),
                 qPrintable(f->boxes->lastText()));
        QVERIFY(f->boxes->lastText().contains(QStringLiteral("打印机没有应答（Socket operation timed out）")));
        QCOMPARE(f->boxes->seen().last().buttons, QStringList{QStringLiteral("确定")});
        QCOMPARE(records(), 0);
        // The scan comes once the box is read, as if typed then.
        QTRY_COMPARE(f->file->count(QStringLiteral("xiaoshou")), 4);
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("28.2"));
        QCOMPARE(f->boxes->count(), 1);
    }

    void aSaleGoesToTheDefaultCupsPrinter()
    {
        const QString scheduler = run(QStringLiteral("lpstat"), {QStringLiteral("-r")});
        if (!scheduler.contains(QStringLiteral("scheduler is running")))
            QSKIP("no CUPS scheduler: run scripts/cups-test-env.sh as root first");
        if (!run(QStringLiteral("lpstat"), {QStringLiteral("-d")}).contains(QStringLiteral("FenwoPDF")))
            QSKIP("the default printer is not the FenwoPDF test queue");
        auto completed = [] {
            return run(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("completed"),
                                                  QStringLiteral("-o"), QStringLiteral("FenwoPDF")})
                .count(QLatin1Char('\n'));
        };
        const int before = completed();
        w->twoCopiesBox()->setChecked(true);
        ringUp();
        payAndPrintWithTheKeyboard(QStringLiteral("100"));
        QCOMPARE(f->boxes->count(), 0);
        QCOMPARE(records(), 3);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);
        QTRY_COMPARE_WITH_TIMEOUT(completed(), before + 2, 60000);
    }

    void aQueueThatRefusesOrIsDeletedMeanwhileRecordsNothing()
    {
        if (!run(QStringLiteral("lpstat"), {QStringLiteral("-r")}).contains(QStringLiteral("scheduler is running")))
            QSKIP("no CUPS scheduler: run scripts/cups-test-env.sh as root first");
        OwnQueue refusing(QStringLiteral("Reject"));
        OwnQueue changed(QStringLiteral("Gone"));
        QVERIFY(refusing.made && changed.made);
        QCOMPARE(QProcess::execute(QStringLiteral("cupsreject"), {refusing.name}), 0);
        const auto restore = qScopeGuard([] { qunsetenv("LPDEST"); });
        qputenv("LPDEST", refusing.name.toUtf8());

        ringUp();
        const QString receiptNumber = w->receiptNumberBox()->text();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 1);
        QVERIFY2(f->boxes->lastText().contains(QStringLiteral("is not accepting jobs")), qPrintable(f->boxes->lastText()));
        QVERIFY(f->boxes->lastText().contains(refusing.name));
        QCOMPARE(refusing.jobs(), 0);
        QCOMPARE(records(), 0);
        QCOMPARE(f->file->count(QStringLiteral("awaiting_print")), 0);
        checkSaleStillOnScreen(receiptNumber);

        // The shop sets another printer as the default while the program runs.
        qputenv("LPDEST", changed.name.toUtf8());
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(changed.jobs(), 1);
        QCOMPARE(records(), 3);
        QCOMPARE(w->saleGrid()->model()->rowCount(), 0);

        // And deletes it.
        ringUp();
        QVERIFY(changed.remove());
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 2);
        QVERIFY2(f->boxes->lastText().contains(QStringLiteral("does not exist")), qPrintable(f->boxes->lastText()));
        QCOMPARE(records(), 3);
        checkSaleStillOnScreen(w->receiptNumberBox()->text());
    }

    void aFullDiskRecordsNothingPrintsNothingAndNeverPrintsTwice()
    {
        if (TestDatabase::onServer())
            QSKIP("the disk of a data file");
        SmallDisk disk(QStringLiteral("1500k"));
        if (!disk.mounted)
            QSKIP("no tmpfs could be mounted (the suite runs as root)");
        f = std::make_unique<CashierFixture>();
        f->file = std::make_unique<TestDatabase>(disk.dir.path());
        f->file->addProduct(QStringLiteral("6901"), QStringLiteral("康师傅红烧牛肉面"), 4.5);
        f->file->addProduct(QStringLiteral("6902"), QStringLiteral("可口可乐"), 9.6);
        w = f->open({}, ReceiptPrinter::create(QStringLiteral("pdf:") + out.path()));
        const auto closeFirst = qScopeGuard([this] {
            f.reset();
            w = nullptr;
        });

        ringUp();
        const QString receiptNumber = w->receiptNumberBox()->text();
        disk.fill();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 1);
        QVERIFY2(f->boxes->lastText().contains(QStringLiteral("database or disk is full")), qPrintable(f->boxes->lastText()));
        QCOMPARE(pdfs(out.path()).size(), 0);
        QCOMPARE(records(), 0);
        QCOMPARE(f->file->count(QStringLiteral("awaiting_print")), 0);
        checkSaleStillOnScreen(receiptNumber);

        disk.free();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(pdfs(out.path()).size(), 1);
        QCOMPARE(records(), 3);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);

        // The disk fills while the receipt prints: recorded and printed, only
        // emptying the sale fails.
        w->setReceiptPrinter(std::make_unique<ReceiptPrinter>(std::make_unique<FillingPrinter>(out.path(), disk)));
        ringUp();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 2);
        QVERIFY2(f->boxes->lastText().contains(QStringLiteral("小票已打印")), qPrintable(f->boxes->lastText()));
        QCOMPARE(pdfs(out.path()).size(), 2);
        QCOMPARE(records(), 6);
        QCOMPARE(f->file->count(QStringLiteral("awaiting_print")), 1);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 3);
        QCOMPARE(w->saleGrid()->model()->rowCount(), 3);
        // Its lines no longer change.
        typeText(w->productBox(), QStringLiteral("6901"));
        QTest::keyClick(w->productBox(), Qt::Key_Return);
        QCOMPARE(f->boxes->count(), 3);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 3);

        disk.free();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 3);
        QCOMPARE(pdfs(out.path()).size(), 2);
        QCOMPARE(records(), 6);
        QCOMPARE(f->file->count(QStringLiteral("awaiting_print")), 0);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);
        QCOMPARE(w->saleGrid()->model()->rowCount(), 0);
    }

    // The receipt is out but the sale cannot be emptied: the box says so and
    // which key finishes the sale; until then its lines stay as they are.
    void aSaleLeftOnTheScreenAfterItsReceiptIsCompletedWithF12()
    {
        usePdf();
        ringUp();
        f->file->refuseDeletes(QStringLiteral("xiaoshou"), QStringLiteral("database is locked"));
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 1);
        const QString told = f->boxes->lastText();
        QVERIFY2(told.startsWith(QStringLiteral("小票已打印，销售已记录，但未能清空本单：")), qPrintable(told));
        QVERIFY2(told.endsWith(QStringLiteral("\n请再按 F12 完成本单（不会再打印小票）。")), qPrintable(told));
        QCOMPARE(pdfs(out.path()).size(), 1);

        typeText(w->productBox(), QStringLiteral("6901"));
        QTest::keyClick(w->productBox(), Qt::Key_Return);
        QCOMPARE(f->boxes->count(), 2);
        QCOMPARE(f->boxes->lastText(), QStringLiteral("本单小票已打印，销售已记录，不能再修改：请按 F12 完成本单。"));
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 3);

        f->file->allowDeletes(QStringLiteral("xiaoshou"));
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 2);
        QCOMPARE(pdfs(out.path()).size(), 1);
        QCOMPARE(records(), 3);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 0);
        QCOMPARE(w->saleGrid()->model()->rowCount(), 0);
    }

    void aReadOnlyFileRecordsNothingAndPrintsNothing()
    {
        if (TestDatabase::onServer())
            QSKIP("a data file");
        // A file no window of this process has had open: SQLite would hand a
        // new connection the writable descriptor a closed one left behind,
        // where another program gets a read-only one.
        f = std::make_unique<CashierFixture>();
        f->file->addSaleLine(QStringLiteral("6901"), QStringLiteral("康师傅红烧牛肉面"), 1, 4.5);
        f->file->addSaleLine(QStringLiteral("6902"), QStringLiteral("可口可乐"), 2, 9.6);
        const QString path = f->file->path();
        if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) != 0)
            QSKIP("the file cannot be made immutable here");
        const auto writable = qScopeGuard([&] { QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path}); });
        w = f->open({}, ReceiptPrinter::create(QStringLiteral("pdf:") + out.path()));
        // Found at start-up: the till takes no sale on a file it cannot record in.
        // (and the start stops at its first database step, as without a file).
        QCOMPARE(f->boxes->count(), 2);
        QVERIFY2(f->boxes->seen()[0].text.contains(QStringLiteral("不能写入")), qPrintable(f->boxes->seen()[0].text));
        QCOMPARE(w->saleGrid()->model()->rowCount(), 0);

        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 3);
        QCOMPARE(pdfs(out.path()).size(), 0);
        QCOMPARE(records(), 0);
        QCOMPARE(f->file->count(QStringLiteral("xiaoshou")), 2);
    }

    void controlCharactersNeverReachAReceiptPrinter()
    {
        QString controls;
        // PostgreSQL's text holds no NUL: a name with one cannot be stored there.
        for (char16_t c = TestDatabase::onServer() ? 1 : 0; c < 0x20; ++c)
            controls += QChar(c);
        controls += QChar(0x7F);
        f->file->addProduct(QStringLiteral("6903"), QStringLiteral(u"盒") + controls + QStringLiteral(u"饭"), 2.5);
        f->file->addProduct(QStringLiteral("010401234567890110ABC"), QStringLiteral("鸡蛋"), 1.2);
        // ESC @ resets the printer, ESC p opens the drawer, GS V cuts.
        f->file->setSettings(QStringLiteral("小王"), QStringLiteral(u"\x1b@好邻居"),
                             QStringLiteral(u"欢迎\x1bp0光临\r\n\x1dVA谢谢"));
        const QString device = out.filePath(QStringLiteral("lp0"));
        QFile(device).open(QIODevice::WriteOnly);
        f->session.reset();
        w = f->open({}, ReceiptPrinter::create(QStringLiteral("escpos:") + device));
        w->cashierBox()->setText(QStringLiteral(u"小\a王"));

        // A scanner hands a GS1 code over with GS between its parts.
        QInputMethodEvent scan;
        scan.setCommitString(QStringLiteral(u"0104012345678901\x1d" "10ABC"));
        QApplication::sendEvent(w->productBox()->lineEdit(), &scan);
        QVERIFY(w->productBox()->currentText().contains(QChar(0x1D)));
        QTest::keyClick(w->productBox(), Qt::Key_Return);
        typeText(w->productBox(), QStringLiteral("6903"));
        QTest::keyClick(w->productBox(), Qt::Key_Return);
        const auto lines = f->file->rows(QStringLiteral("select 编码, 品名 from xiaoshou order by id"));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0][0].toString(), QStringLiteral("010401234567890110ABC"));
        QCOMPARE(lines[1][1].toString(), QStringLiteral(u"盒饭"));

        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 0);
        QCOMPARE(records(), 2);
        QFile file(device);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray printed = file.readAll();
        QString offending;
        QVERIFY2(onlyOwnCommands(printed, &offending), qPrintable(offending));
        QCOMPARE(int(printed.count("\x1d\x56\x42\x00")), 1);
        for (const QString &text : {QStringLiteral(u"盒饭"), QStringLiteral(u"好邻居"), QStringLiteral(u"收银员:小王"),
                                    QStringLiteral(u"欢迎p0光临"), QStringLiteral(u"VA谢谢")}) {
            QVERIFY2(printed.contains(gbk.encode(text)), qPrintable(text));
        }
    }

    void itemColumnsLineUpInAPdf()
    {
        if (quietly(QStringLiteral("pdftotext"), {QStringLiteral("-v")}) < 0)
            QSKIP("pdftotext (poppler-utils) is missing");
        f->session.reset();
        f->file->addSaleLine(QStringLiteral("7001"), QStringLiteral("矿泉水"), 2, 2);
        f->file->addSaleLine(QStringLiteral("7002"), QStringLiteral("Cola"), 12, 3.5);
        f->file->addSaleLine(QStringLiteral("7003"), QStringLiteral("进口特级初榨橄榄油礼盒"), 1, 128);
        f->file->addSaleLine(QStringLiteral("7004"), QStringLiteral("A4纸500张"), 1.25, 25.9);
        f->file->addSaleLine(QStringLiteral("6902"), QStringLiteral("可口可乐"), 3, 9.6);
        w = f->open({}, ReceiptPrinter::create(QStringLiteral("pdf:") + out.path()));
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 0);
        QCOMPARE(pdfs(out.path()).size(), 1);

        const QString html = out.filePath(QStringLiteral("words.html"));
        QCOMPARE(QProcess::execute(QStringLiteral("pdftotext"),
                                   {QStringLiteral("-bbox"), out.filePath(pdfs(out.path()).first()), html}), 0);
        QFile words(html);
        QVERIFY(words.open(QIODevice::ReadOnly));
        // Words by line (their top), each with its left edge.
        QMap<int, QList<QPair<double, QString>>> byLine;
        const QRegularExpression word(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
        for (auto m = word.globalMatch(QString::fromUtf8(words.readAll())); m.hasNext();) {
            const auto match = m.next();
            byLine[qRound(match.captured(2).toDouble() * 10)].append({match.captured(1).toDouble(), match.captured(3)});
        }
        QList<double> quantities;
        QList<double> amounts;
        double amountTitle = -1;
        for (const auto &line : std::as_const(byLine)) {
            if (line.size() == 3 && line[2].second == QStringLiteral("金额"))
                amountTitle = line[2].first;
            const QStringList amountTexts{QStringLiteral("4"), QStringLiteral("42"), QStringLiteral("128"),
                                          QStringLiteral("32.375"), QStringLiteral("28.8")};
            if (line.size() >= 3 && amountTexts.contains(line.last().second)) {
                quantities << line[line.size() - 2].first;
                amounts << line.last().first;
            }
        }
        QCOMPARE(quantities.size(), 5);
        for (qsizetype i = 1; i < 5; ++i) {
            QVERIFY2(qAbs(quantities[i] - quantities[0]) < 0.01, qPrintable(QStringLiteral("quantity x %1 vs %2").arg(quantities[i]).arg(quantities[0])));
            QVERIFY2(qAbs(amounts[i] - amounts[0]) < 0.01, qPrintable(QStringLiteral("amount x %1 vs %2").arg(amounts[i]).arg(amounts[0])));
        }
        // Amounts stand under the title of their column.
        QVERIFY2(qAbs(amountTitle - amounts[0]) < 0.01, qPrintable(QStringLiteral("%1 vs %2").arg(amountTitle).arg(amounts[0])));
    }

    void receiptNumbersStayLaterThanAnyRecordedAcrossRestarts()
    {
        const QDateTime later = QDateTime::currentDateTime().addSecs(3600);
        const QString laterNumber = later.toString(QStringLiteral("yyMMddHHmmss"));
        for (const QString &number : {laterNumber, QStringLiteral("999999999999"), QStringLiteral("abc")}) {
            f->file->exec(QStringLiteral("insert into XiaoShouRecord (编码, 品名, 数量, 单价, 金额, 单号, 收银员, 日期, 时间) "
                                         "values ('1', '可乐', 1, 3, 3, ?, '小王', '2026-01-01', '09:30')"),
                          {number});
        }
        f->session.reset();
        w = f->open({}, ReceiptPrinter::create(QStringLiteral("pdf:") + out.path()));
        QCOMPARE(w->receiptNumberBox()->text(), later.addSecs(1).toString(QStringLiteral("yyMMddHHmmss")));

        // Sales ended and the program started again, within one second.
        for (int run = 0; run < 3; ++run) {
            ringUp();
            const QString number = w->receiptNumberBox()->text();
            QTest::keyClick(w->productBox(), Qt::Key_F12);
            QCOMPARE(f->file->scalar(QStringLiteral("select count(*) from XiaoShouRecord where 单号 = ?"), {number}).toInt(), 3);
            f->session.reset();
            w = f->open({}, ReceiptPrinter::create(QStringLiteral("pdf:") + out.path()));
            QVERIFY2(w->receiptNumberBox()->text() > number, qPrintable(w->receiptNumberBox()->text()));
            QCOMPARE(w->receiptNumberBox()->text().size(), 12);
        }
        QCOMPARE(f->file->scalar(QStringLiteral("select count(distinct 单号) from XiaoShouRecord")).toInt(), 6);
        QCOMPARE(records(), 12);
    }
};

FENWO_TEST_MAIN(TestCompletion)
#include "tst_completion.moc"
