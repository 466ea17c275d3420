#include "base/apperror.h"
#include "storage/database.h"
#include "storage/query.h"
#include "widgets/querytablemodel.h"
#include "storage/statements.h"
#include "testdatabase.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class TestQuery : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_file;
    std::unique_ptr<Database> m_db;

    QStringList codes(Query &q)
    {
        QStringList out;
        for (q.first(); !q.eof(); q.next())
            out << q.text(QStringLiteral("编码"));
        return out;
    }

private slots:
    void init()
    {
        m_file = std::make_unique<TestDatabase>();
        m_file->addProduct(QStringLiteral("abc"), QStringLiteral("苹果"), 3);
        m_file->addProduct(QStringLiteral("abd"), QStringLiteral("abc"), 4);
        m_file->addProduct(QStringLiteral("x1"), QStringLiteral("xabcx"), 5);
        m_file->addProduct(QStringLiteral("t1"), QStringLiteral("Tom's"), 6.5);
        m_file->addProduct(QStringLiteral("a_c"), QStringLiteral("下划线"), 1);
        m_db = std::make_unique<Database>();
        m_db->open(m_file->path());
    }
    void cleanup()
    {
        m_db.reset();
        m_file.reset();
    }

    void openingNeedsAnExistingFile()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("data.db"));
        Database db;
        QVERIFY_THROWS_EXCEPTION(DatabaseError, db.open(missing));
        QVERIFY(!db.isOpen());
        QVERIFY2(!QFile::exists(missing), "opening must never create the file");
        QVERIFY_THROWS_EXCEPTION(DatabaseError, Database::create(m_file->path()));
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
        Query q(*m_db);
        q.setStatement(Statements::lookupByCodeOrName(text));
        q.open();
        QStringList got = codes(q);
        got.sort();
        found.sort();
        QCOMPARE(got, found);
        QCOMPARE(m_file->count(QStringLiteral("spinfo")), 5);
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
        Query q(*m_db);
        q.setStatement(Statements::searchCatalogue(text));
        q.open();
        QCOMPARE(codes(q), found);   // ordered by code
        Query del(*m_db);
        del.setStatement(Statements::deleteMatchingProducts(text));
        del.execute();
        QCOMPARE(m_file->count(QStringLiteral("spinfo")), 5 - int(found.size()));
    }

    void walkingAndReading()
    {
        m_file->addSaleLine(QStringLiteral("c1"), QStringLiteral("甲"), 2, 3.5);
        m_file->exec(QStringLiteral("insert into xiaoshou (编码, 品名) values ('c2', '乙')"));
        Query q(*m_db);
        q.setStatement(Statements::openSale(1));
        q.open();
        QCOMPARE(q.recordCount(), 2);
        QVERIFY(!q.eof());
        QCOMPARE(q.text(QStringLiteral("金额")), QStringLiteral("7"));
        QCOMPARE(q.number(QStringLiteral("单价")), 3.5);
        q.next();
        // Empty values read as empty text and 0.
        QCOMPARE(q.text(QStringLiteral("数量")), QString());
        QCOMPARE(q.number(QStringLiteral("数量")), 0.0);
        q.next();
        QVERIFY(q.eof());
        // Past the end the last row stays current.
        QCOMPARE(q.text(QStringLiteral("编码")), QStringLiteral("c2"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("c2"));
        try {
            q.text(QStringLiteral("没有"));
            QFAIL("a missing column must throw");
        } catch (const DatabaseError &e) {
            QVERIFY(e.message().contains(QStringLiteral("没有")));
        }

        Query empty(*m_db);
        empty.setStatement(Statements::settings());
        empty.open();
        QVERIFY(empty.eof());
        QCOMPARE(empty.text(QStringLiteral("收银员")), QString());
    }

    void appendPostAndNumberConversion()
    {
        Query q(*m_db);
        q.setStatement(Statements::openSale(1));
        q.open();
        QSignalSpy inserted(&q, &Query::rowInserted);
        q.append();
        q.setText(QStringLiteral("编码"), QStringLiteral("c1"));
        q.setText(QStringLiteral("数量"), QStringLiteral("2.5"));
        q.setText(QStringLiteral("单价"), QString());   // empty leaves the column empty
        q.post();
        QCOMPARE(inserted.count(), 1);
        QVERIFY(q.value(QStringLiteral("id")).toLongLong() > 0);
        QCOMPARE(m_file->scalar(QStringLiteral("select 数量 from xiaoshou")).toDouble(), 2.5);
        QVERIFY(m_file->scalar(QStringLiteral("select 单价 from xiaoshou")).isNull());

        q.append();
        QVERIFY_THROWS_EXCEPTION(ConversionError, q.setText(QStringLiteral("数量"), QStringLiteral("100,5")));
        q.cancel();
        QCOMPARE(m_file->count(QStringLiteral("xiaoshou")), 1);
        QCOMPARE(q.recordCount(), 1);
    }

    void editOnAnEmptySetAppends()
    {
        Query q(*m_db);
        q.setStatement(Statements::settings());
        q.open();
        q.edit();
        QCOMPARE(q.state(), Query::State::Insert);
        q.setText(QStringLiteral("收银员"), QStringLiteral("小王"));
        q.post();
        QCOMPARE(m_file->count(QStringLiteral("beizhu")), 1);
        q.edit();
        QCOMPARE(q.state(), Query::State::Edit);
        q.setText(QStringLiteral("店名"), QStringLiteral("好又多"));
        q.post();
        QCOMPARE(m_file->count(QStringLiteral("beizhu")), 1);
        QCOMPARE(m_file->scalar(QStringLiteral("select 店名 from beizhu")).toString(), QStringLiteral("好又多"));
        QCOMPARE(m_file->scalar(QStringLiteral("select 收银员 from beizhu")).toString(), QStringLiteral("小王"));
    }

    void deleteMovesToTheNextRowOrTheNewLast()
    {
        for (const char *code : {"c1", "c2", "c3"})
            m_file->addSaleLine(QString::fromLatin1(code), QStringLiteral("x"), 1, 1);
        Query q(*m_db);
        q.setStatement(Statements::openSale(1));
        q.open();
        q.setCurrentRow(1);
        q.remove();
        QCOMPARE(q.text(QStringLiteral("编码")), QStringLiteral("c3"));
        q.remove();   // deleting the last row: the new last becomes current
        QCOMPARE(q.text(QStringLiteral("编码")), QStringLiteral("c1"));
        QVERIFY(!q.eof());
        q.remove();
        QVERIFY(q.eof());
        QCOMPARE(m_file->count(QStringLiteral("xiaoshou")), 0);
    }

    void changesOnlyTheRowItShows()
    {
        // Two rows with the same values: the row key keeps them apart.
        m_file->addSaleLine(QStringLiteral("c"), QStringLiteral("同"), 1, 1);
        m_file->addSaleLine(QStringLiteral("c"), QStringLiteral("同"), 1, 1);
        Query q(*m_db);
        q.setStatement(Statements::openSale(1));
        q.open();
        q.next();
        q.edit();
        q.setText(QStringLiteral("数量"), QStringLiteral("4"));
        q.post();
        QCOMPARE(m_file->scalar(QStringLiteral("select sum(数量) from xiaoshou")).toDouble(), 5.0);
        q.first();
        q.remove();
        QCOMPARE(m_file->scalar(QStringLiteral("select 数量 from xiaoshou")).toDouble(), 4.0);
    }

    void duplicateCodeIsRefusedAsSuch()
    {
        Query q(*m_db);
        q.setStatement(Statements::catalogue());
        q.open();
        q.append();
        q.setText(QStringLiteral("编码"), QStringLiteral("abc"));
        q.setText(QStringLiteral("品名"), QStringLiteral("重复"));
        QVERIFY_THROWS_EXCEPTION(DuplicateKeyError, q.post());
        QCOMPARE(q.state(), Query::State::Insert);   // typed values are kept
        QCOMPARE(q.text(QStringLiteral("品名")), QStringLiteral("重复"));
        QCOMPARE(m_file->count(QStringLiteral("spinfo")), 5);
    }

    void readOnlyResultRefusesChanges()
    {
        Query q(*m_db);
        q.setStatement(Statements::productNames());
        q.open();
        QVERIFY_THROWS_EXCEPTION(DatabaseError, q.append());
    }

    void clientSortBothWays()
    {
        m_file->addSaleLine(QStringLiteral("b"), QStringLiteral("乙"), 10, 1);
        m_file->addSaleLine(QStringLiteral("a"), QStringLiteral("甲"), 2, 1);
        m_file->addSaleLine(QStringLiteral("c"), QStringLiteral("丙"), 3, 1);
        Query q(*m_db);
        q.setStatement(Statements::openSale(1));
        q.open();
        q.setCurrentRow(2);
        q.sort(QStringLiteral("数量"), Qt::DescendingOrder);
        QCOMPARE(codes(q), (QStringList{"b", "c", "a"}));   // numbers compare as numbers
        q.sort(QStringLiteral("编码"), Qt::AscendingOrder);
        QCOMPARE(codes(q), (QStringList{"a", "b", "c"}));
        // Sorting changes nothing in the table; reopening gives the stored order.
        q.open();
        QCOMPARE(codes(q), (QStringList{"b", "a", "c"}));
    }

    void gridModelFollowsEveryChange()
    {
        m_file->addSaleLine(QStringLiteral("b"), QStringLiteral("乙"), 1, 2.5);
        Query q(*m_db);
        q.setStatement(Statements::openSale(1));
        QueryTableModel model(&q, {{QStringLiteral("编码"), QStringLiteral("编码(条形码)")},
                                   {QStringLiteral("金额"), {}},
                                   {QStringLiteral("没有"), {}}});
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);
        q.open();
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("编码(条形码)"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("金额"));
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("2.5"));
        QVERIFY(!model.index(0, 2).data().isValid());   // a column the set lacks stays empty
        q.append();
        q.setText(QStringLiteral("编码"), QStringLiteral("a"));
        q.post();
        QCOMPARE(model.rowCount(), 2);
        q.edit();
        q.setNumber(QStringLiteral("金额"), 0.1 + 0.2);
        q.post();
        QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("0.3"));
        q.sort(QStringLiteral("编码"), Qt::AscendingOrder);
        QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("a"));
        q.first();
        q.remove();
        QCOMPARE(model.rowCount(), 1);
        q.close();
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestQuery)
#include "tst_query.moc"
