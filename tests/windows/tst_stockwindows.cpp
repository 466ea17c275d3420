#include "fenwotestmain.h"
#include "modalwatcher.h"
#include "papertray.h"
#include "testdatabase.h"
#include "typing.h"
#include "whenmodalshows.h"
#include "withnames.h"

#include "base/apperror.h"
#include "base/textcodec.h"
#include "storage/database.h"
#include "storage/pinyinindex.h"
#include "storage/stockledger.h"
#include "widgets/flatedit.h"
#include "windows/cataloguemodel.h"
#include "windows/cataloguewindow.h"
#include "windows/goodsreceiptwindow.h"
#include "windows/lowstockwindow.h"
#include "windows/stocktakewindow.h"

#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

// Three products on a fresh database, the stock windows' printer a paper
// tray, the shop's questions answered Yes.
struct StockFixture
{
    TestDatabase file;
    ModalWatcher boxes{QMessageBox::Yes};
    Database db;
    PaperTray paper;
    QTemporaryDir dir;

    StockFixture()
    {
        file.addProduct(QStringLiteral("6901"), QStringLiteral("面"), 4.5);
        file.addProduct(QStringLiteral("6902"), QStringLiteral("可乐"), 4.8);
        file.addProduct(QStringLiteral("6903"), QStringLiteral("大米"), 5.2);
        db.open(file.path());
    }

    StockWindowContext context()
    {
        return {[this]() -> ReceiptSink & { return paper; }, [] { return QStringLiteral("小王"); }};
    }

    QString onHand(const QString &code) { return StockLedger::level(db, code)->onHand; }

    void receive(const QList<StockChange> &lines)
    {
        StockLedger::record(db, StockKind::Received, lines, QStringLiteral("城东批发"), QStringLiteral("店主"));
    }

