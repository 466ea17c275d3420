#include "receipt/escposlink.h"
#include "receipt/escposprintsurface.h"
#include "base/textcodec.h"
#include "receipt/printererror.h"
#include "receipt/printertarget.h"
#include "receipt/printertextdevice.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptprinter.h"
#include "devicefile.h"
#include "escposlines.h"
#include "receipttestdata.h"

#include <QtTest>
#include <QTcpServer>
#include <QTcpSocket>

Q_DECLARE_METATYPE(PrinterTarget::Kind)

namespace {

QStringList receiptTexts(const ReceiptInput &input, ReceiptCopy copy)
{
    QStringList result;
    // The barcode is no text line: printedBarcodes() reads it.
    for (const ReceiptLine &line : ReceiptLayout::lines(input, copy))
        if (line.pointSize != ReceiptLayout::BarcodePointSize)
            result.append(line.text());
    return result;
}

} // namespace

class EscPosOutputTest final : public QObject
{
    Q_OBJECT

private slots:
    void options_data();
    void options();
    void refusedOptions_data();
    void refusedOptions();

    void commandStream();
    void barcodeBlock();
    void networkPrinterGetsTheReceipt();
    void connectionRefused();
    void deviceFileGetsEveryJob();
    void missingDevice();
    void wrapAtPaperWidth_data();
    void wrapAtPaperWidth();
    void centredShopNameStaysOnOneLine_data();
    void centredShopNameStaysOnOneLine();
};

void EscPosOutputTest::options_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("paper");
    QTest::addColumn<PrinterTarget::Kind>("kind");
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("columns");

    using Kind = PrinterTarget::Kind;
    QTest::newRow("empty is the system printer") << QString() << QString() << Kind::SystemPrinter
                                                 << QString() << 9100 << 48;
    QTest::newRow("system") << QStringLiteral("System") << QString() << Kind::SystemPrinter
                            << QString() << 9100 << 48;
    QTest::newRow("device, 58 mm") << QStringLiteral("escpos:/dev/usb/lp0") << QStringLiteral("58")
                                   << Kind::EscPosDevice << QStringLiteral("/dev/usb/lp0") << 9100 << 32;
    QTest::newRow("network with port") << QStringLiteral("escpos+tcp://192.168.1.50:9101")
                                       << QStringLiteral("80mm") << Kind::EscPosNetwork
                                       << QStringLiteral("192.168.1.50") << 9101 << 48;
    QTest::newRow("network, default port") << QStringLiteral("escpos+tcp://printer.local")
                                           << QStringLiteral("58mm") << Kind::EscPosNetwork
                                           << QStringLiteral("printer.local") << 9100 << 32;
    QTest::newRow("network, IPv6") << QStringLiteral("escpos+tcp://[::1]:9200") << QString()
                                   << Kind::EscPosNetwork << QStringLiteral("::1") << 9200 << 48;
    QTest::newRow("pdf folder") << QStringLiteral("pdf:/srv/receipts") << QString()
                                << Kind::PdfFolder << QStringLiteral("/srv/receipts") << 9100 << 48;
}

void EscPosOutputTest::options()
{
    QFETCH(QString, option);
    QFETCH(QString, paper);
    QFETCH(PrinterTarget::Kind, kind);
    QFETCH(QString, where);
    QFETCH(int, port);
    QFETCH(int, columns);

    const PrinterTarget target = PrinterTarget::parse(option, paper);
    QCOMPARE(target.kind(), kind);
    QCOMPARE(kind == PrinterTarget::Kind::EscPosNetwork ? target.host() : target.path(), where);
    QCOMPARE(int(target.port()), port);
    QCOMPARE(target.columns(), columns);
}

void EscPosOutputTest::refusedOptions_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("paper");
    QTest::newRow("unknown") << QStringLiteral("lpt1") << QString();
    QTest::newRow("device without path") << QStringLiteral("escpos:") << QString();
    QTest::newRow("pdf without folder") << QStringLiteral("pdf:") << QString();
    QTest::newRow("network without host") << QStringLiteral("escpos+tcp://") << QString();
    QTest::newRow("network port out of range") << QStringLiteral("escpos+tcp://host:99999") << QString();
    QTest::newRow("network with a path") << QStringLiteral("escpos+tcp://host:9100/x") << QString();
    QTest::newRow("odd paper") << QStringLiteral("system") << QStringLiteral("76");
}

void EscPosOutputTest::refusedOptions()
{
    QFETCH(QString, option);
    QFETCH(QString, paper);
    QVERIFY_THROWS_EXCEPTION(PrinterError, PrinterTarget::parse(option, paper));
}

