#include "base/apperror.h"
#include "backup/backup.h"
#include "storage/database.h"
#include "storage/statements.h"
#include "devicefile.h"
#include "smalldisk.h"
#include "testdatabase.h"
#include "withnames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList products(const QString &path)
{
    QStringList out;
    for (const QVariantList &row : TestDatabase::rowsAt(path, withNames("select {code} from {Catalogue} order by {code}")))
        out << row[0].toString();
    return out;
}

// A database file of the program with the given products.
QString shopFile(const QString &folder, const QStringList &codes, int fill = 0)
{
    const QString path = QDir(folder).filePath(QStringLiteral("data.db"));
    Database::createFile(path);
    QString statement;
    for (const QString &code : codes)
        statement += withNames("insert into {Catalogue} ({code}, {name}, {price}) values ('%1', '商品', 1);").arg(code);
    if (fill > 0) {
        statement += withNames("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                                    "insert into {Catalogue} ({code}, {name}, {price}) select 'F' || i, hex(randomblob(40)), i from n;")
                         .arg(fill);
    }
    if (!statement.isEmpty())
        TestDatabase::rowsAt(path, statement);
    return path;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    // Copies come newest first; only the newest `keep` stay, and nothing
    // that is not one of them is ever deleted.
    void rotationKeepsTheNewestCopies()
    {
        QTemporaryDir dir;
        const QString data = shopFile(dir.path(), {QStringLiteral("A")});
        const QString folder = dir.filePath(QStringLiteral("backups"));
        QDir().mkpath(folder);
        const QStringList older{QStringLiteral("data-20240101-080000.db"), QStringLiteral("data-20250101-080000.db"),
                                QStringLiteral("data-20250101-080000-2.db")};
        const QStringList untouchable{QStringLiteral("data-20200101-080000-before-restore.db"),
                                      QStringLiteral("notes.db"), QStringLiteral("other-20200101-080000.db")};
        for (const QString &name : older + untouchable)
            writeBytes(QDir(folder).filePath(name), "x");

        const QString fresh = Backup::take(data, folder);
        const QString second = Backup::take(data, folder);   // within the same second: a number is added
        QCOMPARE(Backup::list(data, folder).mid(0, 2), (QStringList{second, fresh}));
        QCOMPARE(products(second), QStringList{QStringLiteral("A")});

        const QStringList deleted = Backup::rotate(data, folder, 3);
        QCOMPARE(deleted.size(), 2);
        QCOMPARE(Backup::list(data, folder),
                 (QStringList{second, fresh, QDir(folder).filePath(QStringLiteral("data-20250101-080000-2.db"))}));
        for (const QString &name : untouchable)
            QVERIFY(QFile::exists(QDir(folder).filePath(name)));
        // The copy stands on its own: no write-ahead log beside it.
        QVERIFY(!QFile::exists(fresh + QStringLiteral("-wal")));
        QCOMPARE(TestDatabase::rowsAt(fresh, QStringLiteral("PRAGMA journal_mode")).value(0).value(0).toString(),
                 QStringLiteral("delete"));
    }

    // The open database is replaced, the data it held is kept aside, and
    // the same connection works on the restored file.
    void restoringAGoodCopy()
    {
        QTemporaryDir dir;
        const QString data = shopFile(dir.path(), {QStringLiteral("OLD")});
        const QString folder = dir.filePath(QStringLiteral("backups"));
        const QString copy = Backup::take(data, folder);

        Database db;
        db.open(data);
        db.execute({withNames("insert into {Catalogue} ({code}, {name}) values ('NEW', '新')"), {}, {}, {}});
        Backup::verify(copy);
        const QString aside = Backup::restore(db, copy, folder);

        QVERIFY(db.isOpen());
        QCOMPARE(db.run({withNames("select count(*) from {Catalogue} where {code} = 'OLD'"), {}, {}, {}}).next(), true);
        db.close();
        QCOMPARE(products(data), QStringList{QStringLiteral("OLD")});
        QVERIFY(aside.endsWith(QStringLiteral("-before-restore.db")));
        QCOMPARE(products(aside), (QStringList{QStringLiteral("NEW"), QStringLiteral("OLD")}));
        QVERIFY(!QFile::exists(data + QStringLiteral(".restoring")));
        // The copy kept aside is no automatic copy: rotation leaves it.
        Backup::rotate(data, folder, 1);
        QVERIFY(QFile::exists(aside));
    }

    // A copy of the file from before the program kept till numbers and row
    // keys: restored, and upgraded as it opens.
    void restoringACopyOfAnOlderLayout()
    {
        QTemporaryDir dir;
        const QString data = shopFile(dir.path(), {QStringLiteral("NOW")});
        const QString old = dir.filePath(QStringLiteral("old.db"));
        TestDatabase::rowsAt(old, withNames(
                                      "CREATE TABLE {Catalogue} ({code} TEXT, {name} TEXT, {price} REAL);"
                                      "CREATE TABLE {OpenSale} ({code} TEXT, {name} TEXT, {quantity} REAL, {price} REAL, {amount} REAL);"
                                      "CREATE TABLE {SalesRecord} ({code} TEXT, {name} TEXT, {quantity} REAL, {price} REAL, {amount} REAL, "
                                      "{receiptNumber} TEXT, {cashier} TEXT, {date} TEXT, {time} TEXT);"
                                      "CREATE TABLE {ShopSettings} ({cashier} TEXT, {shopName} TEXT, {remark} TEXT);"
                                      "INSERT INTO {Catalogue} VALUES ('OLD', '旧', 1);"
                                      "INSERT INTO {SalesRecord} VALUES ('OLD', '旧', 1, 1, 1, '261201090000', '小王', "
                                      "'2026-12-01', '09:00')"));

        Database db;
        db.open(data);
        Backup::restore(db, old, dir.filePath(QStringLiteral("backups")));
        QVERIFY(db.isOpen());
        db.close();
        QCOMPARE(products(data), QStringList{QStringLiteral("OLD")});
        QCOMPARE(TestDatabase::rowsAt(data, withNames("select {till}, {receiptNumber} from {SalesRecord}")),
                 (QList<QVariantList>{{1, QStringLiteral("261201090000")}}));
    }

    // A damaged data file is the usual reason to restore: it is replaced,
    // and kept aside as it was.
    void aDamagedDataFileIsReplacedAndKeptAside()
    {
        QTemporaryDir dir;
        const QString data = shopFile(dir.path(), {QStringLiteral("GOOD")}, 3000);
        const QString folder = dir.filePath(QStringLiteral("backups"));
        const QString copy = Backup::take(data, folder);
        QByteArray bytes = readFile(data);
        bytes.replace(bytes.size() / 2, 8192, QByteArray(8192, '\x5A'));
        writeBytes(data, bytes);
        QVERIFY(TestDatabase::rowsAt(data, QStringLiteral("PRAGMA integrity_check")).value(0).value(0).toString()
                != QLatin1String("ok"));

        const QString aside = Backup::restore(data, copy, folder);
        QCOMPARE(TestDatabase::rowsAt(data, QStringLiteral("PRAGMA integrity_check")).value(0).value(0).toString(),
                 QStringLiteral("ok"));
        QCOMPARE(TestDatabase::rowsAt(data, withNames("select count(*) from {Catalogue}")).value(0).value(0).toInt(),
                 3001);
        QVERIFY(QFile::exists(aside));
        QVERIFY(TestDatabase::rowsAt(aside, QStringLiteral("PRAGMA integrity_check")).value(0).value(0).toString()
                != QLatin1String("ok"));
    }

    void damagedOrForeignFilesAreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("truncated copy") << QStringLiteral("truncated") << QStringLiteral("已经损坏");
        QTest::newRow("damaged page") << QStringLiteral("scribbled") << QStringLiteral("已经损坏");
        QTest::newRow("another program's database") << QStringLiteral("foreign") << QStringLiteral("不是本程序的数据文件");
        QTest::newRow("a column missing") << QStringLiteral("column") << withNames("没有 {Catalogue} 表的 {price} 列");
        QTest::newRow("a text file") << QStringLiteral("text") << QStringLiteral("不是本程序的数据文件");
        QTest::newRow("a newer program's file") << QStringLiteral("newer") << QStringLiteral("更新版本");
    }

    void damagedOrForeignFilesAreRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString data = shopFile(dir.path(), {QStringLiteral("KEEP")});
        const QString folder = dir.filePath(QStringLiteral("backups"));
        QTemporaryDir other;
        const QString bad = other.filePath(QStringLiteral("chosen.db"));
        if (kind == QLatin1String("truncated") || kind == QLatin1String("scribbled")) {
            const QString copy = Backup::take(shopFile(other.path(), {}, 3000), folder);
            QByteArray bytes = readFile(copy);
            QFile::remove(copy);
            if (kind == QLatin1String("truncated"))
                bytes.truncate(bytes.size() / 2);
            else
                bytes.replace(bytes.size() / 2, 4096, QByteArray(4096, '\x5A'));
            writeBytes(bad, bytes);
        } else if (kind == QLatin1String("foreign")) {
            TestDatabase::rowsAt(
                bad, QStringLiteral("create table notes (title text, body text); insert into notes values ('a', 'b')"));
        } else if (kind == QLatin1String("column")) {
            TestDatabase::rowsAt(bad, withNames("create table {Catalogue} ({code} text, {name} text)"));
        } else if (kind == QLatin1String("text")) {
            writeBytes(bad, QByteArray("编码,品名,单价\n6901,可乐,3\n").repeated(100));
        } else {
            Database::createFile(bad);
            TestDatabase::rowsAt(bad, QStringLiteral("PRAGMA user_version = 99"));
        }
        const QByteArray before = readFile(data);

        try {
            Backup::verify(bad);
            QFAIL("verified");
        } catch (const Refusal &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        Database db;
        db.open(data);
        try {
            Backup::restore(db, bad, folder);
            QFAIL("restored");
        } catch (const Refusal &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        QVERIFY(db.isOpen());
        db.close();
        QCOMPARE(readFile(data), before);
        QCOMPARE(products(data), QStringList{QStringLiteral("KEEP")});
        QVERIFY(!QFile::exists(data + QStringLiteral(".restoring")));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // A restore that runs out of disk says so and where; the copy is not
    // blamed, and the data file is as it was.
    void aFullDiskIsNamedAndNotBlamedOnTheCopy()
    {
        SmallDisk disk(QStringLiteral("1m"));
        if (!disk.mounted)
            QSKIP("no tmpfs could be mounted (the suite runs as root)");
        const QString data = shopFile(disk.dir.path(), {QStringLiteral("KEEP")});
        QTemporaryDir other;
        const QString copy = Backup::take(shopFile(other.path(), {}, 6000), other.filePath(QStringLiteral("backups")));
        QVERIFY(QFileInfo(copy).size() > 512 * 1024);
        Database db;
        db.open(data);
        disk.fill();
        const QByteArray before = readFile(data);
        try {
            Backup::restore(db, copy, disk.filePath(QStringLiteral("backups")));
            QFAIL("restored");
        } catch (const AppError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("磁盘已满")) && e.message().contains(disk.dir.path())
                         && !e.message().contains(QStringLiteral("损坏")),
                     qPrintable(e.message()));
        }
        QVERIFY(db.isOpen());
        db.close();
        disk.free();
        QCOMPARE(readFile(data), before);
        QCOMPARE(products(data), QStringList{QStringLiteral("KEEP")});
    }

    // Another program with the file open would go on writing into the old
    // file (and its log): refused.
    void aFileOpenInAnotherConnectionIsNotReplaced()
    {
        QTemporaryDir dir;
        const QString data = shopFile(dir.path(), {QStringLiteral("OLD")});
        const QString copy = Backup::take(data, dir.filePath(QStringLiteral("backups")));
        TestDatabase::rowsAt(data, withNames("insert into {Catalogue} ({code}, {name}) values ('NEW', '新')"));
        Database other;
        other.open(data);
        QVERIFY_THROWS_EXCEPTION(Refusal, Backup::restore(data, copy, dir.filePath(QStringLiteral("backups"))));
        other.close();
        QCOMPARE(products(data), (QStringList{QStringLiteral("NEW"), QStringLiteral("OLD")}));
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
