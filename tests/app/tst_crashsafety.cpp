#include "fenwotestmain.h"
#include "cashierfixture.h"

#include "base/textcodec.h"
#include "receipt/receiptprinter.h"
#include "storage/tables.h"
#include "widgets/datagrid.h"
#include "widgets/flatedit.h"

#include "crashprobe.h"
#include "devicefile.h"
#include "withnames.h"

#include <QFile>
#include <QLabel>

namespace {

// Receipts are sent in GBK unless a till is set up otherwise.
const TextCodec gbk(TextEncoding::Gbk);

const QByteArray kCut("\x1d\x56\x42\x00", 4);

} // namespace

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
        QCOMPARE(w->till().lines().at(0).name, QStringLiteral("散装糖果"));
        QCOMPARE(w->till().lines().at(0).code, QStringLiteral("-"));
        QCOMPARE(w->till().lines().at(0).amountText(), QStringLiteral("5"));
    }

    // A kill -9 at any point of a two-copy completion leaves either nothing
    // recorded and the sale intact, or the whole sale recorded; at the next
    // start such a sale is finished (screen empty) and the cashier is asked
    // whether to print its receipt again.
    void aKillAtAnyPointOfACompletion_data()
    {
        QTest::addColumn<QByteArray>("point");
        QTest::addColumn<int>("recorded");       // record rows right after the kill
        QTest::addColumn<int>("copiesOut");      // receipts out before the kill
        QTest::addColumn<bool>("reprint");       // the cashier's answer at the next start
        QTest::newRow("while recording") << QByteArray("recording") << 0 << 0 << false;
        QTest::newRow("before printing") << QByteArray("before-print") << 2 << 0 << true;
        QTest::newRow("between the copies") << QByteArray("between-copies") << 2 << 1 << true;
        QTest::newRow("after printing") << QByteArray("after-print") << 2 << 2 << false;
        QTest::newRow("while emptying the sale") << QByteArray("finalising") << 2 << 2 << false;
    }
    void aKillAtAnyPointOfACompletion()
    {
        QFETCH(QByteArray, point);
        QFETCH(int, recorded);
        QFETCH(int, copiesOut);
        QFETCH(bool, reprint);

        CashierFixture f;
        f.file->addProduct(QStringLiteral("6901"), QStringLiteral("康师傅红烧牛肉面"), 4.5);
        const QString device = f.file->folder() + QStringLiteral("/lp0");
        QFile(device).open(QIODevice::WriteOnly);
        CrashProbe probe({f.file->path(), QStringLiteral("escpos:") + device, QString::fromLatin1(point)});
        QVERIFY2(probe.waitUntilSaid("stopped " + point), probe.said().constData());
        const QByteArray receiptNumber = probe.said().split(' ').value(2).left(12);
        QVERIFY(probe.kill());

        QCOMPARE(f.file->count(Tables::SalesRecord::table), recorded);
        QCOMPARE(int(readFile(device).count(kCut)), copiesOut);
        // The open sale is emptied only by a commit that never came.
        QCOMPARE(f.file->count(Tables::OpenSale::table), 2);

        f.boxes->setAnswer(reprint ? QMessageBox::Yes : QMessageBox::No);
        CashierWindow *w = f.open({}, ReceiptPrinter::create(QStringLiteral("escpos:") + device));
        if (recorded == 0) {
            QCOMPARE(f.boxes->count(), 0);
            QCOMPARE(w->saleGrid()->model()->rowCount(), 2);
            QCOMPARE(f.file->count(Tables::SalesRecord::table), 0);
            return;
        }
        // Finished: the whole sale recorded under its number, the screen empty.
        QCOMPARE(f.file->count(Tables::SalesRecord::table), 2);
        QCOMPARE(f.file->scalar(withNames("select count(*) from {SalesRecord} where {receiptNumber} = ?"),
                                {QString::fromLatin1(receiptNumber)}).toInt(), 2);
        QCOMPARE(f.file->count(Tables::OpenSale::table), 0);
        QCOMPARE(f.file->count(Tables::AwaitingPrint::table), 0);
        QCOMPARE(w->saleGrid()->model()->rowCount(), 0);
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("0"));
        QVERIFY(w->receiptNumberBox()->text() > QString::fromLatin1(receiptNumber));

        QCOMPARE(f.boxes->count(), 1);
        QCOMPARE(f.boxes->seen()[0].icon, QMessageBox::Question);
        QVERIFY(f.boxes->lastText().contains(QString::fromLatin1(receiptNumber)));
        // Yes prints both copies again, laid out from the record rows.
        const QByteArray printed = readFile(device);
        const int expected = copiesOut + (reprint ? 2 : 0);
        QCOMPARE(int(printed.count(kCut)), expected);
        QCOMPARE(int(printed.count(gbk.encode(QStringLiteral(u"单号:")) + receiptNumber)), expected);
        QCOMPARE(int(printed.count(gbk.encode(QStringLiteral(u"合计金额:9")))), expected);
    }
};

FENWO_TEST_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