void EscPosOutputTest::commandStream()
{
    // Init and Chinese mode; the 12-point line double size with its advance
    // of 48 + 2 dots; normal size for 10 points (24 + 2 dots); an empty line
    // advances by the bare character height; default spacing, feed and
    // partial cut at the end.
    QByteArray sent;
    PrinterTextDevice device(std::make_unique<EscPosPrintSurface>(std::make_unique<MemoryLink>(&sent), 32));
    device.openJob();
    device.setFontSize(12);
    device.write(QStringLiteral(u"店"));
    device.endLine();
    device.setFontSize(10);
    device.write(QStringLiteral("a"));
    device.endLine();
    device.endLine();
    device.closeJob();
    QCOMPARE(sent.toHex(' '),
             QByteArray("1b 40 1c 26 "
                        "1d 21 11 1c 21 0c b5 ea 1b 33 32 0a "
                        "1d 21 00 1c 21 00 61 1b 33 1a 0a "
                        "1b 33 18 0a "
                        "1b 32 1d 56 42 00"));
}

void EscPosOutputTest::barcodeBlock()
{
    // Between two lines: centred, 64 dots high, modules of 2 dots, no text
    // under it, CODE128 subset B of the number; the next line follows at once.
    QByteArray sent;
    PrinterTextDevice device(std::make_unique<EscPosPrintSurface>(std::make_unique<MemoryLink>(&sent), 32));
    device.openJob();
    device.write(QStringLiteral("a"));
    device.endLine();
    device.writeBarcode(QStringLiteral("261206143005"));
    device.write(QStringLiteral("b"));
    device.endLine();
    device.closeJob();
    QCOMPARE(sent.toHex(' '),
             QByteArray("1b 40 1c 26 "
                        "61 1b 33 1a 0a "
                        "1b 61 01 1d 68 40 1d 77 02 1d 48 00 "
                        "1d 6b 49 0e 7b 42 32 36 31 32 30 36 31 34 33 30 30 35 1b 61 00 "
                        "62 0a "
                        "1b 32 1d 56 42 00"));
}

void EscPosOutputTest::networkPrinterGetsTheReceipt()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    const std::unique_ptr<ReceiptPrinter> printer = ReceiptPrinter::create(
        QStringLiteral("escpos+tcp://127.0.0.1:%1").arg(server.serverPort()), QStringLiteral("58"));
    printer->printCopy(workedExampleSale(), ReceiptCopy::First);

    // The printer waits in an event loop, where the server may have taken the connection up already.
    QVERIFY(server.hasPendingConnections() || server.waitForNewConnection(5000));
    QTcpSocket *peer = server.nextPendingConnection();
    QVERIFY(peer);
    QByteArray stream = peer->readAll();
    while (peer->waitForReadyRead(5000))
        stream += peer->readAll();
    stream += peer->readAll();

    QVERIFY(stream.startsWith(QByteArray("\x1B@\x1C&")));
    QVERIFY(stream.endsWith(QByteArray("\x1DV\x42\x00", 4)));
    // The title in double size, then back to normal for the next line.
    const QByteArray title = TextCodec(TextEncoding::Gbk).encode(QStringLiteral(u"       福来超市"));
    QVERIFY(stream.contains(QByteArray("\x1D!\x11\x1C!\x0C") + title + "\x1B\x33\x32\n"));
    // A Chinese item line in GBK, column blanks and all.
    QVERIFY(stream.contains(QByteArray("\xBF\xF3\xC8\xAA\xCB\xAE           2    7\n")));

    bool ok = false;
    QCOMPARE(printedLines(stream, &ok), receiptTexts(workedExampleSale(), ReceiptCopy::First));
    QCOMPARE(printedBarcodes(stream), QStringList{workedExampleSale().receiptNumber});
    QVERIFY(ok);
}

void EscPosOutputTest::connectionRefused()
{
    quint16 port = 0;
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        port = server.serverPort();
    }
    const std::unique_ptr<ReceiptPrinter> printer =
        ReceiptPrinter::create(QStringLiteral("escpos+tcp://127.0.0.1:%1").arg(port));
    try {
        printer->printCopy(workedExampleSale(), ReceiptCopy::First);
        QFAIL("printing to a closed port succeeded");
    } catch (const PrinterError &error) {
        QVERIFY2(error.message().startsWith(QLatin1String("Printer selected is not valid\n")),
                 qPrintable(error.message()));
        QVERIFY2(error.message().contains(QStringLiteral("127.0.0.1:%1").arg(port)),
                 qPrintable(error.message()));
    }
    QVERIFY(!printer->device().isPrinting());
}

