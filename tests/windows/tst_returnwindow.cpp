#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "devicefile.h"
#include "escposlines.h"
#include "typing.h"
#include "whenmodalshows.h"

#include "receipt/receiptprinter.h"
#include "storage/database.h"
#include "storage/tillsettings.h"
#include "till/discountrules.h"
#include "widgets/flatedit.h"
#include "widgets/skinbutton.h"
#include "windows/returnwindow.h"
#include "windows/trailwindow.h"

#include <QInputDialog>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

// Answers the next text question (the owner's PIN).
void answer(const QString &text)
{
    whenModalShows<QInputDialog>([text](QInputDialog *question) {
        question->setTextValue(text);
        question->accept();
    });
}

} // namespace

// Goods brought back at the cashier screen: Shift+F5, the receipt's number,
// the quantities, F12.
class TestReturnWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<CashierFixture> f;
    CashierWindow *w = nullptr;
    QTemporaryDir dir;
    QString device;

    // 面 4.5 and two 可乐 9.6, paid in cash: 23.7. Gives the number its
    // receipt's barcode carries, as the scanner reads it.
    QString sell()
    {
        for (const char *code : {"6901", "6902", "6902"}) {
            typeText(w->productBox(), QString::fromLatin1(code));
            QTest::keyClick(w->productBox(), Qt::Key_Return);
        }
        QTest::keyClick(w->productBox(), Qt::Key_F12);
        const QStringList scanned = printedBarcodes(readFile(device));
        return scanned.size() == 1 ? scanned.first() : QString();
    }

    // Shift+F5; types the number, Enter, the quantities by row, F12.
    void giveBack(const QString &receipt, const QMap<int, QString> &quantities, int *rowsShown = nullptr)
    {
        whenModalShows<ReturnWindow>([=](ReturnWindow *window) {
            typeText(window->receiptBox(), receipt);
            QTest::keyClick(window->receiptBox(), Qt::Key_Return);
            if (rowsShown)
                *rowsShown = window->linesGrid()->rowCount();
            for (auto it = quantities.begin(); it != quantities.end(); ++it)
                window->linesGrid()->item(it.key(), ReturnWindow::NowColumn)->setText(it.value());
            // The README's picture, when asked for (FENWO_SCREENSHOTS=folder).
            const QString shots = qEnvironmentVariable("FENWO_SCREENSHOTS");
            if (!shots.isEmpty())
                window->grab().save(shots + QStringLiteral("/return.png"));
            QTest::keyClick(window->linesGrid(), Qt::Key_F12);
            // Refused: the window stays for another try; given up here.
            if (window->isVisible())
                window->reject();
        });
        QTest::keyClick(w->productBox(), Qt::Key_F5, Qt::ShiftModifier);
    }

    QString printed()
    {
        bool ok = false;
        return printedLines(readFile(device), &ok).join(QLatin1Char('\n'));
    }

