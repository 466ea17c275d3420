#include "papertray.h"
#include "testdatabase.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/pinyinindex.h"
#include "base/numbertext.h"
#include "receipt/printererror.h"
#include "receipt/receiptsink.h"
#include "till/saleerrors.h"
#include "till/till.h"

#include <QTest>

#include <memory>

namespace {

struct Line
{
    QString code, name, quantity, price, amount;
};

QList<Line> storedLines(TestDatabase &db, const QString &table = QStringLiteral("xiaoshou"))
{
    QList<Line> out;
    for (const QVariantList &r : db.rows(QStringLiteral("select 编码, 品名, 数量, 单价, 金额 from %1 order by id").arg(table))) {
        auto text = [](const QVariant &v) { return v.isNull() ? QString() : formatGeneral(v.toDouble()); };
        out << Line{r[0].toString(), r[1].toString(), text(r[2]), text(r[3]), text(r[4])};
    }
    return out;
}


} // namespace

class TestTill : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> file;
    std::unique_ptr<Database> db;
    std::unique_ptr<Till> till;

    SaleHeader header(const QString &receiptNumber = QStringLiteral("261206143005"))
    {
        return {receiptNumber, QStringLiteral("2026-12-06"), QStringLiteral("小王"), QStringLiteral("100"),
                QStringLiteral("76.3"), {}};
    }

    void ringUp(const QString &typed)
    {
        const std::optional<Product> found = till->lookUp(typed);
        QVERIFY2(found, qPrintable(typed));
        till->addLine(found->name, QStringLiteral("1"), found->price);
    }