void EscPosOutputTest::deviceFileGetsEveryJob()
{
    QTemporaryDir dir;
    const QString path = makeDevice(dir, QStringLiteral("lp0"));
    QVERIFY(!path.isEmpty());
    const std::unique_ptr<ReceiptPrinter> printer =
        ReceiptPrinter::create(QStringLiteral("escpos:") + path, QStringLiteral("80"));
    printer->printCopy(workedExampleSale(), ReceiptCopy::First);
    printer->printCopy(workedExampleSale(), ReceiptCopy::Second);

    const QByteArray stream = readFile(path);
    QCOMPARE(stream.count(QByteArray("\x1B@\x1C&")), 2);
    QCOMPARE(stream.count(QByteArray("\x1DV\x42\x00", 4)), 2);
    bool ok = false;
    QCOMPARE(printedLines(stream, &ok),
             receiptTexts(workedExampleSale(), ReceiptCopy::First)
                 + receiptTexts(workedExampleSale(), ReceiptCopy::Second));
    QVERIFY(ok);
}

void EscPosOutputTest::missingDevice()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lp0"));
    const std::unique_ptr<ReceiptPrinter> printer = ReceiptPrinter::create(QStringLiteral("escpos:") + path);
    try {
        printer->printCopy(workedExampleSale(), ReceiptCopy::First);
        QFAIL("printing to a missing device succeeded");
    } catch (const PrinterError &error) {
        QVERIFY2(error.message().startsWith(QStringLiteral("Printer selected is not valid\n") + path),
                 qPrintable(error.message()));
    }
    // No plain file stands in for the unplugged printer.
    QVERIFY(!QFile::exists(path));
}

void EscPosOutputTest::wrapAtPaperWidth_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<QString>("remark");
    QTest::addColumn<QStringList>("pieces");
    QTest::newRow("58 mm, 16 characters a line")
        << QStringLiteral("58") << QStringLiteral(u"一二三四五六七八九十一二三四五六七八九十")
        << QStringList{QStringLiteral(u"一二三四五六七八九十一二三四五六"),
                       QStringLiteral(u"七八九十")};
    QTest::newRow("58 mm, odd column keeps characters whole")
        << QStringLiteral("58") << QStringLiteral(u"a一二三四五六七八九十一二三四五六七八九十")
        << QStringList{QStringLiteral(u"a一二三四五六七八九十一二三四五"),
                       QStringLiteral(u"六七八九十")};
    QTest::newRow("80 mm, 48 columns")
        << QStringLiteral("80") << QString(50, QLatin1Char('x'))
        << QStringList{QString(48, QLatin1Char('x')), QStringLiteral("xx")};
}

void EscPosOutputTest::wrapAtPaperWidth()
{
    QFETCH(QString, paper);
    QFETCH(QString, remark);
    QFETCH(QStringList, pieces);

    QTemporaryDir dir;
    const QString path = makeDevice(dir, QStringLiteral("lp0"));
    QVERIFY(!path.isEmpty());
    ReceiptInput input = workedExampleSale();
    input.remark = remark;
    ReceiptPrinter::create(QStringLiteral("escpos:") + path, paper)->printCopy(input, ReceiptCopy::First);

    bool ok = false;
    const QStringList lines = printedLines(readFile(path), &ok);
    QVERIFY(ok);
    const qsizetype change = lines.indexOf(QStringLiteral(u"找零金额:0.5"));
    QVERIFY(change > 0);
    QCOMPARE(lines.mid(change + 1, pieces.size()), pieces);
    QCOMPARE(lines.at(change + 1 + pieces.size()), QStringLiteral(". "));
}

void EscPosOutputTest::centredShopNameStaysOnOneLine_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<QString>("title");
    // Double size: 16 columns a line on 58 mm paper, 24 on 80 mm.
    QTest::newRow("58 mm: blanks go until it fits") << QStringLiteral("58") << QStringLiteral(u"    好邻居便利店");
    QTest::newRow("80 mm: every blank stays") << QStringLiteral("80") << QStringLiteral(u"       好邻居便利店");
}

void EscPosOutputTest::centredShopNameStaysOnOneLine()
{
    QFETCH(QString, paper);
    QFETCH(QString, title);

    QTemporaryDir dir;
    const QString path = makeDevice(dir, QStringLiteral("lp0"));
    QVERIFY(!path.isEmpty());
    ReceiptInput input = workedExampleSale();
    input.shopName = QStringLiteral(u"      好邻居便利店");   // centred by hand for wider paper
    ReceiptPrinter::create(QStringLiteral("escpos:") + path, paper)->printCopy(input, ReceiptCopy::First);

    bool ok = false;
    const QStringList lines = printedLines(readFile(path), &ok);
    QVERIFY(ok);
    QCOMPARE(lines.at(0), title);
    QVERIFY2(lines.at(1).startsWith(QStringLiteral(u"单号:")), qPrintable(lines.at(1)));
}

QTEST_GUILESS_MAIN(EscPosOutputTest)
#include "tst_escposoutput.moc"
