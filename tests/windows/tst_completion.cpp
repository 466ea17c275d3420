#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "crashprobe.h"
#include "typing.h"

#include "receipt/gbkcodec.h"
#include "receipt/receiptprinter.h"
#include "receipt/systemprintsurface.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/datagrid.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

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
        QCOMPARE(f->boxes->lastText(), QStringLiteral("There is no default printer currently selected."));
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
        QVERIFY(received.contains(GbkCodec::encode(QStringLiteral("好邻居"))));
        QVERIFY(received.contains(GbkCodec::encode(QStringLiteral("可口可乐"))));
        QCOMPARE(records(), 3);
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
};

FENWO_TEST_MAIN(TestCompletion)
#include "tst_completion.moc"
