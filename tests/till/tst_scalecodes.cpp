#include "opendatabase.h"
#include "testdatabase.h"
#include "withnames.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/tables.h"
#include "storage/tillsettings.h"
#include "till/scalecodes.h"
#include "till/till.h"

#include <QTest>

#include <memory>

// Barcodes from the shop's scale, "PP CCCCC VVVVV K", rung up through the
// till on a real database file.
class TestScaleCodes : public QObject
{
    Q_OBJECT

    std::unique_ptr<OpenDatabase> data;
    std::unique_ptr<Till> till;

    // Looks the code up and adds the line the way the cashier screen does.
    void scan(const QString &code)
    {
        const std::optional<Product> found = till->lookUp(code);
        QVERIFY2(found, qPrintable(code));
        till->addLine(found->name, found->quantity.isEmpty() ? QStringLiteral("1") : found->quantity, found->price);
    }

    QVariantList onlyLine()
    {
        const auto rows = data->file.rows(withNames("select {code}, {name}, {quantity}, {price}, {amount} from {OpenSale}"));
        return rows.size() == 1 ? rows.first() : QVariantList();
    }

    void storeScaleSettings(const QMap<QString, QString> &values)
    {
        TillSettings(data->db).store(values);
    }

private slots:
    void init()
    {
        data = std::make_unique<OpenDatabase>();
        // Sold by weight at 39.8 a kilogram; the scale prints item 12345 under prefix 20.
        data->file.addProduct(QStringLiteral("2012345"), QStringLiteral("散装糖果"), 39.8);
        data->file.addProduct(QStringLiteral("2512345"), QStringLiteral("五花肉"), 26);
        till = std::make_unique<Till>(data->db);
        till->reopenSale();
    }
    void cleanup()
    {
        till.reset();
        data.reset();
    }

    void aPriceCodeAddsOneAtThePriceItCarries()
    {
        // Price is the default: 01234 fen.
        scan(QStringLiteral("2012345012349"));
        QCOMPARE(onlyLine(), (QVariantList{QStringLiteral("2012345"), QStringLiteral("散装糖果"), 1.0, 12.34, 12.34}));
        QCOMPARE(till->totalAmount(), QStringLiteral("12.34"));
    }

    void aWeightCodeAddsItsWeightAtTheCataloguePrice()
    {
        storeScaleSettings(ScaleCodes(ScaleCodes::Mode::Weight, 20, 29).values());
        // 01234 grams of the 26-a-kilogram item under prefix 25.
        scan(QStringLiteral("2512345012344"));
        QCOMPARE(onlyLine(), (QVariantList{QStringLiteral("2512345"), QStringLiteral("五花肉"), 1.234, 26.0, 32.084}));
    }

    void theModeOfThisRunStandsInForTheStoredOne()
    {
        storeScaleSettings(ScaleCodes(ScaleCodes::Mode::Price, 20, 29).values());
        till->setScaleCodeMode(ScaleCodes::Mode::Weight);
        scan(QStringLiteral("2012345005006"));
        QCOMPARE(onlyLine().value(2).toDouble(), 0.5);
        QCOMPARE(onlyLine().value(3).toDouble(), 39.8);

        till->setScaleCodeMode(ScaleCodes::Mode::Off);
        QVERIFY(!till->lookUp(QStringLiteral("2012345005006")));
    }

    void aWrongCheckDigitIsToldAndAddsNothing()
    {
        try {
            till->lookUp(QStringLiteral("2012345012340"));
            QFAIL("a wrong check digit was taken");
        } catch (const Refusal &refusal) {
            QVERIFY2(refusal.message().contains(QStringLiteral("校验位")), qPrintable(refusal.message()));
        }
        // The next line has no code from the refused scan.
        till->addLine(QStringLiteral("杂货"), QStringLiteral("1"), QStringLiteral("2"));
        QCOMPARE(onlyLine().value(0).toString(), QStringLiteral("-"));
    }

    void anItemTheCatalogueLacksIsToldAndAddsNothing()
    {
        try {
            till->lookUp(QStringLiteral("2099999012345"));
            QFAIL("a scale code without its item was taken");
        } catch (const Refusal &refusal) {
            QVERIFY2(refusal.message().contains(QStringLiteral("2099999")), qPrintable(refusal.message()));
        }
        QCOMPARE(data->file.count(Tables::OpenSale::table), 0);
    }

    void aPrefixOutsideTheRangeIsAnOrdinaryCode()
    {
        // Prefix 30 with a valid check digit is nothing special: not found.
        QVERIFY(!till->lookUp(QStringLiteral("3012345012348")));
        // Narrowed to 20-21, prefix 25 is no scale code any more.
        storeScaleSettings(ScaleCodes(ScaleCodes::Mode::Price, 20, 21).values());
        QVERIFY(!till->lookUp(QStringLiteral("2512345012344")));
        QVERIFY(till->lookUp(QStringLiteral("2012345012349")));
    }

    void aProductUnderTheWholeCodeComesFirst()
    {
        data->file.addProduct(QStringLiteral("2012345012349"), QStringLiteral("礼盒糖果"), 58);
        const std::optional<Product> found = till->lookUp(QStringLiteral("2012345012349"));
        QVERIFY(found);
        QCOMPARE(found->code, QStringLiteral("2012345012349"));
        QCOMPARE(found->name, QStringLiteral("礼盒糖果"));
        QCOMPARE(found->price, QStringLiteral("58"));
        QVERIFY(found->quantity.isEmpty());
    }

    void settingsRoundTripAndARefusedRangeStoresNothing()
    {
        storeScaleSettings(ScaleCodes(ScaleCodes::Mode::Weight, 21, 23).values());
        QCOMPARE(data->file.rows(withNames("select {name}, {value} from {TillSettings} where {till} = 1 and {name} like 'scale.%' "
                                           "order by {name}")),
                 (QList<QVariantList>{{QStringLiteral("scale.codes"), QStringLiteral("weight")},
                                      {QStringLiteral("scale.prefix_from"), QStringLiteral("21")},
                                      {QStringLiteral("scale.prefix_to"), QStringLiteral("23")}}));
        QCOMPARE(ScaleCodes::load(TillSettings(data->db)), ScaleCodes(ScaleCodes::Mode::Weight, 21, 23));

        QVERIFY_THROWS_EXCEPTION(Refusal, ScaleCodes(ScaleCodes::Mode::Price, 29, 20).check());
        QVERIFY_THROWS_EXCEPTION(Refusal, ScaleCodes::fromValues({{QStringLiteral("scale.codes"), QStringLiteral("fen")}}));
        QVERIFY_THROWS_EXCEPTION(Refusal,
                                 ScaleCodes::fromValues({{QStringLiteral("scale.prefix_from"), QStringLiteral("2x")}}));
    }
};

QTEST_GUILESS_MAIN(TestScaleCodes)
#include "tst_scalecodes.moc"