private slots:
    void init()
    {
        f = std::make_unique<CashierFixture>();
        f->file->addProduct(QStringLiteral("6901"), QStringLiteral("面"), 4.5);
        f->file->addProduct(QStringLiteral("6902"), QStringLiteral("可乐"), 9.6);
        f->file->setSettings(QStringLiteral("小王"), QStringLiteral("好邻居"), QStringLiteral("谢谢"));
        w = f->open();
        device = makeDevice(dir, QStringLiteral("lp-return"));
        w->setReceiptPrinter(ReceiptPrinter::create(QStringLiteral("escpos:") + device));
    }
    void cleanup()
    {
        f.reset();
        w = nullptr;
    }

    // One 可乐 of two comes back; a second try at both is refused, with
    // nothing recorded.
    void aPartialReturnThenOneTooMany()
    {
        const QString sold = sell();
        QCOMPARE(sold, f->file->scalar(QStringLiteral("select 单号 from XiaoShouRecord limit 1")).toString());
        int rows = 0;
        giveBack(sold, {{1, QStringLiteral("1")}}, &rows);
        QCOMPARE(rows, 3);
        QCOMPARE(f->boxes->count(), 0);
        const QList<QVariantList> back = f->file->rows(
            QStringLiteral("select r.单号, r.品名, r.数量, r.金额 from XiaoShouRecord r join returned_lines t "
                           "on t.record_line = r.id"));
        QCOMPARE(back.size(), 1);
        const QString number = back[0][0].toString();
        QVERIFY(number != sold);
        QCOMPARE(back[0][1].toString(), QStringLiteral("可乐"));
        QCOMPARE(back[0][3].toDouble(), -9.6);
        QCOMPARE(f->file->rows(QStringLiteral("select method, amount from payments where receipt_number = ?"), {number}),
                 (QList<QVariantList>{{1, "-9.6"}}));
        QVERIFY2(printed().contains(QStringLiteral("退货单\n单号:") + number), qPrintable(printed()));
        // The next sale's number is after the return's.
        QVERIFY(w->receiptNumberBox()->text() > number);

        giveBack(sold, {{1, QStringLiteral("1")}, {2, QStringLiteral("1")}});
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(f->boxes->lastText(), QStringLiteral("“可乐”最多还能退 0（卖出 1，已退 1），没有退货。"));
        QCOMPARE(f->file->count(QStringLiteral("returned_lines")), 1);
    }

    // Without a receipt: a wrong PIN is refused, the right one records it.
    void withoutAReceiptWrongThenRightPin()
    {
        DiscountRules rules;
        rules.setPin(QStringLiteral("8888"));
        Database db;
        db.open(f->file->path());
        TillSettings(db, 0).store(rules.values());
        for (const QString &pin : {QStringLiteral("1234"), QStringLiteral("8888")}) {
            whenModalShows<ReturnWindow>([pin](ReturnWindow *window) {
                typeText(window->looseNameBox(), QStringLiteral("伞"));
                window->loosePriceBox()->setText(QStringLiteral("25"));
                answer(pin);
                QTest::keyClick(window->loosePriceBox(), Qt::Key_F12);
                if (window->isVisible())
                    window->reject();
            });
            QTest::keyClick(w->productBox(), Qt::Key_F5, Qt::ShiftModifier);
        }
        QCOMPARE(f->boxes->count(), 1);
        QCOMPARE(f->boxes->seen().first().text, QStringLiteral("店主密码不对，没有退货。"));
        QCOMPARE(f->file->rows(QStringLiteral("select r.品名, r.金额, t.without_receipt from XiaoShouRecord r "
                                              "join returned_lines t on t.record_line = r.id")),
                 (QList<QVariantList>{{"伞", -25.0, 1}}));
        QVERIFY(printed().contains(QStringLiteral("原单号:无小票")));
    }

    // Del at the cashier screen leaves its row in the owner's trail, with
    // the cashier in the box.
    void deletingALineIsTraced()
    {
        typeText(w->productBox(), QStringLiteral("6902"));
        QTest::keyClick(w->productBox(), Qt::Key_Return);
        QTest::keyClick(w->productBox(), Qt::Key_Delete);
        QCOMPARE(f->file->rows(QStringLiteral("select kind, cashier, lines, amount from audit_log")),
                 (QList<QVariantList>{{"line_deleted", "小王", "可乐 1×9.6=9.6", "9.6"}}));
    }

    // 店铺设置 → 操作记录: behind the owner's PIN; the row of a deleted line,
    // the cashier's voided total, and the CSV of it.
    void theOwnerReadsTheTrailBehindThePin()
    {
        DiscountRules rules;
        rules.setPin(QStringLiteral("8888"));
        {
            Database db;
            db.open(f->file->path());
            TillSettings(db, 0).store(rules.values());
        }
        typeText(w->productBox(), QStringLiteral("6902"));
        QTest::keyClick(w->productBox(), Qt::Key_Return);
        QTest::keyClick(w->productBox(), Qt::Key_Delete);
        ShopSettingsWindow *settings = openSettings(w);
        QVERIFY(settings);

        answer(QStringLiteral("1234"));
        settings->trailButton()->click();
        QCOMPARE(f->boxes->lastText(), QStringLiteral("店主密码不对。"));

        int rows = -1;
        QString voids;
        const QString csv = dir.filePath(QStringLiteral("trail.csv"));
        answer(QStringLiteral("8888"));
        whenModalShows<TrailWindow>([&](TrailWindow *trail) {
            rows = trail->rowsGrid()->rowCount();
            voids = trail->voidsLabel()->text();
            trail->exportTo(csv);
            trail->reject();
        });
        settings->trailButton()->click();
        QCOMPARE(rows, 1);
        QCOMPARE(voids, QStringLiteral("删除、清空、折扣和退货合计：小王：1 笔，9.6 元"));
        const QString written = QString::fromUtf8(readFile(csv));
        QVERIFY2(written.contains(QStringLiteral(",小王,删除商品行,,可乐 1×9.6=9.6,9.6\r\n")), qPrintable(written));
    }
};

FENWO_TEST_MAIN(TestReturnWindow)
#include "tst_returnwindow.moc"
