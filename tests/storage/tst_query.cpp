#include "base/apperror.h"
#include "storage/database.h"
#include "storage/pinyinindex.h"
#include "storage/query.h"
#include "storage/statements.h"
#include "storage/tables.h"
#include "opendatabase.h"
#include "testdatabase.h"
#include "withnames.h"

#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace Product = Tables::Catalogue;
namespace Sale = Tables::OpenSale;
namespace Shop = Tables::ShopSettings;

class TestQuery : public QObject
{
    Q_OBJECT

    std::unique_ptr<OpenDatabase> m_data;

    QStringList codes(Query &q)
    {
        QStringList out;
        for (q.first(); !q.eof(); q.next())
            out << q.text(Product::code);
        return out;
    }

private slots:
    void init()
    {
        m_data = std::make_unique<OpenDatabase>();
        m_data->file.addProduct(QStringLiteral("abc"), QStringLiteral("苹果"), 3);
        m_data->file.addProduct(QStringLiteral("abd"), QStringLiteral("abc"), 4);
        m_data->file.addProduct(QStringLiteral("x1"), QStringLiteral("xabcx"), 5);
        m_data->file.addProduct(QStringLiteral("t1"), QStringLiteral("Tom's"), 6.5);
        m_data->file.addProduct(QStringLiteral("a_c"), QStringLiteral("下划线"), 1);
    }
    void cleanup()
    {
        m_data.reset();
    }

