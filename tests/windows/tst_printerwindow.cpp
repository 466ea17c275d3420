#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "devicefile.h"
#include "typing.h"
#include "withnames.h"

#include "storage/tables.h"
#include "storage/tillsettings.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/skinbutton.h"
#include "windows/receiptprinterwindow.h"
#include "windows/shopsettingswindow.h"

#include <QLabel>
#include <QProcess>

namespace {

using Output = PrinterSettings::Output;
using Drawer = PrinterSettings::Drawer;

const char kStored[] = "select {name}, {value} from {TillSettings} where {till} = 1 order by {name}";

bool waitActive(QWidget *window)
{
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

// Shop settings (F2), then its receipt printer button, as a shop owner goes.
ReceiptPrinterWindow *openPrinterWindow(CashierWindow *w)
{
    QTest::keyClick(w->productBox(), Qt::Key_F2);
    ShopSettingsWindow *settings = w->settingsWindow();
    if (!settings || !waitActive(settings))
        return nullptr;
    QTest::mouseClick(settings->printerButton(), Qt::LeftButton);
    ReceiptPrinterWindow *printer = settings->printerWindow();
    if (!printer || !waitActive(printer))
        return nullptr;
    return printer;
}

void click(QWidget *box)
{
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
}

// Replaces a box's text the way a user does: select everything, type.
void retype(FlatEdit *box, const QString &text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    typeText(box, text);
}

void retype(FlatComboBox *box, const QString &text)
{
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClick(box->lineEdit(), Qt::Key_Delete);
    typeText(box->lineEdit(), text);
}

QString stored(TestDatabase &file, const QString &name)
{
    return file.scalar(withNames("select {value} from {TillSettings} where {till} = 1 and {name} = ?"), {name}).toString();
}

} // namespace

class TestPrinterWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void eachOutputIsStoredAndShownAgain()
    {
        CashierFixture f;
        CashierWindow *w = f.open();
        ReceiptPrinterWindow *p = openPrinterWindow(w);
        QVERIFY(p);
        // Never set up: the system's default printer, GBK, no drawer, price codes 20-29.
        QVERIFY(p->outputBox(Output::SystemPrinter)->isChecked());
        QCOMPARE(p->queueBox()->currentText(), QStringLiteral("系统默认打印机"));
        QVERIFY(p->encodingBox(TextEncoding::Gbk)->isChecked());
        QVERIFY(p->drawerBox(Drawer::Off)->isChecked());
        QVERIFY(!p->drawerAfterSaleBox()->isEnabled());   // no drawer, nothing to open after a sale
        QVERIFY(!p->pulseOnBox()->isEnabled() && !p->pulseOffBox()->isEnabled());
        // The network printer's address does not apply: no white box to type into.
        const auto middle = [](QWidget *box) { return box->grab().toImage().pixelColor(box->rect().center()); };
        QVERIFY(!p->hostBox()->isEnabled());
        QVERIFY(middle(p->hostBox()) != QColor(Qt::white));
        QCOMPARE(p->portBox()->text(), QStringLiteral("9100"));
        QVERIFY(p->scaleModeBox(ScaleCodes::Mode::Price)->isChecked());

        // Once PDF is chosen, a click into its folder box puts the cursor there.
        click(p->outputBox(Output::PdfFolder));
        QTest::mouseClick(p->pdfFolderBox(), Qt::LeftButton, {}, QPoint(6, 6));
        QVERIFY(p->pdfFolderBox()->hasFocus());

