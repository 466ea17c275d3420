#include "devicefile.h"
#include "opendatabase.h"
#include "testdatabase.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/tillsettings.h"
#include "receipt/cashdrawer.h"
#include "receipt/escposfilelink.h"
#include "receipt/printererror.h"
#include "receipt/printersettings.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptprinter.h"
#include "receipt/tillprinter.h"
#include "receipttestdata.h"
#include "withnames.h"

#include <QtTest>

#include <unistd.h>

Q_DECLARE_METATYPE(PrinterSettings)

namespace {

using Output = PrinterSettings::Output;

// Runs the work as a user who may not write to root's files, as a shop's
// cashier would be without the lp group.
template<typename Work>
void withoutPermission(const QString &path, Work work)
{
    if (geteuid() != 0) {
        QFile::setPermissions(path, QFileDevice::Permissions());
        work();
        return;
    }
    QVERIFY(seteuid(65534) == 0);
    try {
        work();
    } catch (...) {
        QVERIFY(seteuid(0) == 0);
        throw;
    }
    QVERIFY(seteuid(0) == 0);
}

} // namespace

class PrinterSettingsTest final : public QObject
{
    Q_OBJECT

    std::unique_ptr<OpenDatabase> data;
    QTemporaryDir dir;

    QList<QVariantList> storedRows()
    {
        return data->file.rows(withNames("select {name}, {value} from {TillSettings} where {till} = 1 order by {name}"));
    }

private slots:
    void init()
    {
        data = std::make_unique<OpenDatabase>();
    }
    void cleanup()
    {
        data.reset();
    }

    void eachOutputRoundTripsThroughTheDatabaseFile_data()
    {
        QTest::addColumn<PrinterSettings>("settings");
        PrinterSettings system;
        system.queue = QStringLiteral("");
        system.queueIsEscPos = true;
        system.drawer = PrinterSettings::Drawer::PinFive;
        system.pulseOn = 40;
        system.pulseOff = 200;
        system.drawerAfterSale = false;
        QTest::newRow("system printer") << system;
        PrinterSettings device;
        device.output = Output::EscPosDevice;
        device.device = makeDevice(dir, QStringLiteral("lp0"));
        device.paper = 58;
        device.encoding = TextEncoding::Gb18030;
        device.drawer = PrinterSettings::Drawer::PinTwo;
        QTest::newRow("device") << device;
        PrinterSettings network;
        network.output = Output::EscPosNetwork;
        network.host = QStringLiteral("127.0.0.1");
        network.port = 9101;
        QTest::newRow("network") << network;
        PrinterSettings pdf;
        pdf.output = Output::PdfFolder;
        pdf.pdfFolder = dir.filePath(QStringLiteral("receipts"));
        pdf.paper = 58;
        QTest::newRow("pdf folder") << pdf;
    }

    void eachOutputRoundTripsThroughTheDatabaseFile()
    {
        QFETCH(PrinterSettings, settings);
        TillSettings till(data->db);
        settings.store(till);
        // Read back on a connection of its own, then through the class.
        const QList<QVariantList> rows = storedRows();
        QCOMPARE(rows.size(), 13);
        QVERIFY(rows.contains(QVariantList{QStringLiteral("printer.output"),
                                           settings.values().value(QStringLiteral("printer.output"))}));
        Database reopened;
        reopened.open(data->file.path());
        QCOMPARE(PrinterSettings::load(TillSettings(reopened)), settings);
    }

    void aDeviceWithoutPermissionIsSaidSoInPlainWords()
    {
        const QString path = makeDevice(dir, QStringLiteral("lp1"));
        PrinterSettings settings;
        settings.output = Output::EscPosDevice;
        settings.device = path;
        QString refused;
        QString printerError;
        withoutPermission(path, [&] {
            try {
                settings.check();
            } catch (const Refusal &r) {
                refused = r.message();
            }
            try {
                settings.makePrinter()->printCopy(workedExampleSale(), ReceiptCopy::First);
            } catch (const PrinterError &e) {
                printerError = e.message();
            }
        });
        for (const QString &message : {refused, printerError}) {
            QVERIFY2(message.contains(QStringLiteral("没有权限")) && message.contains(QStringLiteral("lp 组"))
                         && message.contains(QStringLiteral("udev")) && message.contains(path),
                     qPrintable(message));
        }
        QCOMPARE(readFile(path), QByteArray());
    }

