#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "devicefile.h"
#include "typing.h"
#include "withnames.h"

#include "storage/tables.h"
#include "storage/tillsettings.h"
#include "receipt/cashdrawer.h"
#include "receipt/escposfilelink.h"
#include "receipt/escposprintsurface.h"
#include "receipt/receiptprinter.h"
#include "widgets/datagrid.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/skinbutton.h"
#include "windows/receiptprinterwindow.h"
#include "windows/shopsettingswindow.h"

#include <QLabel>

namespace {

using Output = PrinterSettings::Output;

const QByteArray kCut("\x1D\x56\x42\x00", 4);
const QByteArray kKickPin2("\x1B\x70\x00\x19\xFA", 5);

// A receipt printer on one device file with its drawer kicked through another,
// so that what each was sent can be told apart.
std::unique_ptr<ReceiptPrinter> printerWithDrawer(const QString &receipts, const QString &drawer)
{
    auto printer = std::make_unique<ReceiptPrinter>(
        std::make_unique<EscPosPrintSurface>(std::make_unique<EscPosFileLink>(receipts), 32));
    printer->setCashDrawer(std::make_unique<CashDrawer>(std::make_unique<EscPosFileLink>(drawer), CashDrawer::Pulse{}),
                           true);
    return printer;
}

} // namespace

// The cash drawer at the till: after the receipt of a completed sale, and by
// F7 without a sale, through the receipt printer the till's settings name.
class TestDrawer : public QObject
{
    Q_OBJECT

    std::unique_ptr<CashierFixture> f;
    CashierWindow *w = nullptr;
    QTemporaryDir dir;

    void ringUp()
    {
        for (const char *code : {"6901", "6902"}) {
            typeText(w->productBox(), QString::fromLatin1(code));
            QTest::keyClick(w->productBox(), Qt::Key_Return);
        }
        QCOMPARE(f->file->count(Tables::OpenSale::table), 2);
    }

    void storeDevice(const QString &path, PrinterSettings::Drawer drawer, bool afterSale = true)
    {
        PrinterSettings settings;
        settings.output = Output::EscPosDevice;
        settings.device = path;
        settings.drawer = drawer;
        settings.drawerAfterSale = afterSale;
        TillSettings till(w->database());
        settings.store(till);
    }

    int records() { return f->file->count(Tables::SalesRecord::table); }

private slots:
    void init()
    {
        f = std::make_unique<CashierFixture>();
        f->file->addProduct(QStringLiteral("6901"), QStringLiteral("康师傅红烧牛肉面"), 4.5);
        f->file->addProduct(QStringLiteral("6902"), QStringLiteral("可口可乐"), 9.6);
        f->file->addProduct(QStringLiteral("2012345"), QStringLiteral("散装糖果"), 39.8);
        f->file->setSettings(QStringLiteral("小王"), QStringLiteral("好邻居便利店"), QString());
        w = f->open();
    }
    void cleanup()
    {
        f.reset();
        w = nullptr;
    }

    void theDrawerOpensAfterTheCutOfARecordedSale()
    {
        const QString device = makeDevice(dir, QStringLiteral("lp-sale"));
        storeDevice(device, PrinterSettings::Drawer::PinTwo);
        ringUp();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 0);
        QCOMPARE(records(), 2);
        const QByteArray sent = readFile(device);
        // The receipt, its cut, then the kick as a job of its own.
        QVERIFY(sent.startsWith("\x1B\x40\x1C\x26"));
        QVERIFY(sent.endsWith(kCut + kKickPin2));
        QCOMPARE(sent.count(kKickPin2), 1);

