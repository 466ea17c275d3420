#include "base/apperror.h"
#include "storage/database.h"
#include "storage/query.h"
#include "storage/schema.h"
#include "storage/statements.h"
#include "storage/tables.h"
#include "testdatabase.h"
#include "withnames.h"
#include "withoutrootoverride.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

namespace Product = Tables::Catalogue;
namespace Sale = Tables::OpenSale;

QStringList copiesBeside(const QString &path)
{
    const QFileInfo file(path);
    return file.dir().entryList({file.fileName() + QStringLiteral(".before-upgrade-*")}, QDir::Files);
}

QStringList texts(const QList<QVariantList> &rows)
{
    QStringList out;
    for (const QVariantList &row : rows) {
        QStringList cells;
        for (const QVariant &v : row)
            cells << v.toString();
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

// The shop's four tables as another tool makes them: no row keys, or keys of
// their own, and columns the program does not know.
QStringList foreignLayout(const QString &openSale)
{
    return {withNames("CREATE TABLE {Catalogue} ({code} TEXT, {name} TEXT, {price} REAL)"),
            openSale,
            withNames("CREATE TABLE {SalesRecord} (序号 INTEGER PRIMARY KEY AUTOINCREMENT, {code} TEXT, {name} TEXT, "
                           "{quantity} REAL, {price} REAL, {amount} REAL, {receiptNumber} TEXT, {cashier} TEXT, {date} TEXT, {time} TEXT, "
                           "备用 TEXT DEFAULT '无')"),
            withNames("CREATE TABLE {ShopSettings} ({cashier} TEXT, {shopName} TEXT, {remark} TEXT)"),
            withNames("INSERT INTO {Catalogue} VALUES ('6901', '可乐', 3)"),
            withNames("INSERT INTO {OpenSale} ({code}, {name}, {quantity}, {price}, {amount}, 柜台) VALUES ('3', '丙', 1, 3, 3, 'A')"),
            withNames("INSERT INTO {OpenSale} ({code}, {name}, {quantity}, {price}, {amount}, 柜台) VALUES ('1', '甲', 2, 1, 2, 'B')"),
            withNames("INSERT INTO {OpenSale} ({code}, {name}, {quantity}, {price}, {amount}, 柜台) VALUES ('2', '乙', 1, 2, 2, 'C')"),
            withNames("INSERT INTO {SalesRecord} (序号, {code}, {name}, {quantity}, {price}, {amount}, {receiptNumber}, {date}, 备用) "
                           "VALUES (7, '6901', '可乐', 1, 3, 3, '261207101010', '2026-12-07', '留')"),
            withNames("INSERT INTO {SalesRecord} (序号, {code}, {name}, {quantity}, {price}, {amount}, {receiptNumber}, {date}) "
                           "VALUES (9, '6901', '可乐', 2, 3, 6, '261207101111', '2026-12-07')"),
            withNames("INSERT INTO {ShopSettings} VALUES ('小王', '小店', '欢迎')")};
}

// The layout this program had before codes were unique as the lookup sees them.
void makeLastLayout(TestDatabase &file)
{
    file.exec(QStringLiteral("DROP INDEX spinfo_code_unique"));
    file.exec(withNames("CREATE INDEX spinfo_code_nocase ON {Catalogue} ({code} COLLATE NOCASE)"));
    file.exec(QStringLiteral("PRAGMA user_version = 2"));
}

void addProduct(Database &db, const QString &code)
{
    Query q(db);
    q.setStatement(Statements::catalogue());
    q.open();
    q.append();
    q.setText(Product::code, code);
    q.setText(Product::name, QStringLiteral("新"));
    q.post();
}

void changeCode(Database &db, const QString &from, const QString &to)
{
    Query q(db);
    q.setStatement(Statements::catalogue());
    q.open();
    for (q.first(); !q.eof() && q.text(Product::code) != from; q.next()) {
    }
    q.edit();
    q.setText(Product::code, to);
    q.post();
}

} // namespace

class TestSchemaUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void foreignFileGetsRowKeysAfterACopyKeepingRowsOrderAndColumns_data()
    {
        QTest::addColumn<QString>("openSale");
        const QString columns = QStringLiteral("编码 TEXT, 品名 TEXT, 数量 REAL, 单价 REAL, 金额 REAL, 柜台 TEXT");
        QTest::newRow("no key") << withNames("CREATE TABLE {OpenSale} (%1)").arg(columns);
        QTest::newRow("key of another name")
            << withNames("CREATE TABLE {OpenSale} (序号 INTEGER PRIMARY KEY AUTOINCREMENT, %1)").arg(columns);
        QTest::newRow("id that is no key") << withNames("CREATE TABLE {OpenSale} ({key} TEXT, %1)").arg(columns);
        QTest::newRow("id key last") << withNames("CREATE TABLE {OpenSale} (%1, ID INTEGER PRIMARY KEY)").arg(columns);
        QTest::newRow("without rowid")
            << withNames("CREATE TABLE {OpenSale} (%1, PRIMARY KEY ({code}, {name})) WITHOUT ROWID").arg(columns);
    }
    void foreignFileGetsRowKeysAfterACopyKeepingRowsOrderAndColumns()
    {
        QFETCH(QString, openSale);
        TestDatabase file(foreignLayout(openSale));
        const QString lines = withNames("SELECT {code}, {name}, {quantity}, {price}, {amount}, 柜台 FROM {OpenSale}");
        const QString records = withNames("SELECT 序号, {code}, {quantity}, {amount}, {receiptNumber}, 备用 FROM {SalesRecord}");
        const QStringList linesBefore = texts(file.rows(lines));
        const QStringList recordsBefore = texts(file.rows(records));

        Database db;
        const OpeningReport report = db.open(file.path());

        // The copy: beside the file, as private as it, with the old layout and rows.
        QVERIFY(QRegularExpression(QStringLiteral("^%1\\.before-upgrade-\\d{14}$")
                                       .arg(QRegularExpression::escape(file.path())))
                    .match(report.backupPath)
                    .hasMatch());
        QCOMPARE(copiesBeside(file.path()).size(), 1);
        // As readable as the file, and never by anyone but its owner.
        QCOMPARE(QFile::permissions(report.backupPath),
                 QFile::permissions(file.path())
                     & (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser));
        QCOMPARE(texts(TestDatabase::rowsAt(report.backupPath, lines)), linesBefore);
        QCOMPARE(texts(TestDatabase::rowsAt(report.backupPath, records)), recordsBefore);
        QCOMPARE(texts(TestDatabase::rowsAt(report.backupPath, QStringLiteral("PRAGMA user_version"))), QStringList{"0"});
        QVERIFY(TestDatabase::rowsAt(report.backupPath,
                                     withNames("SELECT name FROM sqlite_master WHERE name = '{TillSettings}'"))
                    .isEmpty());

        // The file: a key first in each table, every row in its order, every column kept.
        for (const QString &table : {Tables::OpenSale::table, Tables::SalesRecord::table, Tables::ShopSettings::table})
            QCOMPARE(texts(file.rows(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?) WHERE cid = 0"),
                                     {table})),
                     QStringList{"id|INTEGER|1"});
        QCOMPARE(texts(file.rows(lines + QStringLiteral(" ORDER BY id"))), linesBefore);
        QCOMPARE(texts(file.rows(records + QStringLiteral(" ORDER BY id"))), recordsBefore);
        QCOMPARE(texts(file.rows(withNames("SELECT {key}, {cashier}, {shopName} FROM {ShopSettings}"))), QStringList{"1|小王|小店"});
        QCOMPARE(file.scalar(QStringLiteral("PRAGMA user_version")).toInt(), Schema::kVersion);
        QCOMPARE(file.count(Tables::TillSettings::table), 0);
        QCOMPARE(file.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'spinfo_code_unique'")).toInt(), 1);

        // Lines are rung up and deleted by their key again.
        Query sale(db);
        sale.setStatement(Statements::openSale(1));
        sale.open();
        sale.append();
        sale.setText(Sale::code, QStringLiteral("4"));
        sale.setText(Sale::name, QStringLiteral("丁"));
        sale.post();
        sale.first();
        sale.remove();
        QStringList codes;
        for (const QString &line : linesBefore.mid(1))
            codes << line.section(QLatin1Char('|'), 0, 0);
        codes << QStringLiteral("4");
        QCOMPARE(texts(file.rows(withNames("SELECT {code} FROM {OpenSale} ORDER BY {key}"))), codes);

        // Upgraded once: the next start copies nothing.
        db.close();
        QVERIFY(db.open(file.path()).backupPath.isEmpty());
        QCOMPARE(copiesBeside(file.path()).size(), 1);
    }

    void fileOfTheLastLayoutIsUpgradedOnce()
    {
        TestDatabase file;
        makeLastLayout(file);
        file.addProduct(QStringLiteral("6901"), QStringLiteral("可乐"), 3);

        Database db;
        const OpeningReport report = db.open(file.path());
        QCOMPARE(report.notice(), QStringLiteral("提示：数据库文件已升级到本程序的格式。\n升级前的副本：") + report.backupPath);
        QCOMPARE(texts(TestDatabase::rowsAt(report.backupPath, withNames("SELECT {code} FROM {Catalogue}"))), QStringList{"6901"});
        QCOMPARE(texts(file.rows(QStringLiteral("SELECT name FROM sqlite_master WHERE name LIKE 'spinfo_code%'"))),
                 QStringList{"spinfo_code_unique"});
        db.close();
        QCOMPARE(db.open(file.path()).notice(), QString());
        QCOMPARE(copiesBeside(file.path()).size(), 1);
    }

    void tableOfTheProgramsOwnGetsTheColumnsItLacks()
    {
        TestDatabase file;
        file.exec(withNames("DROP TABLE {TillSettings}"));
        file.exec(withNames("CREATE TABLE {TillSettings} ({till} INTEGER NOT NULL, {name} TEXT NOT NULL)"));
        file.exec(withNames("INSERT INTO {TillSettings} VALUES (1, 'paper')"));
        file.exec(QStringLiteral("PRAGMA user_version = 2"));
        Database db;
        db.open(file.path());
        QCOMPARE(texts(file.rows(withNames("SELECT {till}, {name}, {value} IS NULL FROM {TillSettings}"))),
                 QStringList{"1|paper|1"});
    }

    // Before lines carried their Z report, a Z covered the lines of its dates
    // in its run of keys: those it covered are closed by it, and a line of
    // another date that it passed over is left for the next Z.
    void linesAnOlderZCoveredAreClosedByItOnUpgrade()
    {
        TestDatabase file;
        file.exec(QStringLiteral("DROP INDEX record_closing"));
        file.exec(withNames("ALTER TABLE {SalesRecord} DROP COLUMN {SalesRecord.closing}"));
        file.exec(withNames("ALTER TABLE {DayClosings} DROP COLUMN {DayClosings.content}"));
        file.exec(QStringLiteral("PRAGMA user_version = 6"));
        file.addRecordLine(QStringLiteral("261206000500"), QStringLiteral("小王"), QStringLiteral("2026-12-05"),
                           QStringLiteral("00:05"), QStringLiteral("可乐"), 1, 3);
        file.addRecordLine(QStringLiteral("261206090000"), QStringLiteral("小王"), QStringLiteral("2026-12-06"),
                           QStringLiteral("09:00"), QStringLiteral("可乐"), 1, 3);
        file.addRecordLine(QStringLiteral("261206100000"), QStringLiteral("小王"), QStringLiteral("2026-12-06"),
                           QStringLiteral("10:00"), QStringLiteral("可乐"), 1, 3);
        file.exec(withNames("INSERT INTO {DayClosings} VALUES (1, '2026-12-06 21:30:00', '2026-12-06', '2026-12-06', "
                            "0, 3, 2, 2, '2', '6', '6', '0')"));
        file.addRecordLine(QStringLiteral("261206215000"), QStringLiteral("小王"), QStringLiteral("2026-12-06"),
                           QStringLiteral("21:50"), QStringLiteral("可乐"), 1, 3);

        Database db;
        db.open(file.path());
        QCOMPARE(texts(file.rows(withNames("SELECT {key}, coalesce({closing}, 0) FROM {SalesRecord} ORDER BY {key}"))),
                 (QStringList{"1|0", "2|1", "3|1", "4|0"}));
        QCOMPARE(file.scalar(QStringLiteral("PRAGMA user_version")).toInt(), Schema::kVersion);
    }

    // Products of an older file are found by pinyin once it is upgraded;
    // its new tables (parked sales, spellings) come empty or filled.
    void productsOfAnOlderFileGetTheirPinyinOnUpgrade()
    {
        TestDatabase file;
        for (const char *table : {"product_pinyin", "held_lines", "held_sales"})
            file.exec(QStringLiteral("DROP TABLE %1").arg(QLatin1String(table)));
        file.exec(QStringLiteral("PRAGMA user_version = 7"));
        file.addProduct(QStringLiteral("6902"), QStringLiteral("可口可乐"), 3);
        file.addProduct(QStringLiteral("7001"), QStringLiteral("银行卡套"), 5);

        Database db;
        db.open(file.path());
        QCOMPARE(texts(file.rows(QStringLiteral("SELECT 编码, spelling FROM product_pinyin WHERE kind = 1 "
                                                "ORDER BY 编码, spelling"))),
                 (QStringList{"6902|kkkl", "6902|kkky", "7001|yhkt", "7001|yhqt", "7001|yxkt", "7001|yxqt"}));
        QCOMPARE(file.count(QStringLiteral("held_sales")), 0);
        QCOMPARE(file.scalar(QStringLiteral("PRAGMA user_version")).toInt(), Schema::kVersion);
    }

    // A file of the layout before payments gets the built-in methods and the
    // tables for payments and opening cash; its sales keep no payments (they
    // count as cash).
    void aFileBeforePaymentsGetsTheBuiltInMethods()
    {
        TestDatabase file;
        for (const char *table : {"payments", "payment_methods", "cash_floats"})
            file.exec(QStringLiteral("DROP TABLE %1").arg(QLatin1String(table)));
        file.exec(QStringLiteral("PRAGMA user_version = 7"));
        file.addRecordLine(QStringLiteral("261206090000"), QStringLiteral("小王"), QStringLiteral("2026-12-06"),
                           QStringLiteral("09:00"), QStringLiteral("可乐"), 1, 3);
        Database db;
        db.open(file.path());
        QCOMPARE(texts(file.rows(QStringLiteral("SELECT number, name, gives_change, enabled FROM payment_methods "
                                                "ORDER BY position"))),
                 (QStringList{"1|现金|1|1", "2|微信|0|1", "3|支付宝|0|1", "4|银行卡|0|1"}));
        QCOMPARE(file.count(QStringLiteral("payments")), 0);
        QCOMPARE(file.count(QStringLiteral("cash_floats")), 0);
        QCOMPARE(file.scalar(QStringLiteral("PRAGMA user_version")).toInt(), Schema::kVersion);
        QCOMPARE(copiesBeside(file.path()).size(), 1);
    }

    // A file from before the owner's trail gets it, append-only from the start.
    void aFileBeforeTheTrailGetsItAppendOnly()
    {
        TestDatabase file;
        file.exec(QStringLiteral("DROP TABLE %1").arg(Tables::AuditLog::table));
        file.exec(QStringLiteral("DROP TABLE %1").arg(Tables::ReturnedLines::table));
        file.exec(QStringLiteral("PRAGMA user_version = 9"));
        Database db;
        db.open(file.path());
        QCOMPARE(file.scalar(QStringLiteral("PRAGMA user_version")).toInt(), Schema::kVersion);
        db.execute(Statements::addAuditEntry(QStringLiteral("2026-12-08 09:00:00"), 1, QStringLiteral("小王"),
                                             QStringLiteral("drawer_opened"), QStringLiteral(""), QStringLiteral(""),
                                             QStringLiteral("0")));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, db.execute(Statement{QStringLiteral("DELETE FROM %1").arg(Tables::AuditLog::table), {}, {}, {}}));
        QCOMPARE(file.count(Tables::AuditLog::table), 1);
        QCOMPARE(file.count(Tables::ReturnedLines::table), 0);
    }

    void fileThatLacksWhatTheProgramNeedsIsRefusedUntouched_data()
    {
        QTest::addColumn<QStringList>("change");
        QTest::addColumn<QString>("message");
        QTest::newRow("a table") << QStringList{withNames("DROP TABLE {OpenSale}")}
                                 << withNames("提示：数据库文件缺少表 {OpenSale}！");
        QTest::newRow("a column") << QStringList{withNames("ALTER TABLE {Catalogue} DROP COLUMN {price}")}
                                  << withNames("提示：数据库文件缺少表 {Catalogue} 的列 {price}！");
        QTest::newRow("several") << QStringList{withNames("DROP TABLE {ShopSettings}"),
                                                withNames("ALTER TABLE {SalesRecord} DROP COLUMN {time}")}
                                 << withNames("提示：数据库文件缺少表 {SalesRecord} 的列 {time}、表 {ShopSettings}！");
        QTest::newRow("a view for a table")
            << QStringList{withNames("DROP TABLE {ShopSettings}"), withNames("CREATE VIEW {ShopSettings} AS SELECT 1")}
            << withNames("提示：数据库文件缺少表 {ShopSettings}！");
    }
    void fileThatLacksWhatTheProgramNeedsIsRefusedUntouched()
    {
        QFETCH(QStringList, change);
        QFETCH(QString, message);
        TestDatabase file;
        for (const QString &statement : change)
            file.exec(statement);
        file.exec(withNames("DROP TABLE {TillSettings}"));
        file.exec(QStringLiteral("PRAGMA user_version = 1"));

        Database db;
        try {
            db.open(file.path());
            QFAIL("opened");
        } catch (const DataFileError &e) {
            QCOMPARE(e.message(), message + QStringLiteral("\n文件：") + file.path());
        }
        QVERIFY(!db.isOpen());
        QCOMPARE(copiesBeside(file.path()), QStringList());
        QCOMPARE(file.scalar(QStringLiteral("PRAGMA user_version")).toInt(), 1);
        QCOMPARE(file.scalar(withNames("SELECT count(*) FROM sqlite_master WHERE name = '{TillSettings}'")).toInt(), 0);
    }

    void fileFromANewerVersionIsRefused()
    {
        TestDatabase file;
        file.exec(QStringLiteral("PRAGMA user_version = %1").arg(Schema::kVersion + 1));
        Database db;
        try {
            db.open(file.path());
            QFAIL("opened");
        } catch (const DataFileError &e) {
            QCOMPARE(e.message(), QStringLiteral("提示：数据库文件由较新版本的程序建立，本程序不能使用！\n文件：%1\n"
                                                 "（文件的格式版本 %2，本程序的格式版本 %3）")
                                      .arg(file.path())
                                      .arg(Schema::kVersion + 1)
                                      .arg(Schema::kVersion));
        }
        QVERIFY(!db.isOpen());
        QCOMPARE(copiesBeside(file.path()), QStringList());
    }

    void failedUpgradeLeavesTheFileAsItWas()
    {
        // The last step fails (a view holds the name of the program's own
        // table), after the open sale was rebuilt with its key.
        QStringList layout = foreignLayout(
            withNames("CREATE TABLE {OpenSale} ({code} TEXT, {name} TEXT, {quantity} REAL, {price} REAL, {amount} REAL, 柜台 TEXT)"));
        layout << withNames("CREATE VIEW {TillSettings} AS SELECT 1 AS {till}, 2 AS {name}, 3 AS {value}");
        TestDatabase file(layout);
        Database db;
        try {
            db.open(file.path());
            QFAIL("opened");
        } catch (const DataFileError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("提示：数据库文件升级失败，文件没有改动！\n文件：%1\n")
                                                .arg(file.path())),
                     qPrintable(e.message()));
        }
        QCOMPARE(file.scalar(withNames("SELECT count(*) FROM pragma_table_info('{OpenSale}') WHERE name = '{key}'")).toInt(), 0);
        QCOMPARE(file.count(Tables::OpenSale::table), 3);
        QCOMPARE(file.scalar(QStringLiteral("PRAGMA user_version")).toInt(), 0);
        QCOMPARE(copiesBeside(file.path()), QStringList());
    }

    void codesAlikeAreKeptListedAndNoMoreAccepted()
    {
        TestDatabase file;
        makeLastLayout(file);
        for (const char *code : {"abc", "X1", "ABC", "Y", "x1"})
            file.addProduct(QString::fromLatin1(code), QStringLiteral("货"), 1);

        Database db;
        OpeningReport report = db.open(file.path());
        QCOMPARE(file.count(Tables::Catalogue::table), 5);
        QCOMPARE(report.codesAlike, (QList<QStringList>{{"ABC", "abc"}, {"X1", "x1"}}));
        QCOMPARE(report.notice(), QStringLiteral("提示：数据库文件已升级到本程序的格式。\n升级前的副本：%1\n\n"
                                                 "提示：下面的商品编码相同或只有字母大小写不同，收银查找时会当作同一个编码：\n"
                                                 "ABC、abc\nX1、x1\n请在商品资料 (F3) 中修改或删除多余的一个。")
                                      .arg(report.backupPath));

        // New codes alike are refused as any taken code; the rest goes on.
        QVERIFY_THROWS_EXCEPTION(DuplicateKeyError, addProduct(db, QStringLiteral("aBc")));
        QVERIFY_THROWS_EXCEPTION(DuplicateKeyError, addProduct(db, QStringLiteral("y")));
        QVERIFY_THROWS_EXCEPTION(DuplicateKeyError, changeCode(db, QStringLiteral("ABC"), QStringLiteral("Abc")));
        addProduct(db, QStringLiteral("z"));
        changeCode(db, QStringLiteral("ABC"), QStringLiteral("abd"));
        QCOMPARE(file.count(Tables::Catalogue::table), 6);

        // Listed at each start until they are set apart; then the unique index
        // takes over, after a copy.
        db.close();
        report = db.open(file.path());
        QCOMPARE(report.codesAlike, (QList<QStringList>{{"X1", "x1"}}));
        QVERIFY(report.backupPath.isEmpty());
        file.exec(withNames("DELETE FROM {Catalogue} WHERE {code} = 'x1'"));
        db.close();
        report = db.open(file.path());
        QVERIFY(report.codesAlike.isEmpty());
        QVERIFY(!report.backupPath.isEmpty());
        QCOMPARE(texts(file.rows(QStringLiteral("SELECT name FROM sqlite_master WHERE name LIKE 'spinfo_code%' ORDER BY name"))),
                 QStringList{"spinfo_code_unique"});
        QVERIFY_THROWS_EXCEPTION(DuplicateKeyError, addProduct(db, QStringLiteral("x1")));
        QCOMPARE(file.count(Tables::Catalogue::table), 5);
    }

    void fileThatCannotBeWrittenIsRefusedByName_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("the file") << "file";
        QTest::newRow("its folder") << "folder";
        QTest::newRow("its write-ahead log") << "log";
    }
    void fileThatCannotBeWrittenIsRefusedByName()
    {
        QFETCH(QString, where);
        // A folder of its own, without the -wal and -shm files that a test
        // file's open connection keeps; for the log, a file in use.
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("shop"));
        QVERIFY(QDir().mkdir(folder));
        QString path = QDir(folder).filePath(QStringLiteral("data.db"));
        Database::createFile(path);
        TestDatabase inUse;
        QString locked = where == QLatin1String("file") ? path : folder;
        if (where == QLatin1String("log")) {
            path = inUse.path();
            inUse.addProduct(QStringLiteral("1"), QStringLiteral("甲"), 1);
            locked = path + QStringLiteral("-wal");
            QVERIFY(QFile::exists(locked));
        }
        const QFile::Permissions before = QFile::permissions(locked);
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);

        Database db;
        QString message;
        {
            WithoutRootOverride asShopUser;
            try {
                db.open(path);
            } catch (const DataFileError &e) {
                message = e.message();
            }
        }
        QFile::setPermissions(locked, before);
        QCOMPARE(message, where == QLatin1String("folder")
                              ? QStringLiteral("提示：数据库文件所在的文件夹不能写入！\n文件夹：") + locked
                              : QStringLiteral("提示：数据库文件不能写入！\n文件：") + locked);
        QVERIFY(!db.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestSchemaUpgrade)
#include "tst_schemaupgrade.moc"