private slots:
    void init()
    {
        file = std::make_unique<TestDatabase>();
        file->addProduct(QStringLiteral("6901"), QStringLiteral("康师傅红烧牛肉面"), 4.5);
        file->addProduct(QStringLiteral("6902"), QStringLiteral("可口可乐"), 9.6);
        file->addProduct(QStringLiteral("100"), QStringLiteral("一毛"), 0.1);
        file->addProduct(QStringLiteral("200"), QStringLiteral("两毛"), 0.2);
        file->addProduct(QStringLiteral("t1"), QStringLiteral("Tom's"), 6.5);
        file->addProduct(QStringLiteral("b1"), QStringLiteral("苹果"), 5);
        file->setSettings(QStringLiteral("小王"), QStringLiteral("      好邻居便利店"), QStringLiteral("欢迎光临\r\n谢谢惠顾"));
        db = std::make_unique<Database>();
        db->open(file->path());
        till = std::make_unique<Till>(*db);
        till->reopenSale();
    }
    void cleanup()
    {
        till.reset();
        db.reset();
        file.reset();
    }

    // ---- lookups and the code of a line -----------------------------------

    void aLookupMatchesACodeOrANameAsAWhole()
    {
        QCOMPARE(till->lookUp(QStringLiteral("6902"))->name, QStringLiteral("可口可乐"));
        QCOMPARE(till->lookUp(QStringLiteral("  苹果 "))->code, QStringLiteral("b1"));
        QVERIFY(!till->lookUp(QStringLiteral("苹")));
        // A quote is just a character; a "%" keeps its LIKE meaning.
        QCOMPARE(till->lookUp(QStringLiteral("Tom's"))->code, QStringLiteral("t1"));
        QCOMPARE(till->lookUp(QStringLiteral("69%"))->code.left(2), QStringLiteral("69"));
        QCOMPARE(file->count(QStringLiteral("spinfo")), 6);
    }

    void aLineTakesTheCodeOfTheLastProductFound()
    {
        // Before any lookup, and after one that found nothing: "-".
        till->addLine(QStringLiteral("杂货"), QStringLiteral("1"), QStringLiteral("1.5"));
        QVERIFY(!till->lookUp(QStringLiteral(" 梨 ")));
        till->addLine(QStringLiteral(" 梨 "), QStringLiteral("1"), QStringLiteral("3"));
        // The found code goes with the found name; a name typed over it is other goods.
        QVERIFY(till->lookUp(QStringLiteral("b1")));
        till->addLine(QStringLiteral("苹果"), QStringLiteral("1"), QStringLiteral("5"));
        till->addLine(QStringLiteral("红苹果"), QStringLiteral("1"), QStringLiteral("5"));
        QVERIFY(till->lookUpName(QStringLiteral("可口可乐")));
        till->addLine(QStringLiteral("可口可乐"), QStringLiteral("2"), QStringLiteral("9.6"));

        const auto lines = storedLines(*file);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0].code, QStringLiteral("-"));
        QCOMPARE(lines[1].code, QStringLiteral("-"));
        QCOMPARE(lines[1].name, QStringLiteral(" 梨 "));   // typed by hand: kept as typed
        QCOMPARE(lines[2].code, QStringLiteral("b1"));
        QCOMPARE(lines[3].code, QStringLiteral("-"));
        QCOMPARE(lines[3].name, QStringLiteral("红苹果"));
        QCOMPARE(lines[4].code, QStringLiteral("6902"));
        QCOMPARE(lines[4].amount, QStringLiteral("19.2"));
    }

    // F10 after a click on a line: the clicked line's code while its name is
    // unchanged, never the code of whatever a lookup found before.
    void aLinePickedFromTheGridLendsItsCodeToItsName()
    {
        ringUp(QStringLiteral("b1"));
        ringUp(QStringLiteral("6901"));   // the last lookup found 6901
        const SaleLine picked = till->pickLine(0);
        QCOMPARE(picked.name, QStringLiteral("苹果"));
        till->addLine(picked.name, QStringLiteral("2"), picked.priceText());
        till->pickLine(0);
        till->addLine(QStringLiteral("青苹果"), QStringLiteral("1"), QStringLiteral("4"));

        const auto lines = storedLines(*file);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[2].code, QStringLiteral("b1"));
        QCOMPARE(lines[2].name, QStringLiteral("苹果"));
        QCOMPARE(lines[2].amount, QStringLiteral("10"));
        QCOMPARE(lines[3].code, QStringLiteral("-"));
    }

    // ---- amounts, totals and change ----------------------------------------

    void amountsAndTotalsUseTheGeneralNumberText()
    {
        QCOMPARE(till->totalAmount(), QStringLiteral("0"));
        till->addLine(QStringLiteral("散装"), QStringLiteral("2.5"), QStringLiteral("4"));
        QCOMPARE(storedLines(*file).value(0).amount, QStringLiteral("10"));
        QCOMPARE(till->totalQuantity(), QStringLiteral("2.5"));
        QCOMPARE(till->totalAmount(), QStringLiteral("10"));
        QVERIFY(till->deleteLine(0));

        ringUp(QStringLiteral("100"));
        ringUp(QStringLiteral("200"));
        QCOMPARE(till->totalAmount(), QStringLiteral("0.3"));
        QCOMPARE(till->totalQuantity(), QStringLiteral("2"));

        // An empty quantity is stored empty and counts as nothing.
        till->addLine(QStringLiteral("苹果"), QString(), QStringLiteral("5"));
        QCOMPARE(storedLines(*file).value(2).quantity, QString());
        QCOMPARE(storedLines(*file).value(2).amount, QStringLiteral("0"));
        QCOMPARE(till->totalQuantity(), QStringLiteral("2"));
    }

    void totalsAreExactDecimalSums()
    {
        // Sixty lines of 0.1 add up to 5.99999999999999 in binary.
        for (int i = 0; i < 60; ++i)
            ringUp(QStringLiteral("100"));
        QCOMPARE(till->totalAmount(), QStringLiteral("6"));
        QCOMPARE(till->changeFor(QStringLiteral("10")), QStringLiteral("4"));
        till->addLine(QStringLiteral("散装"), QStringLiteral("0.7"), QStringLiteral("0.1"));
        QCOMPARE(till->totalQuantity(), QStringLiteral("60.7"));
        QCOMPARE(till->totalAmount(), QStringLiteral("6.07"));
    }

    // The totals are kept line by line as lines come, change and go: always
    // what summing the sale read afresh gives, to the last digit, a value
    // beyond the exact sums included.
    void totalsKeptLineByLineAreThoseOfTheSaleReadAfresh()
    {
        auto readAfresh = [&] {
            Till fresh(*db);
            fresh.reopenSale();
            return QStringList{fresh.totalQuantity(), fresh.totalAmount()};
        };
        const QStringList quantities{"1", "2", "0.375", "3", "", "1.5"};
        const QStringList prices{"0.1", "0.2", "19.99", "4.5", "0.07", "1234.56", "-2.5"};
        for (int i = 0; i < 30; ++i)
            till->addLine(QStringLiteral("货"), quantities[i % quantities.size()], prices[i % prices.size()]);
        QCOMPARE((QStringList{till->totalQuantity(), till->totalAmount()}), readAfresh());
        QCOMPARE(till->totalAmount(), QStringLiteral("6127.07125"));
        for (int i = 0; i < 10; ++i) {
            QVERIFY(till->modifyLine(i * 2, QStringLiteral("货"), quantities[(i + 1) % quantities.size()],
                                     prices[i % prices.size()]));
            QVERIFY(till->deleteLine(i));
            QCOMPARE((QStringList{till->totalQuantity(), till->totalAmount()}), readAfresh());
        }
        till->addLine(QStringLiteral("大"), QStringLiteral("1"), QStringLiteral("1.79769313486232E308"));
        QCOMPARE(till->totalAmount(), QStringLiteral("1.79769313486232E308"));
        QVERIFY(till->modifyLine(0, QStringLiteral("货"), QStringLiteral("7"), QStringLiteral("0.1")));
        QCOMPARE((QStringList{till->totalQuantity(), till->totalAmount()}), readAfresh());
        QVERIFY(till->deleteLine(int(till->lines().size()) - 1));
        QCOMPARE((QStringList{till->totalQuantity(), till->totalAmount()}), readAfresh());
        till->sortLines(SaleLine::Field::Amount, Qt::AscendingOrder);
        QVERIFY(till->deleteLine(0));
        QCOMPARE((QStringList{till->totalQuantity(), till->totalAmount()}), readAfresh());
    }

    void linesLeftByAnEarlierRunAreCountedWhenTheSaleIsRead()
    {
        file->addSaleLine(QStringLiteral("b1"), QStringLiteral("苹果"), 2, 5);
        file->addSaleLine(QStringLiteral("100"), QStringLiteral("一毛"), 3, 0.1);
        Till next(*db);
        next.reopenSale();
        QCOMPARE(next.totalQuantity(), QStringLiteral("5"));
        QCOMPARE(next.totalAmount(), QStringLiteral("10.3"));
        QCOMPARE(next.changeFor(QStringLiteral("20")), QStringLiteral("9.7"));
        PaperTray tray;
        QVERIFY(next.complete(header(), tray, 1));
        QVERIFY(tray.jobs.value(0).contains(QStringLiteral("合计金额:10.3")));
        QCOMPARE(next.totalAmount(), QStringLiteral("0"));
    }

    // An amount or a total beyond the largest double would be stored as INF
    // and then refused by the program itself: the line is refused instead.
    void aLineWhoseAmountOrTotalIsNotFiniteIsRefused()
    {
        ringUp(QStringLiteral("b1"));
        auto refused = [&](const QString &quantity, const QString &price, const QString &shown) {
            try {
                till->addLine(QStringLiteral("大"), quantity, price);
            } catch (const ConversionError &e) {
                QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid floating point value").arg(shown));
                return;
            }
            QFAIL("a line without a finite amount was stored");
        };
        refused(QStringLiteral("1e200"), QStringLiteral("1e200"), QStringLiteral("1e200*1e200"));
        refused(QStringLiteral("-1e200"), QStringLiteral("1e200"), QStringLiteral("-1e200*1e200"));
        QCOMPARE(file->count(QStringLiteral("xiaoshou")), 1);
        QCOMPARE(till->totalAmount(), QStringLiteral("5"));

        // The largest amount there is goes in once; a second would make the total infinite.
        till->addLine(QStringLiteral("大"), QStringLiteral("1"), QStringLiteral("1.79769313486232E308"));
        QCOMPARE(till->totalAmount(), QStringLiteral("1.79769313486232E308"));
        refused(QStringLiteral("1"), QStringLiteral("1e308"), QStringLiteral("1.79769313486232E308+1E308"));
        till->addLine(QStringLiteral("多"), QStringLiteral("1.79769313486232E308"), QStringLiteral("0"));
        refused(QStringLiteral("1.79769313486232E308"), QStringLiteral("0"),
                QStringLiteral("1.79769313486232E308+1.79769313486232E308"));
        QCOMPARE(file->count(QStringLiteral("xiaoshou")), 3);
        QCOMPARE(till->changeFor(QStringLiteral("0")), QStringLiteral("-1.79769313486232E308"));

        // Changed into an infinite amount, the line stays as it was.
        QVERIFY_THROWS_EXCEPTION(
            ConversionError,
            till->modifyLine(0, QStringLiteral("苹果"), QStringLiteral("1e300"), QStringLiteral("1e300")));
        QCOMPARE(storedLines(*file).value(0).amount, QStringLiteral("5"));
        QCOMPARE(till->lines().size(), 3);
    }

    void aNumberThatIsNotANumberStoresNothing()
    {
        ringUp(QStringLiteral("b1"));
        try {
            till->addLine(QStringLiteral("散装"), QStringLiteral("1"), QStringLiteral("100,5"));
            QFAIL("a price with a comma was stored");
        } catch (const ConversionError &e) {
            QCOMPARE(e.message(), QStringLiteral("'100,5' is not a valid floating point value"));
        }
        QCOMPARE(file->count(QStringLiteral("xiaoshou")), 1);
        QCOMPARE(till->lines().size(), 1);
        QCOMPARE(till->totalAmount(), QStringLiteral("5"));
    }

    void modifyChangesTheCurrentLineAndKeepsItsCode()
    {
        QVERIFY(!till->modifyLine(0, QStringLiteral("苹果"), QStringLiteral("1"), QStringLiteral("5")));
        QCOMPARE(file->count(QStringLiteral("xiaoshou")), 0);
        ringUp(QStringLiteral("b1"));
        ringUp(QStringLiteral("6901"));
        QCOMPARE(till->lines().at(0).name, QStringLiteral("苹果"));
        QVERIFY(till->modifyLine(0, QStringLiteral("苹果"), QStringLiteral("4"), QStringLiteral("5")));
        const auto lines = storedLines(*file);
        QCOMPARE(lines[0].code, QStringLiteral("b1"));
        QCOMPARE(lines[0].amount, QStringLiteral("20"));
        QCOMPARE(till->totalAmount(), QStringLiteral("24.5"));
        QVERIFY(till->deleteLine(1));
        QCOMPARE(storedLines(*file).size(), 1);
        QCOMPARE(till->totalAmount(), QStringLiteral("20"));
    }

    void changeIsReceivedLessTotal_data()
    {
        QTest::addColumn<QString>("received");
        QTest::addColumn<QString>("change");
        QTest::newRow("change back") << "100" << "76.3";
        QTest::newRow("short") << "20" << "-3.7";
        QTest::newRow("exact") << "23.7" << "0";
    }
    void changeIsReceivedLessTotal()
    {
        QFETCH(QString, received);
        QFETCH(QString, change);
        till->addLine(QStringLiteral("货"), QStringLiteral("1"), QStringLiteral("23.7"));
        QCOMPARE(till->changeFor(received), change);
    }

    // ---- completing a sale --------------------------------------------------

    void aCompletedSaleIsRecordedPrintedAndEmptied()
    {
        ringUp(QStringLiteral("6901"));
        ringUp(QStringLiteral("6902"));
        ringUp(QStringLiteral("6902"));
        PaperTray tray;
        QVERIFY(till->complete(header(), tray, 2));

        const auto rows = file->rows(QStringLiteral(
            "select 编码, 金额, 单号, 收银员, 日期, 时间 from XiaoShouRecord order by id"));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0][0].toString(), QStringLiteral("6901"));
        QCOMPARE(rows[2][1].toDouble(), 9.6);
        for (const auto &r : rows) {
            QCOMPARE(r[2].toString(), QStringLiteral("261206143005"));
            QCOMPARE(r[3].toString(), QStringLiteral("小王"));
            QCOMPARE(r[4].toString(), QStringLiteral("2026-12-06"));
            QCOMPARE(r[5].toString(), rows[0][5].toString());
        }
        QCOMPARE(file->count(QStringLiteral("xiaoshou")), 0);
        QCOMPARE(till->lines().size(), 0);
        QCOMPARE(till->totalAmount(), QStringLiteral("0"));

        // Two jobs: the second copy's header has one blank more.
        QCOMPARE(tray.jobs.size(), 2);
        QCOMPARE(tray.jobs[0].value(0), QStringLiteral("       好邻居便利店"));
        QVERIFY(tray.jobs[0].contains(QStringLiteral("合计金额:23.7")));
        QVERIFY(tray.jobs[0].contains(QStringLiteral("找零金额:76.3")));
        QVERIFY(tray.jobs[0].contains(QStringLiteral("品名            数量  金额")));
        QVERIFY(tray.jobs[1].contains(QStringLiteral("品名             数量  金额")));
    }

    void aRefusedPrintRecordsNothingAndARetryRecordsOnce()
    {
        ringUp(QStringLiteral("6901"));
        ringUp(QStringLiteral("6902"));
        PaperTray tray;
        tray.refusal = QStringLiteral("There is no default printer currently selected");
        QVERIFY_THROWS_EXCEPTION(PrinterError, till->complete(header(), tray, 1));
        QCOMPARE(file->count(QStringLiteral("XiaoShouRecord")), 0);
        QCOMPARE(file->count(QStringLiteral("xiaoshou")), 2);
        QCOMPARE(till->totalAmount(), QStringLiteral("14.1"));

        tray.refusal.clear();
        QVERIFY(till->complete(header(), tray, 1));
        QCOMPARE(file->count(QStringLiteral("XiaoShouRecord")), 2);
        QCOMPARE(file->scalar(QStringLiteral("select count(distinct 单号) from XiaoShouRecord")).toInt(), 1);
        QCOMPARE(file->count(QStringLiteral("xiaoshou")), 0);
    }

    void aRecordingThatCouldNotBeTakenBackGoesAtTheNextTry()
    {
        ringUp(QStringLiteral("6901"));
        ringUp(QStringLiteral("6902"));
        // The printer fails, and so does taking the record rows back.
        file->refuseDeletes(QStringLiteral("XiaoShouRecord"), QStringLiteral("database is locked"));
        PaperTray tray;
        tray.refusal = QStringLiteral("paper out");
        try {
            till->complete(header(), tray, 1);
            QFAIL("completed without a printer");
        } catch (const PrinterError &e) {
            QCOMPARE(e.message(), QStringLiteral("paper out"));
        }
        QCOMPARE(file->count(QStringLiteral("XiaoShouRecord")), 2);
        QCOMPARE(file->count(QStringLiteral("awaiting_print")), 1);
        QCOMPARE(file->count(QStringLiteral("xiaoshou")), 2);

        // The next try takes them back before recording the sale once.
        file->allowDeletes(QStringLiteral("XiaoShouRecord"));
        tray.refusal.clear();
        QVERIFY(till->complete(header(), tray, 1));
        QCOMPARE(tray.jobs.size(), 1);
        QCOMPARE(file->count(QStringLiteral("XiaoShouRecord")), 2);
        QCOMPARE(file->count(QStringLiteral("awaiting_print")), 0);
        QCOMPARE(file->count(QStringLiteral("xiaoshou")), 0);
    }

    void aRefusedRecordRowRecordsAndPrintsNothing()
    {
        ringUp(QStringLiteral("6901"));
        ringUp(QStringLiteral("6902"));
        file->refuseInserts(QStringLiteral("XiaoShouRecord"), QStringLiteral("database or disk is full"), 1);
        PaperTray tray;
        QVERIFY_THROWS_EXCEPTION(DatabaseError, till->complete(header(), tray, 1));
        QCOMPARE(file->count(QStringLiteral("XiaoShouRecord")), 0);
        QCOMPARE(tray.jobs.size(), 0);
        QCOMPARE(file->count(QStringLiteral("xiaoshou")), 2);

        file->allowInserts(QStringLiteral("XiaoShouRecord"));
        QVERIFY(till->complete(header(), tray, 1));
        QCOMPARE(file->count(QStringLiteral("XiaoShouRecord")), 2);
        QCOMPARE(tray.jobs.size(), 1);
    }

    // The break after the finish: the sale was emptied and committed, but
    // reading the empty sale again failed. F12 then only finishes it: no
    // second, empty receipt and no receipt number used.
    void aBreakAfterTheFinishLeavesNothingForF12ToPrint()
    {
        if (!TestDatabase::onServer())
            QSKIP("the table goes away inside the finish's commit, which a trigger can do on the server only");
        // Committed with the finish, so that the read after it fails.
        file->exec(QStringLiteral("create function finished() returns trigger language plpgsql as $$ begin "
                                  "alter table xiaoshou rename to xiaoshou_away; return null; end $$"));
        file->exec(QStringLiteral("create trigger finished after delete on awaiting_print for each row "
                                  "execute function finished()"));
        ringUp(QStringLiteral("6901"));
        ringUp(QStringLiteral("6902"));
        PaperTray tray;
        QVERIFY_THROWS_EXCEPTION(SaleNotEmptied, till->complete(header(), tray, 1));
        QCOMPARE(tray.jobs.size(), 1);

        file->exec(QStringLiteral("drop trigger finished on awaiting_print"));
        file->exec(QStringLiteral("alter table xiaoshou_away rename to xiaoshou"));
        QVERIFY(till->complete(header(QStringLiteral("261206143010")), tray, 1));
        QCOMPARE(tray.jobs.size(), 1);
        QCOMPARE(file->count(QStringLiteral("XiaoShouRecord")), 2);
        QCOMPARE(file->count(QStringLiteral("receipt_numbers")), 1);
        QCOMPARE(till->lines().size(), 0);
    }

    // ---- pinyin -------------------------------------------------------------------

    void pinyinFindsByInitialsThenFullPinyinShorterNamesFirst_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("initials") << "kkkl" << QStringList{"可口可乐", "可口可乐330ml"};
        QTest::newRow("upper case, with digits") << "KKKL330" << QStringList{"可口可乐330ml"};
        QTest::newRow("full pinyin") << "kekou" << QStringList{"可口可乐", "可口可乐330ml"};
        QTest::newRow("initials before full pinyin") << "ka" << QStringList{"可爱多", "咖啡"};
        QTest::newRow("shorter names first") << "y" << QStringList{"一毛", "银行卡套"};
        QTest::newRow("second reading") << "yx" << QStringList{"银行卡套"};
        QTest::newRow("first reading, full") << "yinhang" << QStringList{"银行卡套"};
        QTest::newRow("polyphone") << "cq" << QStringList{"重庆火锅底料"};
        QTest::newRow("not from the start") << "kl" << QStringList{};
        QTest::newRow("renamed since") << "ty" << QStringList{};
    }
    void pinyinFindsByInitialsThenFullPinyinShorterNamesFirst()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, names);
        const QList<std::pair<QString, QString>> products = {
            {QStringLiteral("6902"), QStringLiteral("可口可乐")}, {QStringLiteral("6903"), QStringLiteral("可口可乐330ml")},
            {QStringLiteral("100"), QStringLiteral("一毛")},     {QStringLiteral("7001"), QStringLiteral("银行卡套")},
            {QStringLiteral("7002"), QStringLiteral("重庆火锅底料")}, {QStringLiteral("7003"), QStringLiteral("汤圆")},
            {QStringLiteral("7004"), QStringLiteral("咖啡")},   {QStringLiteral("7005"), QStringLiteral("可爱多")}};
        for (const auto &[code, name] : products) {
            file->exec(QStringLiteral("delete from spinfo where 编码 = ?"), {code});
            file->addProduct(code, name, 1);
            PinyinIndex::store(*db, code, name);
        }
        // Renamed elsewhere, its spellings not made again: the old ones find nothing.
        file->exec(QStringLiteral("update spinfo set 品名 = '元宵' where 编码 = '7003'"));

        QStringList found;
        for (const Product &p : till->findByPinyin(typed, 10))
            found << p.name;
        QCOMPARE(found, names);
        // Enter in the product box takes the first.
        const std::optional<Product> first = till->lookUp(typed);
        QCOMPARE(first ? first->name : QString(), names.value(0));
    }

    // ---- parked sales ----------------------------------------------------------

    void aParkedSaleWaitsStoredAndComesBackWhole()
    {
        ringUp(QStringLiteral("6901"));
        till->addLine(QStringLiteral("散装糖"), QStringLiteral("0.5"), QStringLiteral("12"));
        till->holdSale();
        QCOMPARE(till->lines().size(), 0);
        QCOMPARE(till->totalAmount(), QStringLiteral("0"));
        QCOMPARE(file->count(QStringLiteral("xiaoshou")), 0);
        QCOMPARE(storedLines(*file, QStringLiteral("held_lines")).size(), 2);

        // The next customer is served and recorded alone.
        ringUp(QStringLiteral("6902"));
        PaperTray tray;
        QVERIFY(till->complete(header(), tray, 1));
        QCOMPARE(file->count(QStringLiteral("XiaoShouRecord")), 1);
        QVERIFY(!tray.jobs[0].join(QLatin1Char('\n')).contains(QStringLiteral("散装糖")));

        // A restart reads the parked sale from the file.
        till = std::make_unique<Till>(*db);
        till->reopenSale();
        QCOMPARE(till->heldSaleCount(), 1);
        const QList<HeldSale> held = till->heldSales();
        QCOMPARE(held.size(), 1);
        QCOMPARE(held[0].lines, 2);
        QCOMPARE(held[0].total, QStringLiteral("10.5"));

        till->takeBack(held[0].number);
        QVERIFY(till->isTakenBack());
        QCOMPARE(till->totalAmount(), QStringLiteral("10.5"));
        const QList<Line> back = storedLines(*file);
        QCOMPARE(back.size(), 2);
        QCOMPARE(back[0].code, QStringLiteral("6901"));
        QCOMPARE(back[1].name, QStringLiteral("散装糖"));
        QCOMPARE(back[1].quantity, QStringLiteral("0.5"));
        QCOMPARE(file->count(QStringLiteral("held_sales")), 0);
        QCOMPARE(file->count(QStringLiteral("held_lines")), 0);

        QVERIFY(till->complete(header(QStringLiteral("261206143010")), tray, 1));
        QVERIFY(!till->isTakenBack());
        QCOMPARE(file->count(QStringLiteral("XiaoShouRecord")), 3);
        QCOMPARE(file->scalar(QStringLiteral("select count(*) from XiaoShouRecord where 单号 = '261206143010'")).toInt(), 2);
    }

    void parkingAndTakingBackRefuseWhatWouldMixOrLoseSales()
    {
        QVERIFY_THROWS_EXCEPTION(Refusal, till->holdSale());   // nothing to park
        ringUp(QStringLiteral("6901"));
        till->holdSale();
        const qint64 parked = till->heldSales().value(0).number;
        ringUp(QStringLiteral("6902"));
        // Taking back into a sale with lines would mix two customers.
        QVERIFY_THROWS_EXCEPTION(Refusal, till->takeBack(parked));
        QCOMPARE(till->heldSaleCount(), 1);
        QCOMPARE(storedLines(*file).size(), 1);
        till->discardSale();
        // Another till's parked sale is not this till's to take.
        file->exec(QStringLiteral("update held_sales set till = 2"));
        QCOMPARE(till->heldSaleCount(), 0);
        QVERIFY_THROWS_EXCEPTION(Refusal, till->takeBack(parked));
        QCOMPARE(file->count(QStringLiteral("held_lines")), 1);
        QCOMPARE(file->count(QStringLiteral("xiaoshou")), 0);
    }

    void anEmptySalePrintsAndRecordsNothing()
    {
        PaperTray tray;
        QVERIFY(till->complete(header(), tray, 1));
        QCOMPARE(tray.jobs.size(), 1);
        QVERIFY(tray.jobs[0].contains(QStringLiteral("合计数量:0")));
        QCOMPARE(file->count(QStringLiteral("XiaoShouRecord")), 0);
    }
};

QTEST_GUILESS_MAIN(TestTill)
#include "tst_till.moc"
