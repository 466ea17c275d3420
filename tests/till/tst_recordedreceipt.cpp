#include "testdatabase.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "base/gbkcodec.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptprinter.h"
#include "till/recordedreceipt.h"
#include "till/till.h"

#include <QTest>

namespace {

// A file standing in for a receipt printer's device file.
QString deviceFile(const QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    QFile(path).open(QIODevice::WriteOnly);
    return path;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestRecordedReceipt : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> file;
    std::unique_ptr<Database> db;
    QTemporaryDir dir;

private slots:
    void init()
    {
        file = std::make_unique<TestDatabase>();
        file->addProduct(QStringLiteral("6901"), QStringLiteral("康师傅红烧牛肉面加量装"), 4.5);
        file->addProduct(QStringLiteral("100"), QStringLiteral("一毛"), 0.1);
        file->addProduct(QStringLiteral("200"), QStringLiteral("两毛"), 0.2);
        file->setSettings(QStringLiteral("小王"), QStringLiteral("      好邻居便利店"), QStringLiteral("欢迎光临\r\n谢谢惠顾"));
        db = std::make_unique<Database>();
        db->open(file->path());
    }
    void cleanup()
    {
        db.reset();
        file.reset();
    }

    // The reprint is the receipt the customer got, byte for byte on the
    // receipt printer, with the mark under the title; nothing is recorded.
    void aReprintIsTheOriginalWithTheMarkAndRecordsNothing()
    {
        Till till(*db);
        till.reopenSale();
        for (const char *code : {"6901", "100", "200"}) {
            const auto found = till.lookUp(QString::fromLatin1(code));
            QVERIFY(found);
            till.addLine(found->name, QStringLiteral("1.5"), found->price);
        }
        const QString original = deviceFile(dir, QStringLiteral("original"));
        const auto printer = ReceiptPrinter::create(QStringLiteral("escpos:") + original, QStringLiteral("80"));
        QVERIFY(till.complete({QStringLiteral("261206143005"), QStringLiteral("2026-12-06"), QStringLiteral("老李"), {}, {}},
                              *printer, 1));
        const int recorded = file->count(QStringLiteral("XiaoShouRecord"));
        QCOMPARE(recorded, 3);

        const QString again = deviceFile(dir, QStringLiteral("again"));
        const auto reprinter = ReceiptPrinter::create(QStringLiteral("escpos:") + again, QStringLiteral("80"));
        RecordedReceipt::reprint(*db, QStringLiteral(" 261206143005 "), *reprinter);

        // The mark is the first line after the title, so the body's line
        // spacing (ESC 3 26) is set at its end instead of the number line's.
        QByteArray expected = bytesOf(original);
        const QByteArray bodySpacing("\x1b\x33\x1a\n");
        const QByteArray numberLine = GbkCodec::encode(QStringLiteral("单号:261206143005"));
        QCOMPARE(expected.count(numberLine + bodySpacing), 1);
        expected.replace(numberLine + bodySpacing,
                         GbkCodec::encode(QStringLiteral("重印 / REPRINT")) + bodySpacing + numberLine + '\n');
        QCOMPARE(bytesOf(again), expected);

        QCOMPARE(file->count(QStringLiteral("XiaoShouRecord")), recorded);
        QCOMPARE(file->count(QStringLiteral("xiaoshou")), 0);

        // The shop name and remark as they stand now.
        file->exec(QStringLiteral("update beizhu set 店名 = ?, 备注 = ?"), {QStringLiteral("新店名"), QStringLiteral("新地址")});
        const ReceiptInput now = RecordedReceipt::load(*db, QStringLiteral("261206143005"));
        QCOMPARE(now.shopName, QStringLiteral("新店名"));
        QCOMPARE(now.remark, QStringLiteral("新地址"));
        QCOMPARE(now.cashier, QStringLiteral("老李"));
        QCOMPARE(now.saleDate, QStringLiteral("2026-12-06"));
    }

    void anUnknownNumberIsRefused()
    {
        for (const QString &number : {QStringLiteral("999999999999"), QStringLiteral("  ")}) {
            try {
                RecordedReceipt::load(*db, number);
                QFAIL("a receipt was made of nothing");
            } catch (const Refusal &refusal) {
                QVERIFY(!refusal.message().isEmpty());
            }
        }
    }
};

QTEST_MAIN(TestRecordedReceipt)
#include "tst_recordedreceipt.moc"
