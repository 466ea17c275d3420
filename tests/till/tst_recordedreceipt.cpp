#include "devicefile.h"
#include "opendatabase.h"
#include "papertray.h"
#include "testdatabase.h"
#include "withnames.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/tables.h"
#include "base/textcodec.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptprinter.h"
#include "till/recordedreceipt.h"
#include "till/till.h"

#include <QTest>

namespace {

// Receipts are sent in GBK unless a till is set up otherwise.
const TextCodec gbk(TextEncoding::Gbk);

} // namespace

class TestRecordedReceipt : public QObject
{
    Q_OBJECT

    std::unique_ptr<OpenDatabase> data;
    QTemporaryDir dir;

private slots:
    void init()
    {
        data = std::make_unique<OpenDatabase>();
        data->file.addProduct(QStringLiteral("6901"), QStringLiteral("康师傅红烧牛肉面加量装"), 4.5);
        data->file.addProduct(QStringLiteral("100"), QStringLiteral("一毛"), 0.1);
        data->file.addProduct(QStringLiteral("200"), QStringLiteral("两毛"), 0.2);
        data->file.setSettings(QStringLiteral("小王"), QStringLiteral("      好邻居便利店"), QStringLiteral("欢迎光临\r\n谢谢惠顾"));
    }
    void cleanup()
    {
        data.reset();
    }

    // The reprint is the receipt the customer got, byte for byte on the
    // receipt printer, with the mark under the title; nothing is recorded.
    void aReprintIsTheOriginalWithTheMarkAndRecordsNothing()
    {
        Till till(data->db);
        till.reopenSale();
        for (const char *code : {"6901", "100", "200"}) {
            const auto found = till.lookUp(QString::fromLatin1(code));
            QVERIFY(found);
            till.addLine(found->name, QStringLiteral("1.5"), found->price);
        }
        const QString original = makeDevice(dir, QStringLiteral("original"));
        const auto printer = ReceiptPrinter::create(QStringLiteral("escpos:") + original, QStringLiteral("80"));
        QVERIFY(till.complete({QStringLiteral("261206143005"), QStringLiteral("2026-12-06"), QStringLiteral("老李"), {}, {}, {}},
                              *printer, 1));
        const int recorded = data->file.count(Tables::SalesRecord::table);
        QCOMPARE(recorded, 3);

        const QString again = makeDevice(dir, QStringLiteral("again"));
        const auto reprinter = ReceiptPrinter::create(QStringLiteral("escpos:") + again, QStringLiteral("80"));
        RecordedReceipt::reprint(data->db, QStringLiteral(" 261206143005 "), *reprinter);

        // The mark is the first line after the title, so the body's line
        // spacing (ESC 3 26) is set at its end instead of the number line's.
        QByteArray expected = readFile(original);
        const QByteArray bodySpacing("\x1b\x33\x1a\n");
        const QByteArray numberLine = gbk.encode(QStringLiteral("单号:261206143005"));
        QCOMPARE(expected.count(numberLine + bodySpacing), 1);
        expected.replace(numberLine + bodySpacing,
                         gbk.encode(QStringLiteral("重印")) + bodySpacing + numberLine + '\n');
        QCOMPARE(readFile(again), expected);

        QCOMPARE(data->file.count(Tables::SalesRecord::table), recorded);
        QCOMPARE(data->file.count(Tables::OpenSale::table), 0);

        // The shop name and remark as they stand now.
        data->file.exec(withNames("update {ShopSettings} set {shopName} = ?, {remark} = ?"), {QStringLiteral("新店名"), QStringLiteral("新地址")});
        const ReceiptInput now = RecordedReceipt::load(data->db, QStringLiteral("261206143005"));
        QCOMPARE(now.shopName, QStringLiteral("新店名"));
        QCOMPARE(now.remark, QStringLiteral("新地址"));
        QCOMPARE(now.cashier, QStringLiteral("老李"));
        QCOMPARE(now.saleDate, QStringLiteral("2026-12-06"));
    }

    // Older data gave one number to two sales: each is printed as its own
    // receipt, under its own cashier, with its own total.
    void twoSalesUnderOneNumberAreTwoReceipts()
    {
        data->file.addRecordLine(QStringLiteral("261206143005"), QStringLiteral("小王"), QStringLiteral("2026-12-06"),
                                 QStringLiteral("14:30"), QStringLiteral("一毛"), 1, 0.1);
        data->file.addRecordLine(QStringLiteral("261206143005"), QStringLiteral("老李"), QStringLiteral("2026-12-06"),
                                 QStringLiteral("14:30"), QStringLiteral("两毛"), 2, 0.4);
        data->file.addRecordLine(QStringLiteral("261206143005"), QStringLiteral("小王"), QStringLiteral("2026-12-06"),
                                 QStringLiteral("14:30"), QStringLiteral("两毛"), 1, 0.2);
        PaperTray tray;
        RecordedReceipt::reprint(data->db, QStringLiteral("261206143005"), tray);
        QCOMPARE(tray.jobs.size(), 2);
        for (const char *line : {"收银员:小王", "合计金额:0.3"})
            QVERIFY2(tray.jobs[0].join(QLatin1Char('\n')).contains(QString::fromUtf8(line)), line);
        for (const char *line : {"收银员:老李", "合计金额:0.4"})
            QVERIFY2(tray.jobs[1].join(QLatin1Char('\n')).contains(QString::fromUtf8(line)), line);
    }

    void anUnknownNumberIsRefused()
    {
        for (const QString &number : {QStringLiteral("999999999999"), QStringLiteral("  ")}) {
            try {
                RecordedReceipt::load(data->db, number);
                QFAIL("a receipt was made of nothing");
            } catch (const Refusal &refusal) {
                QVERIFY(!refusal.message().isEmpty());
            }
        }
    }
};

QTEST_MAIN(TestRecordedReceipt)
#include "tst_recordedreceipt.moc"