        // A receipt printer on a device file, 58 mm, GB18030, drawer on pin 5.
        const QString device = makeDevice(dir, QStringLiteral("lp0"));
        click(p->outputBox(Output::EscPosDevice));
        QVERIFY(!p->outputBox(Output::SystemPrinter)->isChecked());
        QVERIFY(p->deviceBox()->isEnabled() && !p->hostBox()->isEnabled());
        QCOMPARE(middle(p->deviceBox()->lineEdit()), QColor(Qt::white));
        retype(p->deviceBox(), device);
        click(p->paperBox(58));
        click(p->encodingBox(TextEncoding::Gb18030));
        click(p->drawerBox(Drawer::PinFive));
        QVERIFY(p->drawerAfterSaleBox()->isEnabled() && p->pulseOnBox()->isEnabled());
        retype(p->pulseOnBox(), QStringLiteral("30"));
        retype(p->pulseOffBox(), QStringLiteral("120"));
        click(p->drawerAfterSaleBox());
        click(p->scaleModeBox(ScaleCodes::Mode::Weight));
        retype(p->firstPrefixBox(), QStringLiteral("21"));
        retype(p->lastPrefixBox(), QStringLiteral("23"));
        QCOMPARE(p->maxQuantityBox()->text(), QStringLiteral("9999"));
        retype(p->maxQuantityBox(), QStringLiteral("500"));
        QTest::keyClick(p->pulseOffBox(), Qt::Key_F2);
        QCOMPARE(f.boxes->count(), 0);
        QVERIFY(!p->isVisible());
        QCOMPARE(stored(*f.file, QStringLiteral("printer.output")), QStringLiteral("device"));
        QCOMPARE(stored(*f.file, QStringLiteral("printer.device")), device);
        QCOMPARE(stored(*f.file, QStringLiteral("printer.paper")), QStringLiteral("58"));
        QCOMPARE(stored(*f.file, QStringLiteral("printer.encoding")), QStringLiteral("gb18030"));
        QCOMPARE(stored(*f.file, QStringLiteral("drawer.pin")), QStringLiteral("5"));
        QCOMPARE(stored(*f.file, QStringLiteral("drawer.pulse_on")), QStringLiteral("30"));
        QCOMPARE(stored(*f.file, QStringLiteral("drawer.pulse_off")), QStringLiteral("120"));
        QCOMPARE(stored(*f.file, QStringLiteral("drawer.after_sale")), QStringLiteral("no"));
        QCOMPARE(stored(*f.file, QStringLiteral("scale.codes")), QStringLiteral("weight"));
        QCOMPARE(stored(*f.file, QStringLiteral("scale.prefix_from")), QStringLiteral("21"));
        QCOMPARE(stored(*f.file, QStringLiteral("line.max_quantity")), QStringLiteral("500"));
        QCOMPARE(stored(*f.file, QStringLiteral("line.max_amount")), QStringLiteral("99999"));

        // Shown again as stored.
        QCOMPARE(openPrinterWindow(w), p);
        QVERIFY(p->outputBox(Output::EscPosDevice)->isChecked());
        QCOMPARE(p->deviceBox()->currentText(), device);
        QVERIFY(p->paperBox(58)->isChecked() && !p->paperBox(80)->isChecked());
        QVERIFY(p->encodingBox(TextEncoding::Gb18030)->isChecked());
        QVERIFY(p->drawerBox(Drawer::PinFive)->isChecked());
        QCOMPARE(p->pulseOnBox()->text(), QStringLiteral("30"));
        QVERIFY(!p->drawerAfterSaleBox()->isChecked());
        QVERIFY(p->scaleModeBox(ScaleCodes::Mode::Weight)->isChecked());
        QCOMPARE(p->lastPrefixBox()->text(), QStringLiteral("23"));