    void openingNeedsAnExistingFile()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("data.db"));
        Database db;
        QVERIFY_THROWS_EXCEPTION(DatabaseError, db.open(missing));
        QVERIFY(!db.isOpen());
        QVERIFY2(!QFile::exists(missing), "opening must never create the file");
        QVERIFY_THROWS_EXCEPTION(DatabaseError, Database::create(m_data->file.path()));
        Query q(db);
        q.setStatement(Statements::openSale(1));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q.open());
    }

    void lookupMatchesCodeOrNameAsAWhole_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("whole code or whole name") << "abc" << QStringList{"abc", "abd"};
        QTest::newRow("prefix wildcard") << "ab%" << QStringList{"abc", "abd"};
        QTest::newRow("case does not matter") << "ABC" << QStringList{"abc", "abd"};
        QTest::newRow("underscore is one character") << "a_c" << QStringList{"abc", "abd", "a_c"};
        QTest::newRow("quote is a plain character") << "Tom's" << QStringList{"t1"};
        QTest::newRow("injection is just text") << "x' or '1'='1" << QStringList{};
        QTest::newRow("no match") << "zzz" << QStringList{};
    }
    void lookupMatchesCodeOrNameAsAWhole()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        Query q(m_data->db);
        q.setStatement(Statements::lookupByCodeOrName(text));
        q.open();
        QStringList got = codes(q);
        got.sort();
        found.sort();
        QCOMPARE(got, found);
        QCOMPARE(m_data->file.count(Tables::Catalogue::table), 5);
    }

    void catalogueSearchFindsCodePatternOrNamePart_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("name contains") << "abc" << QStringList{"abc", "abd", "x1"};
        QTest::newRow("everything") << "%" << QStringList{"a_c", "abc", "abd", "t1", "x1"};
        QTest::newRow("quote") << "'" << QStringList{"t1"};
    }
    void catalogueSearchFindsCodePatternOrNamePart()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        Query q(m_data->db);
        q.setStatement(Statements::searchCatalogue(text));
        q.open();
        QCOMPARE(codes(q), found);   // ordered by code
        Query del(m_data->db);
        del.setStatement(Statements::deleteMatchingProducts(text));
        del.execute();
        QCOMPARE(m_data->file.count(Tables::Catalogue::table), 5 - int(found.size()));
    }

    void walkingAndReading()
    {
        m_data->file.addSaleLine(QStringLiteral("c1"), QStringLiteral("甲"), 2, 3.5);
        m_data->file.exec(withNames("insert into {OpenSale} ({code}, {name}) values ('c2', '乙')"));
        Query q(m_data->db);
        q.setStatement(Statements::openSale(1));
        q.open();
        QCOMPARE(q.recordCount(), 2);
        QVERIFY(!q.eof());
        QCOMPARE(q.text(Sale::amount), QStringLiteral("7"));
        QCOMPARE(q.number(Sale::price), 3.5);
        q.next();
        // Empty values read as empty text and 0.
        QCOMPARE(q.text(Sale::quantity), QString());
        QCOMPARE(q.number(Sale::quantity), 0.0);
        q.next();
        QVERIFY(q.eof());
        // Past the end the last row stays current.
        QCOMPARE(q.text(Sale::code), QStringLiteral("c2"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("c2"));
        try {
            q.text(QStringLiteral("没有"));
            QFAIL("a missing column must throw");
        } catch (const DatabaseError &e) {
            QVERIFY(e.message().contains(QStringLiteral("没有")));
        }

        Query empty(m_data->db);
        empty.setStatement(Statements::settings());
        empty.open();
        QVERIFY(empty.eof());
        QCOMPARE(empty.text(Shop::cashier), QString());
    }

    void appendPostAndNumberConversion()
    {
        Query q(m_data->db);
        q.setStatement(Statements::openSale(1));
        q.open();
        QSignalSpy inserted(&q, &Query::rowInserted);
        q.append();
        q.setText(Sale::code, QStringLiteral("c1"));
        q.setText(Sale::quantity, QStringLiteral("2.5"));
        q.setText(Sale::price, QString());   // empty leaves the column empty
        q.post();
        QCOMPARE(inserted.count(), 1);
        QVERIFY(q.value(QStringLiteral("id")).toLongLong() > 0);
        QCOMPARE(m_data->file.scalar(withNames("select {quantity} from {OpenSale}")).toDouble(), 2.5);
        QVERIFY(m_data->file.scalar(withNames("select {price} from {OpenSale}")).isNull());

        q.append();
        QVERIFY_THROWS_EXCEPTION(ConversionError, q.setText(Sale::quantity, QStringLiteral("100,5")));
        q.cancel();
        QCOMPARE(m_data->file.count(Tables::OpenSale::table), 1);
        QCOMPARE(q.recordCount(), 1);
    }

    void editOnAnEmptySetAppends()
    {
        Query q(m_data->db);
        q.setStatement(Statements::settings());
        q.open();
        q.edit();
        QCOMPARE(q.state(), Query::State::Insert);
        q.setText(Shop::cashier, QStringLiteral("小王"));
        q.post();
        QCOMPARE(m_data->file.count(Tables::ShopSettings::table), 1);
        q.edit();
        QCOMPARE(q.state(), Query::State::Edit);
        q.setText(Shop::shopName, QStringLiteral("好又多"));
        q.post();
        QCOMPARE(m_data->file.count(Tables::ShopSettings::table), 1);
        QCOMPARE(m_data->file.scalar(withNames("select {shopName} from {ShopSettings}")).toString(), QStringLiteral("好又多"));
        QCOMPARE(m_data->file.scalar(withNames("select {cashier} from {ShopSettings}")).toString(), QStringLiteral("小王"));
    }

    void deleteMovesToTheNextRowOrTheNewLast()
    {
        for (const char *code : {"c1", "c2", "c3"})
            m_data->file.addSaleLine(QString::fromLatin1(code), QStringLiteral("x"), 1, 1);
        Query q(m_data->db);
        q.setStatement(Statements::openSale(1));
        q.open();
        q.setCurrentRow(1);
        q.remove();
        QCOMPARE(q.text(Sale::code), QStringLiteral("c3"));
        q.remove();   // deleting the last row: the new last becomes current
        QCOMPARE(q.text(Sale::code), QStringLiteral("c1"));
        QVERIFY(!q.eof());
        q.remove();
        QVERIFY(q.eof());
        QCOMPARE(m_data->file.count(Tables::OpenSale::table), 0);
    }

    void changesOnlyTheRowItShows()
    {
        // Two rows with the same values: the row key keeps them apart.
        m_data->file.addSaleLine(QStringLiteral("c"), QStringLiteral("同"), 1, 1);
        m_data->file.addSaleLine(QStringLiteral("c"), QStringLiteral("同"), 1, 1);
        Query q(m_data->db);
        q.setStatement(Statements::openSale(1));
        q.open();
        q.next();
        q.edit();
        q.setText(Sale::quantity, QStringLiteral("4"));
        q.post();
        QCOMPARE(m_data->file.scalar(withNames("select sum({quantity}) from {OpenSale}")).toDouble(), 5.0);
        q.first();
        q.remove();
        QCOMPARE(m_data->file.scalar(withNames("select {quantity} from {OpenSale}")).toDouble(), 4.0);
    }

    // ---- pinyin ----------------------------------------------------------------

    void aSavedProductIsFoundByThePinyinOfItsNameAsSaved()
    {
        auto found = [this](const QString &spelling) {
            QStringList codes;
            QSqlQuery rows = m_data->db.run(Statements::lookupByPinyin(spelling, 10));
            while (rows.next())
                codes << rows.value(0).toString();
            return codes;
        };
        Query q(m_data->db);
        q.setStatement(Statements::catalogue());
        q.open();
        q.append();
        q.setText(Product::code, QStringLiteral("6902"));
        q.setText(Product::name, QStringLiteral("可口可乐"));
        q.post();
        QCOMPARE(found(QStringLiteral("kkkl%")), QStringList{"6902"});
        q.edit();
        q.setText(Product::name, QStringLiteral("雪碧"));
        q.post();
        QCOMPARE(found(QStringLiteral("kkkl%")), QStringList{});
        QCOMPARE(found(QStringLiteral("xuebi%")), QStringList{"6902"});
    }

    void catalogueSearchListsPinyinMatchesAfterCodeAndName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("left");   // after deleting what was found
        QTest::newRow("code, name, initials, full pinyin")
            << "ka" << QStringList{"ka", "k5", "7005", "7004"}
            << QStringList{"6902", "6903", "a_c", "abc", "abd", "t1", "x1"};
        QTest::newRow("full pinyin, shorter first")
            << "kekou" << QStringList{"6902", "6903"} << QStringList{"7004", "7005", "a_c", "abc", "abd", "k5", "ka", "t1", "x1"};
    }
    void catalogueSearchListsPinyinMatchesAfterCodeAndName()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, listed);
        QFETCH(QStringList, left);
        const QList<std::pair<QString, QString>> products = {
            {QStringLiteral("ka"), QStringLiteral("南瓜子")},       {QStringLiteral("k5"), QStringLiteral("ka拉ok话筒")},
            {QStringLiteral("7005"), QStringLiteral("可爱多")},     {QStringLiteral("7004"), QStringLiteral("咖啡")},
            {QStringLiteral("6903"), QStringLiteral("可口可乐330ml")}, {QStringLiteral("6902"), QStringLiteral("可口可乐")}};
        for (const auto &[code, name] : products) {
            m_data->file.addProduct(code, name, 1);
            PinyinIndex::store(m_data->db, code, name);
        }
        Query q(m_data->db);
        q.setStatement(Statements::searchCatalogueWithPinyin(text, text + QLatin1Char('%')));
        q.open();
        QCOMPARE(codes(q), listed);

        m_data->db.execute(Statements::deleteMatchingProductsWithPinyin(text, text + QLatin1Char('%')));
        QStringList stored;
        for (const QVariantList &row : m_data->file.rows(withNames("select {code} from {Catalogue} order by {code}")))
            stored << row.value(0).toString();
        QCOMPARE(stored, left);
    }

    void duplicateCodeIsRefusedAsSuch()
    {
        Query q(m_data->db);
        q.setStatement(Statements::catalogue());
        q.open();
        q.append();
        q.setText(Product::code, QStringLiteral("abc"));
        q.setText(Product::name, QStringLiteral("重复"));
        QVERIFY_THROWS_EXCEPTION(DuplicateKeyError, q.post());
        QCOMPARE(q.state(), Query::State::Insert);   // typed values are kept
        QCOMPARE(q.text(Product::name), QStringLiteral("重复"));
        QCOMPARE(m_data->file.count(Tables::Catalogue::table), 5);
    }

    void readOnlyResultRefusesChanges()
    {
        Query q(m_data->db);
        q.setStatement(Statements::productNames());
        q.open();
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q.append());
    }

    void clientSortBothWays()
    {
        m_data->file.addSaleLine(QStringLiteral("b"), QStringLiteral("乙"), 10, 1);
        m_data->file.addSaleLine(QStringLiteral("a"), QStringLiteral("甲"), 2, 1);
        m_data->file.addSaleLine(QStringLiteral("c"), QStringLiteral("丙"), 3, 1);
        Query q(m_data->db);
        q.setStatement(Statements::openSale(1));
        q.open();
        q.setCurrentRow(2);
        q.sort(Sale::quantity, Qt::DescendingOrder);
        QCOMPARE(codes(q), (QStringList{"b", "c", "a"}));   // numbers compare as numbers
        q.sort(Sale::code, Qt::AscendingOrder);
        QCOMPARE(codes(q), (QStringList{"a", "b", "c"}));
        // Sorting changes nothing in the table; reopening gives the stored order.
        q.open();
        QCOMPARE(codes(q), (QStringList{"b", "a", "c"}));
    }
};

QTEST_GUILESS_MAIN(TestQuery)
#include "tst_query.moc"