    QString writeFile(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("goods.csv"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static QStringList fileLines(const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).remove(QChar(0xFEFF)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
};

QStringList column(QTableWidget *grid, int column)
{
    QStringList out;
    for (int row = 0; row < grid->rowCount(); ++row)
        out << grid->item(row, column)->text();
    return out;
}

QStringList documentLines(const StockDocument &document)
{
    QStringList out;
    for (const StockChange &line : document.lines)
        out << QStringLiteral("%1|%2|%3").arg(line.code, line.quantity, line.unitCost);
    return out;
}

// Code, Enter, then each further box and Enter, as a scanner and a hand type them.
void typeLine(FlatEdit *codeBox, const QString &code, const QList<std::pair<FlatEdit *, QString>> &then)
{
    typeText(codeBox, code);
    QTest::keyClick(codeBox, Qt::Key_Return);
    for (const auto &[box, text] : then) {
        box->selectAll();
        typeText(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
}

} // namespace

class TestStockWindows : public QObject
{
    Q_OBJECT

private slots:
    void aReceiptOfGoodsFromAFileAndTypedIsStoredAsOneDocument()
    {
        StockFixture f;
        GoodsReceiptWindow w(f.db, f.context(), nullptr);
        w.show();
        // A supplier's list saved by a spreadsheet in GBK, with two bad rows.
        w.importFile(f.writeFile(TextCodec(TextEncoding::Gbk)
                                     .encode(QStringLiteral("编码,数量,进货价\r\n6901,12,2.5\r\n6902,两箱,3\r\n"
                                                            "6902,0.355,18.8\r\n8888,1,1\r\n"))));
        QCOMPARE(w.problemsBox()->toPlainText(),
                 QStringLiteral("第 3 行：数量不是数字（编码 6902）\n第 5 行：商品资料里没有这个编码（编码 8888）"));
        QCOMPARE(column(w.linesGrid(), GoodsReceiptWindow::CodeColumn), (QStringList{"6901", "6902"}));

        typeLine(w.codeBox(), QStringLiteral("6903"), {{w.quantityBox(), "2.5"}, {w.costBox(), "4.1"}});
        QCOMPARE(column(w.linesGrid(), GoodsReceiptWindow::AmountColumn), (QStringList{"30.00", "6.67", "10.25"}));
        QVERIFY2(w.totalLabel()->text().contains(QStringLiteral("进货金额 46.92 元")), qPrintable(w.totalLabel()->text()));
        // Nothing is in stock before it is saved.
        QCOMPARE(f.onHand(QStringLiteral("6901")), QStringLiteral("0"));

        typeText(w.noteBox(), QStringLiteral("城东批发"));
        QTest::keyClick(w.noteBox(), Qt::Key_F5);
        QVERIFY(w.savedNumber() > 0);
        const std::optional<StockDocument> stored = StockLedger::document(f.db, w.savedNumber());
        QVERIFY(stored);
        QCOMPARE(stored->kind, StockKind::Received);
        QCOMPARE(stored->note, QStringLiteral("城东批发"));
        QCOMPARE(stored->cashier, QStringLiteral("小王"));
        QCOMPARE(documentLines(*stored), (QStringList{"6901|12|2.5", "6902|0.355|18.8", "6903|2.5|4.1"}));
        QCOMPARE(f.onHand(QStringLiteral("6902")), QStringLiteral("0.355"));
        QCOMPARE(StockLedger::level(f.db, QStringLiteral("6903"))->lastCost, QStringLiteral("4.1"));

        QTest::keyClick(w.linesGrid(), Qt::Key_F9);
        QCOMPARE(f.paper.jobs.size(), 1);
        const QStringList printed = f.paper.jobs.first();
        QVERIFY(printed.contains(QStringLiteral("进货单")));
        QVERIFY(printed.contains(QStringLiteral("供应商/备注:城东批发")));
        QVERIFY(printed.contains(QStringLiteral("进货金额:46.92")));
        // A second F5 records nothing twice.
        QTest::keyClick(w.linesGrid(), Qt::Key_F5);
        QCOMPARE(f.onHand(QStringLiteral("6901")), QStringLiteral("12"));
    }

    void aStockTakeStoresOnlyTheDifferencesAndOnHandBecomesTheCount()
    {
        StockFixture f;
        f.receive({{"6901", "10", "2.5"}, {"6902", "5", "3"}, {"6903", "1.5", "4"}});
        StockTakeWindow w(f.db, f.context(), nullptr);
        w.show();
        typeText(w.noteBox(), QStringLiteral("A 货架"));
        typeLine(w.codeBox(), QStringLiteral("6901"), {{w.countedBox(), "10"}});
        // The same product counted in two places adds up.
        typeLine(w.codeBox(), QStringLiteral("6902"), {{w.countedBox(), "2"}});
        typeLine(w.codeBox(), QStringLiteral("6902"), {{w.countedBox(), "1"}});
        typeLine(w.codeBox(), QStringLiteral("6903"), {{w.countedBox(), "1.75"}});

        QCOMPARE(column(w.linesGrid(), StockTakeWindow::OnHandColumn), (QStringList{"10", "5", "1.5"}));
        QCOMPARE(column(w.linesGrid(), StockTakeWindow::CountedColumn), (QStringList{"10", "3", "1.75"}));
        QCOMPARE(column(w.linesGrid(), StockTakeWindow::DifferenceColumn),
                 (QStringList{"0", QStringLiteral("\u22122 \u25B2"), "0.25"}));
        QCOMPARE(column(w.linesGrid(), StockTakeWindow::DifferenceCostColumn), (QStringList{"0.00", "-6.00", "1.00"}));
        QVERIFY2(w.totalLabel()->text().contains(QStringLiteral("有差异 2 行")), qPrintable(w.totalLabel()->text()));
        QVERIFY(w.totalLabel()->text().contains(QStringLiteral("短缺金额（进价）6.00 元")));

        // A sale since the count began: the adjustment still ends at the count.
        StockLedger::record(f.db, StockKind::Correction, {{"6903", "-0.5", {}}}, QStringLiteral("破损"), QStringLiteral("店主"));
        QTest::keyClick(w.codeBox(), Qt::Key_F5);
        QVERIFY2(f.boxes.lastText().contains(QStringLiteral("其中 2 行与账面不同")), qPrintable(f.boxes.lastText()));
        const std::optional<StockDocument> stored = StockLedger::document(f.db, w.savedNumber());
        QVERIFY(stored);
        QCOMPARE(stored->kind, StockKind::StockTake);
        QCOMPARE(stored->note, QStringLiteral("A 货架"));
        QCOMPARE(documentLines(*stored), (QStringList{"6902|-2|", "6903|0.75|"}));
        QCOMPARE(f.onHand(QStringLiteral("6901")), QStringLiteral("10"));
        QCOMPARE(f.onHand(QStringLiteral("6902")), QStringLiteral("3"));
        QCOMPARE(f.onHand(QStringLiteral("6903")), QStringLiteral("1.75"));

        const QString path = f.dir.filePath(QStringLiteral("盘点.csv"));
        w.exportTo(path);
        const QStringList csv = StockFixture::fileLines(path);
        QCOMPARE(csv.value(2), QStringLiteral("6902,可乐,5,3,-2,3,-6.00"));
        QCOMPARE(csv.size(), 5);
    }

    // Goods without a label are found as at the till: by pinyin or a part
    // of the name, several offered to choose from, none said so.
    void aProductIsFoundByPinyinOrAPartOfItsName()
    {
        StockFixture f;
        f.file.addProduct(QStringLiteral("6904"), QStringLiteral("可乐（大瓶）"), 7.5);
        // Spelled as the catalogue window spells a product it saves.
        PinyinIndex::store(f.db, QStringLiteral("6903"), QStringLiteral("大米"));
        GoodsReceiptWindow w(f.db, f.context(), nullptr);
        w.show();
        typeLine(w.codeBox(), QStringLiteral("dm"), {{w.quantityBox(), "2"}, {w.costBox(), "4"}});
        QStringList offered;
        whenModalShows<QInputDialog>([&offered](QInputDialog *dialog) {
            offered = dialog->comboBoxItems();
            dialog->setTextValue(offered.value(1));
            dialog->accept();
        });
        typeLine(w.codeBox(), QStringLiteral("可乐"), {{w.quantityBox(), "1"}, {w.costBox(), "6"}});
        QCOMPARE(offered, (QStringList{QStringLiteral("6902　可乐"), QStringLiteral("6904　可乐（大瓶）")}));
        QCOMPARE(column(w.linesGrid(), GoodsReceiptWindow::CodeColumn), (QStringList{"6903", "6904"}));

        typeText(w.codeBox(), QStringLiteral("xyz"));
        QTest::keyClick(w.codeBox(), Qt::Key_Return);
        QCOMPARE(f.boxes.lastText(), QStringLiteral("商品资料里找不到“xyz”（编码、品名或拼音），请先在商品信息里添加。"));
        QCOMPARE(w.linesGrid()->rowCount(), 2);
    }

    void aStockTakeWithoutDifferencesStoresNothing()
    {
        StockFixture f;
        f.receive({{"6901", "4", "2.5"}});
        StockTakeWindow w(f.db, f.context(), nullptr);
        w.show();
        typeLine(w.codeBox(), QStringLiteral("6901"), {{w.countedBox(), "4"}});
        QTest::keyClick(w.codeBox(), Qt::Key_F5);
        QVERIFY(f.boxes.lastText().contains(QStringLiteral("都与账面相符")));
        QCOMPARE(w.savedNumber(), 0);
    }

    void lowStockShowsANegativeProductAndTakesAReorderLevel()
    {
        StockFixture f;
        f.receive({{"6902", "5", "3"}, {"6903", "10", "4"}});
        StockLedger::record(f.db, StockKind::Correction, {{"6901", "-3", {}}}, QStringLiteral("多卖"), QStringLiteral("店主"));
        StockLedger::setReorderLevel(f.db, QStringLiteral("6903"), QStringLiteral("2"));
        LowStockWindow w(f.db, f.context(), nullptr);
        w.show();
        QCOMPARE(column(w.levelsGrid(), LowStockWindow::CodeColumn), QStringList{"6901"});
        QCOMPARE(w.levelsGrid()->item(0, LowStockWindow::OnHandColumn)->text(), QStringLiteral("\u22123 \u25B2"));
        QCOMPARE(w.levelsGrid()->item(0, LowStockWindow::OnHandColumn)->foreground().color(), QColor(Qt::red));

        typeLine(w.codeBox(), QStringLiteral("6902"), {{w.reorderBox(), "5"}});
        QCOMPARE(StockLedger::level(f.db, QStringLiteral("6902"))->reorderLevel, QStringLiteral("5"));
        QCOMPARE(column(w.levelsGrid(), LowStockWindow::CodeColumn), (QStringList{"6901", "6902"}));

        const QString path = f.dir.filePath(QStringLiteral("库存不足.csv"));
        w.exportTo(path);
        QCOMPARE(StockFixture::fileLines(path),
                 (QStringList{"编码,品名,库存,补货线,进货价", "6901,面,-3,,", "6902,可乐,5,5,3"}));
        QCOMPARE(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        if (!TestDatabase::onServer())
            QVERIFY_THROWS_EXCEPTION(Refusal, w.exportTo(f.file.path()));
        QTest::keyClick(w.levelsGrid(), Qt::Key_F9);
        QCOMPARE(f.paper.jobs.size(), 1);
        QVERIFY(f.paper.jobs.first().contains(QStringLiteral("共 2 种")));
        // The receipt printer's code page has ▲ but no true minus sign.
        QVERIFY(f.paper.jobs.first().join(QLatin1Char('\n')).contains(QStringLiteral("-3 \u25B2")));
    }

    void theCatalogueShowsOnHandAndReadsItAgainAfterAReceipt()
    {
        StockFixture f;
        f.receive({{"6901", "2.5", "2"}});
        StockLedger::record(f.db, StockKind::Correction, {{"6902", "-3", {}}}, QStringLiteral("多卖"), QStringLiteral("店主"));
        CatalogueWindow w(f.db, nullptr);
        w.setStockContext(f.context());
        w.bringUp();
        CatalogueModel *catalogue = w.catalogue();
        auto shown = [&] {
            QStringList out;
            for (int row = 0; row < catalogue->rowCount(); ++row)
                out << catalogue->text(row, CatalogueModel::Code) + QLatin1Char('=')
                           + catalogue->text(row, CatalogueModel::Stock);
            out.sort();
            return out;
        };
        QCOMPARE(shown(), (QStringList{"6901=2.5", QStringLiteral("6902=\u22123 \u25B2"), "6903=0"}));
        QCOMPARE(catalogue->headerData(CatalogueModel::Stock, Qt::Horizontal).toString(), QStringLiteral("库存"));
        const int row = catalogue->text(0, CatalogueModel::Code) == QStringLiteral("6901") ? 0 : 1;
        QVERIFY(!(catalogue->flags(catalogue->index(row, CatalogueModel::Stock)) & Qt::ItemIsEditable));

        // A price typed and saved writes the catalogue only; on hand stays shown.
        QVERIFY(catalogue->setData(catalogue->index(row, CatalogueModel::Price), QStringLiteral("3.9")));
        catalogue->writePendingRow();
        QCOMPARE(f.file.scalar(withNames("select {price} from {Catalogue} where {code} = ?"), {QStringLiteral("6901")}).toDouble(), 3.9);
        QCOMPARE(catalogue->text(row, CatalogueModel::Stock), QStringLiteral("2.5"));

        // Goods received from the catalogue's 库存 menu show at once.
        whenModalShows<GoodsReceiptWindow>([](GoodsReceiptWindow *receipt) {
            typeLine(receipt->codeBox(), QStringLiteral("6903"), {{receipt->quantityBox(), "4"}, {receipt->costBox(), "1"}});
            QTest::keyClick(receipt->codeBox(), Qt::Key_F5);
            QTest::keyClick(receipt->codeBox(), Qt::Key_Escape);
        });
        w.openGoodsReceipt();
        QCOMPARE(shown().last(), QStringLiteral("6903=4"));
    }
};

FENWO_TEST_MAIN(TestStockWindows)
#include "tst_stockwindows.moc"