        // A network receipt printer.
        click(p->outputBox(Output::EscPosNetwork));
        retype(p->hostBox(), QStringLiteral("127.0.0.1"));
        retype(p->portBox(), QStringLiteral("9101"));
        QTest::mouseClick(p->saveButton(), Qt::LeftButton);
        QCOMPARE(f.boxes->count(), 0);
        QCOMPARE(stored(*f.file, QStringLiteral("printer.output")), QStringLiteral("network"));
        QCOMPARE(stored(*f.file, QStringLiteral("printer.host")), QStringLiteral("127.0.0.1"));
        QCOMPARE(stored(*f.file, QStringLiteral("printer.port")), QStringLiteral("9101"));
        // The device of before is kept for when it is chosen again.
        QCOMPARE(stored(*f.file, QStringLiteral("printer.device")), device);
        QCOMPARE(openPrinterWindow(w), p);
        QVERIFY(p->outputBox(Output::EscPosNetwork)->isChecked());
        QCOMPARE(p->hostBox()->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(p->portBox()->text(), QStringLiteral("9101"));

        // A PDF folder.
        const QString folder = dir.filePath(QStringLiteral("receipts"));
        click(p->outputBox(Output::PdfFolder));
        retype(p->pdfFolderBox(), folder);
        QTest::keyClick(p->pdfFolderBox(), Qt::Key_F2);
        QCOMPARE(stored(*f.file, QStringLiteral("printer.output")), QStringLiteral("pdf"));
        QCOMPARE(stored(*f.file, QStringLiteral("printer.pdf_folder")), folder);
        QCOMPARE(openPrinterWindow(w), p);
        QVERIFY(p->outputBox(Output::PdfFolder)->isChecked());
        QCOMPARE(QDir::fromNativeSeparators(p->pdfFolderBox()->text()), folder);

        // A system printer, chosen from the spooler's list, marked as ESC/POS.
        click(p->outputBox(Output::SystemPrinter));
        const QStringList queues = p->queueBox()->items();
        QCOMPARE(queues.first(), QStringLiteral("系统默认打印机"));
        const qsizetype fenwo = queues.indexOf(QStringLiteral("FenwoPDF（默认）"));
        if (fenwo > 0) {
            p->queueBox()->setCurrentIndex(int(fenwo));
            click(p->queueIsEscPosBox());
        }
        QTest::keyClick(p->queueBox(), Qt::Key_F2);
        QCOMPARE(f.boxes->count(), 0);
        QCOMPARE(stored(*f.file, QStringLiteral("printer.output")), QStringLiteral("system"));
        QCOMPARE(stored(*f.file, QStringLiteral("printer.queue")), fenwo > 0 ? QStringLiteral("FenwoPDF") : QString());
        QCOMPARE(openPrinterWindow(w), p);
        QCOMPARE(p->queueBox()->currentText(), fenwo > 0 ? QStringLiteral("FenwoPDF（默认）") : QStringLiteral("系统默认打印机"));
        if (fenwo <= 0)
            QSKIP("the default printer is not the FenwoPDF test queue: the list part was not checked");
        QVERIFY(p->queueIsEscPosBox()->isChecked());
    }

    void refusedValuesLeaveTheStoredSettingsAsTheyWere_data()
    {
        QTest::addColumn<int>("output");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("said");
        QTest::newRow("port out of range") << int(Output::EscPosNetwork) << QStringLiteral("70000")
                                           << QStringLiteral("1 到 65535");
        QTest::newRow("port that is no number") << int(Output::EscPosNetwork) << QStringLiteral("91OO")
                                                << QStringLiteral("1 到 65535");
        QTest::newRow("host that does not resolve") << int(Output::EscPosNetwork)
                                                    << QStringLiteral("receipt-printer.invalid")
                                                    << QStringLiteral("找不到网络打印机");
        QTest::newRow("device that cannot be opened") << int(Output::EscPosDevice) << QStringLiteral("/dev/usb/lp97")
                                                      << QStringLiteral("找不到小票打印机 /dev/usb/lp97");
        QTest::newRow("folder that cannot be written") << int(Output::PdfFolder) << QStringLiteral("/proc/version/receipts")
                                                       << QStringLiteral("不能写入");
        QTest::newRow("system queue that is not there") << int(Output::SystemPrinter) << QStringLiteral("NoSuchQueue")
                                                        << QStringLiteral("系统里没有打印机 NoSuchQueue");
        QTest::newRow("pulse out of range") << -2 << QStringLiteral("256") << QStringLiteral("1 到 255");
        QTest::newRow("prefixes out of order") << -1 << QStringLiteral("29") << QStringLiteral("前缀");
        QTest::newRow("line limit that is no number") << -3 << QStringLiteral("9千") << QStringLiteral("上限");
    }