    void commandLineOptionsStandInForOneRun()
    {
        PrinterSettings stored;
        stored.output = Output::EscPosDevice;
        stored.device = QStringLiteral("/dev/usb/lp0");
        stored.paper = 58;
        stored.drawer = PrinterSettings::Drawer::PinTwo;

        const PrinterSettings network = stored.withOverrides({QStringLiteral("escpos+tcp://10.0.0.7:9101"), {}, {}, {}});
        QCOMPARE(network.output, Output::EscPosNetwork);
        QCOMPARE(network.host, QStringLiteral("10.0.0.7"));
        QCOMPARE(network.port, 9101);
        QCOMPARE(network.paper, 58);   // kept: --paper was not given
        QCOMPARE(network.drawer, PrinterSettings::Drawer::PinTwo);

        const PrinterSettings all = stored.withOverrides(
            {QStringLiteral("pdf:/srv/receipts"), QStringLiteral("80"), QStringLiteral("GB18030"), QStringLiteral("5")});
        QCOMPARE(all.output, Output::PdfFolder);
        QCOMPARE(all.pdfFolder, QStringLiteral("/srv/receipts"));
        QCOMPARE(all.paper, 80);
        QCOMPARE(all.encoding, TextEncoding::Gb18030);
        QCOMPARE(all.drawer, PrinterSettings::Drawer::PinFive);
        QCOMPARE(stored.withOverrides({{}, {}, {}, QStringLiteral("off")}).drawer, PrinterSettings::Drawer::Off);

        QVERIFY_THROWS_EXCEPTION(PrinterError, stored.withOverrides({{}, {}, QStringLiteral("utf8"), {}}));
        QVERIFY_THROWS_EXCEPTION(PrinterError, stored.withOverrides({{}, {}, {}, QStringLiteral("3")}));
        QVERIFY_THROWS_EXCEPTION(PrinterError, stored.withOverrides({{}, QStringLiteral("76"), {}, {}}));
    }

    void onlyAnEscPosOutputHasADrawer()
    {
        PrinterSettings settings;
        settings.drawer = PrinterSettings::Drawer::PinTwo;
        settings.output = Output::PdfFolder;
        settings.pdfFolder = dir.path();
        QVERIFY(!settings.makePrinter()->cashDrawer());
        // A system queue only when it is marked as an ESC/POS receipt printer.
        settings.output = Output::SystemPrinter;
        QVERIFY(!settings.makePrinter()->cashDrawer());
        settings.queueIsEscPos = true;
        QVERIFY(settings.makePrinter()->cashDrawer());
        settings.drawerAfterSale = false;
        QVERIFY(!settings.makePrinter()->opensDrawerAfterSale());
    }

    void testPageBytes()
    {
        // 58 mm paper, GBK: the shop name double size, the sample text, a
        // 32-column ruler, the time, the feed, the cut. Never a drawer kick.
        PrinterSettings settings;
        settings.output = Output::EscPosDevice;
        settings.device = makeDevice(dir, QStringLiteral("testpage"));
        settings.paper = 58;
        settings.drawer = PrinterSettings::Drawer::PinTwo;
        settings.printTestPage(QStringLiteral(u"福来超市"), QDateTime(QDate(2026, 12, 6), QTime(14, 30, 5)));

        const QByteArray expected = QByteArray("\x1B\x40\x1C\x26")
            // title: double size, " 福来超市", line spacing 50 dots
            + QByteArray("\x1D\x21\x11\x1C\x21\x0C \xB8\xA3\xC0\xB4\xB3\xAC\xCA\xD0\x1B\x33\x32\n")
            // 小票打印机测试页, back to normal size, spacing 26 dots
            + QByteArray("\x1D\x21\x00\x1C\x21\x00", 6)
            + QByteArray("\xD0\xA1\xC6\xB1\xB4\xF2\xD3\xA1\xBB\xFA\xB2\xE2\xCA\xD4\xD2\xB3\x1B\x33\x1A\n")
            // 编码:GBK 每行32列
            + QByteArray("\xB1\xE0\xC2\xEB:GBK \xC3\xBF\xD0\xD0" "32\xC1\xD0\n")
            // 中文打印测试：欢迎光临！
            + QByteArray("\xD6\xD0\xCE\xC4\xB4\xF2\xD3\xA1\xB2\xE2\xCA\xD4\xA3\xBA\xBB\xB6\xD3\xAD\xB9\xE2\xC1\xD9\xA3\xA1\n")
            + QByteArray("....+....1....+....2....+....3..\n")
            + QByteArray("12345678901234567890123456789012\n")
            // 时间:2026-12-06 14:30:05
            + QByteArray("\xCA\xB1\xBC\xE4:2026-12-06 14:30:05\n")
            + QByteArray(". \n. \n. \n.\n \n \n")
            + QByteArray("\x1B\x32\x1D\x56\x42\x00", 6);
        QCOMPARE(readFile(settings.device).toHex(' '), expected.toHex(' '));
    }