        // Not after a sale when the shop turned that off; F7 still opens it.
        storeDevice(device, PrinterSettings::Drawer::PinTwo, false);
        ringUp();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(records(), 4);
        QVERIFY(readFile(device).endsWith(kCut));
        QTest::keyClick(w->productBox(), Qt::Key_F7);
        QVERIFY(readFile(device).endsWith(kCut + kKickPin2));
    }

    // F12 with no line prints the empty receipt, as it always did, but
    // takes no money: the drawer stays shut (F7 is the key for that).
    void anEmptySaleKeepsTheDrawerShut()
    {
        const QString device = makeDevice(dir, QStringLiteral("lp-empty"));
        storeDevice(device, PrinterSettings::Drawer::PinTwo);
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 0);
        const QByteArray sent = readFile(device);
        QVERIFY(sent.startsWith("\x1B\x40\x1C\x26"));
        QVERIFY(sent.endsWith(kCut));
        QCOMPARE(sent.count(kKickPin2), 0);
        QCOMPARE(records(), 0);
    }

    void aReceiptThatFailsGivesNoKickAndRecordsNothing()
    {
        const QString unplugged = dir.filePath(QStringLiteral("unplugged"));
        const QString drawer = makeDevice(dir, QStringLiteral("drawer"));
        w->setReceiptPrinter(printerWithDrawer(unplugged, drawer));
        ringUp();
        const QString receiptNumber = w->receiptNumberBox()->text();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 1);
        QVERIFY(f->boxes->lastText().contains(QStringLiteral("Printer selected is not valid")));
        QCOMPARE(records(), 0);
        QCOMPARE(readFile(drawer), QByteArray());
        QCOMPARE(f->file->count(Tables::OpenSale::table), 2);
        QCOMPARE(w->receiptNumberBox()->text(), receiptNumber);

        // Printed at the next try: recorded once, and the drawer opens once.
        const QString printer = makeDevice(dir, QStringLiteral("plugged"));
        w->setReceiptPrinter(printerWithDrawer(printer, drawer));
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(records(), 2);
        QCOMPARE(readFile(drawer), kKickPin2);
    }

    void aDrawerThatFailsAfterTheReceiptIsANoticeAndTheSaleStands()
    {
        const QString printer = makeDevice(dir, QStringLiteral("printer"));
        w->setReceiptPrinter(printerWithDrawer(printer, dir.filePath(QStringLiteral("no-drawer"))));
        ringUp();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(records(), 2);
        QCOMPARE(f->file->count(Tables::OpenSale::table), 0);
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("0"));
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(f->boxes->seen().last().icon, QMessageBox::NoIcon);
        QVERIFY2(f->boxes->lastText().contains(QStringLiteral("钱箱没有打开")), qPrintable(f->boxes->lastText()));
        QVERIFY(readFile(printer).endsWith(kCut));
    }

    void f7SendsOnlyTheKick()
    {
        const QString device = makeDevice(dir, QStringLiteral("lp-f7"));
        PrinterSettings settings;
        settings.output = Output::EscPosDevice;
        settings.device = device;
        settings.drawer = PrinterSettings::Drawer::PinFive;
        settings.pulseOn = 50;
        settings.pulseOff = 100;
        TillSettings till(w->database());
        settings.store(till);
        ringUp();
        const QString total = w->totalAmountLabel()->text();

        QTest::keyClick(w->productBox(), Qt::Key_F7);
        QCOMPARE(f->boxes->count(), 0);
        QCOMPARE(readFile(device).toHex(' '), QByteArray("1b 70 01 32 64"));
        QCOMPARE(records(), 0);
        QCOMPARE(f->file->count(Tables::OpenSale::table), 2);
        QCOMPARE(w->totalAmountLabel()->text(), total);
        // F4 is the product list's key, not the drawer's.
        QTest::keyClick(w->productBox(), Qt::Key_F4);
        QCOMPARE(readFile(device).size(), 5);
    }

    void f7WithoutADrawerSaysSo()
    {
        const QString device = makeDevice(dir, QStringLiteral("lp-none"));
        storeDevice(device, PrinterSettings::Drawer::Off);
        QTest::keyClick(w->productBox(), Qt::Key_F7);
        QCOMPARE(f->boxes->count(), 1);
        QVERIFY2(f->boxes->lastText().contains(QStringLiteral("没有设置钱箱")), qPrintable(f->boxes->lastText()));
        QCOMPARE(readFile(device), QByteArray());
    }

    void aPrinterChosenInTheWindowPrintsTheNextSale()
    {
        // Through the windows a shop owner uses, with the cashier screen left running.
        const QString pdfs = dir.filePath(QStringLiteral("pdf"));
        PrinterSettings settings;
        settings.output = Output::PdfFolder;
        settings.pdfFolder = pdfs;
        TillSettings till(w->database());
        settings.store(till);
        ringUp();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(QDir(pdfs).entryList({QStringLiteral("*.pdf")}).size(), 1);

        QTest::keyClick(w->productBox(), Qt::Key_F2);
        ShopSettingsWindow *shop = w->settingsWindow();
        QVERIFY(shop && QTest::qWaitFor([shop] { return QApplication::activeWindow() == shop; }));
        QTest::mouseClick(shop->printerButton(), Qt::LeftButton);
        ReceiptPrinterWindow *p = shop->printerWindow();
        QVERIFY(p && QTest::qWaitFor([p] { return QApplication::activeWindow() == p; }));
        const QString device = makeDevice(dir, QStringLiteral("lp-new"));
        QTest::mouseClick(p->outputBox(Output::EscPosDevice), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
        p->deviceBox()->setEditText(device);
        QTest::mouseClick(p->drawerBox(PrinterSettings::Drawer::PinTwo), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
        QTest::keyClick(p->deviceBox(), Qt::Key_F2);
        QVERIFY(!p->isVisible());
        QTest::keyClick(shop->cashierBox(), Qt::Key_Escape);
        QVERIFY(!shop->isVisible());

        ringUp();
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        QCOMPARE(f->boxes->count(), 0);
        QCOMPARE(records(), 4);
        QCOMPARE(QDir(pdfs).entryList({QStringLiteral("*.pdf")}).size(), 1);
        QVERIFY(readFile(device).contains(QByteArray("\xBF\xC9\xBF\xDA\xBF\xC9\xC0\xD6")));   // 可口可乐
        QVERIFY(readFile(device).endsWith(kCut + kKickPin2));
    }

    void aScaleCodeAtTheTill()
    {
        w->setReceiptPrinter(ReceiptPrinter::create(QStringLiteral("pdf:") + dir.path()));
        // A weight code: 1.234 kg at the catalogue's 39.8 a kilogram.
        TillSettings till(w->database());
        till.store(ScaleCodes(ScaleCodes::Mode::Weight, 20, 29).values());
        typeText(w->productBox(), QStringLiteral("2012345012349"));
        QTest::keyClick(w->productBox(), Qt::Key_Return);
        QCOMPARE(f->boxes->count(), 0);
        const auto rows = f->file->rows(withNames("select {code}, {name}, {quantity}, {price} from {OpenSale}"));
        QCOMPARE(rows, (QList<QVariantList>{{QStringLiteral("2012345"), QStringLiteral("散装糖果"), 1.234, 39.8}}));
        QCOMPARE(w->quantityBox()->text(), QStringLiteral("1"));

        // A wrong check digit: told, nothing added, the box ready for the next scan.
        typeText(w->productBox(), QStringLiteral("2012345012340"));
        QTest::keyClick(w->productBox(), Qt::Key_Return);
        QCOMPARE(f->boxes->count(), 1);
        QVERIFY2(f->boxes->lastText().contains(QStringLiteral("校验位")), qPrintable(f->boxes->lastText()));
        QCOMPARE(f->file->count(Tables::OpenSale::table), 1);
        QCOMPARE(w->productBox()->currentText(), QString());
        QCOMPARE(w->focusWidget(), w->productBox());
    }
};

FENWO_TEST_MAIN(TestDrawer)
#include "tst_drawer.moc"