    void refusedValuesLeaveTheStoredSettingsAsTheyWere()
    {
        QFETCH(int, output);
        QFETCH(QString, text);
        QFETCH(QString, said);
        CashierFixture f;
        CashierWindow *w = f.open();
        PrinterSettings earlier;
        earlier.output = Output::PdfFolder;
        earlier.pdfFolder = dir.path();
        TillSettings till(w->database());
        earlier.store(till);
        const auto before = f.file->rows(withNames(kStored));

        ReceiptPrinterWindow *p = openPrinterWindow(w);
        QVERIFY(p);
        switch (output) {
        case int(Output::EscPosNetwork):
            click(p->outputBox(Output::EscPosNetwork));
            retype(p->hostBox(), text.contains(QLatin1Char('.')) ? text : QStringLiteral("127.0.0.1"));
            if (!text.contains(QLatin1Char('.')))
                retype(p->portBox(), text);
            break;
        case int(Output::EscPosDevice):
            click(p->outputBox(Output::EscPosDevice));
            retype(p->deviceBox(), text);
            break;
        case int(Output::PdfFolder):
            retype(p->pdfFolderBox(), text);
            break;
        case int(Output::SystemPrinter):
            click(p->outputBox(Output::SystemPrinter));
            retype(p->queueBox(), text);
            break;
        case -2:
            click(p->drawerBox(Drawer::PinTwo));   // the pulse boxes apply only to a drawer
            retype(p->pulseOffBox(), text);
            break;
        case -3:
            retype(p->maxQuantityBox(), text);
            break;
        default:
            retype(p->firstPrefixBox(), text);
            retype(p->lastPrefixBox(), QStringLiteral("20"));
        }
        QTest::mouseClick(p->saveButton(), Qt::LeftButton);
        QCOMPARE(f.boxes->count(), 1);
        QVERIFY2(f.boxes->lastText().contains(said), qPrintable(f.boxes->lastText()));
        QVERIFY(p->isVisible());
        QCOMPARE(f.file->rows(withNames(kStored)), before);
    }

    void theDrawerNoteSaysWhenTheSystemPrinterOpensIt()
    {
        CashierFixture f;
        ReceiptPrinterWindow *p = openPrinterWindow(f.open());
        QVERIFY(p);
        QCOMPARE(p->drawerNote()->text(), QStringLiteral("不用钱箱。"));
        click(p->drawerBox(Drawer::PinTwo));
        QVERIFY2(p->drawerNote()->text().contains(QStringLiteral("只有它是 ESC/POS 小票打印机时才能打开钱箱")),
                 qPrintable(p->drawerNote()->text()));
        click(p->queueIsEscPosBox());
        QVERIFY2(p->drawerNote()->text().contains(QStringLiteral("原始数据")), qPrintable(p->drawerNote()->text()));
        click(p->outputBox(Output::PdfFolder));
        QVERIFY2(p->drawerNote()->text().contains(QStringLiteral("PDF 文件夹没有钱箱")), qPrintable(p->drawerNote()->text()));
    }

    void theTestPagePrintsWhatIsShownWithoutStoringIt()
    {
        CashierFixture f;
        f.file->setSettings(QStringLiteral("001"), QStringLiteral("福来超市"), QString());
        ReceiptPrinterWindow *p = openPrinterWindow(f.open());
        QVERIFY(p);
        const QString device = makeDevice(dir, QStringLiteral("testpage"));
        click(p->outputBox(Output::EscPosDevice));
        retype(p->deviceBox(), device);
        click(p->paperBox(58));
        click(p->drawerBox(Drawer::PinTwo));
        QTest::keyClick(p->deviceBox(), Qt::Key_F5);
        QCOMPARE(f.boxes->count(), 1);
        QCOMPARE(f.boxes->lastText(), QStringLiteral("提示：测试页已经送到打印机!"));
        const QByteArray page = readFile(device);
        QVERIFY(page.startsWith("\x1B\x40\x1C\x26\x1D\x21\x11\x1C\x21\x0C \xB8\xA3\xC0\xB4\xB3\xAC\xCA\xD0"));
        QVERIFY(page.contains("12345678901234567890123456789012\n"));
        QVERIFY(page.endsWith(QByteArray("\x1D\x56\x42\x00", 4)));   // cut, and no drawer kick
        QCOMPARE(f.file->count(Tables::TillSettings::table), 0);
        QVERIFY(p->isVisible());

        // A printer that fails is shown as a receipt's failure is.
        retype(p->deviceBox(), dir.filePath(QStringLiteral("unplugged")));
        QTest::mouseClick(p->testPageButton(), Qt::LeftButton);
        QCOMPARE(f.boxes->count(), 2);
        QCOMPARE(f.boxes->seen().last().icon, QMessageBox::Critical);
        QVERIFY2(f.boxes->lastText().startsWith(QStringLiteral("小票打印机不能用（Printer selected is not valid）")),
                 qPrintable(f.boxes->lastText()));
    }
};

FENWO_TEST_MAIN(TestPrinterWindow)
#include "tst_printerwindow.moc"