    void gb18030TestPageShowsWhatGbkLacks()
    {
        PrinterSettings settings;
        settings.output = Output::EscPosDevice;
        settings.device = makeDevice(dir, QStringLiteral("testpage18030"));
        settings.encoding = TextEncoding::Gb18030;
        settings.printTestPage(QStringLiteral(u"福来超市"), QDateTime(QDate(2026, 12, 6), QTime(14, 30, 5)));
        const QByteArray stream = readFile(settings.device);
        // 编码:GB18030 每行48列, then 生僻字：䶮𠮷𠀀 with its two- and four-byte codes.
        QVERIFY(stream.contains("\xB1\xE0\xC2\xEB:GB18030 \xC3\xBF\xD0\xD0" "48\xC1\xD0\n"));
        QVERIFY(stream.contains("\xC9\xFA\xC6\xA7\xD7\xD6\xA3\xBA\xFE\x9F\x95\x34\xB2\x35\x95\x32\x82\x36\n"));
        QVERIFY(stream.contains(QByteArray(4, '.') + '+' + QByteArray(4, '.') + '1'));
        QVERIFY(stream.contains("123456789012345678901234567890123456789012345678\n"));
    }

    void aStoredChangeReachesTheNextPrintWithoutARestart()
    {
        const QString first = makeDevice(dir, QStringLiteral("first"));
        const QString second = makeDevice(dir, QStringLiteral("second"));
        PrinterSettings settings;
        settings.output = Output::EscPosDevice;
        settings.device = first;
        TillSettings till(data->db);
        settings.store(till);

        TillPrinter printers;
        ReceiptPrinter &printer = printers.current(data->db);
        printer.printCopy(workedExampleSale(), ReceiptCopy::First);
        // Nothing changed: the same printer (a system printer keeps its queue).
        QCOMPARE(&printers.current(data->db), &printer);

        settings.device = second;
        settings.encoding = TextEncoding::Gb18030;
        settings.store(till);
        QCOMPARE(printers.current(data->db).encoding(), TextEncoding::Gb18030);
        printers.current(data->db).printCopy(workedExampleSale(), ReceiptCopy::First);
        QCOMPARE(readFile(first).count("\x1D\x56\x42"), 1);
        QCOMPARE(readFile(second).count("\x1D\x56\x42"), 1);

        // An option of the command line wins over what is stored.
        const QString third = makeDevice(dir, QStringLiteral("third"));
        printers.setOverrides({QStringLiteral("escpos:") + third, {}, QStringLiteral("gbk"), {}});
        printers.current(data->db).printCopy(workedExampleSale(), ReceiptCopy::First);
        QCOMPARE(readFile(second).count("\x1D\x56\x42"), 1);
        QCOMPARE(readFile(third).count("\x1D\x56\x42"), 1);
        QCOMPARE(printers.current(data->db).encoding(), TextEncoding::Gbk);
    }
};

QTEST_GUILESS_MAIN(PrinterSettingsTest)
#include "tst_printersettings.moc"
