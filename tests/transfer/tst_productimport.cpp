#include "testdatabase.h"
#include "withnames.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "storage/tables.h"
#include "transfer/productimport.h"

#include <QFile>
#include <QTest>

namespace {

// The catalogue as stored, by code: "code|name|price" (price as SQLite gives it back).
QStringList catalogue(TestDatabase &file)
{
    QStringList out;
    for (const QVariantList &row : file.rows(withNames("select {code}, {name}, {price} from {Catalogue} order by {code}")))
        out << QStringLiteral("%1|%2|%3").arg(row[0].toString(), row[1].toString(),
                                              row[2].isNull() ? QStringLiteral("-") : row[2].toString());
    return out;
}

QString writeFile(const QTemporaryDir &dir, const QByteArray &bytes, const QString &name = QStringLiteral("list.csv"))
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

ImportReport importInto(TestDatabase &file, const QString &path,
                        ProductImport::Existing existing = ProductImport::Existing::Update)
{
    Database db;
    db.open(file.path());
    return ProductImport(path).run(db, existing);
}

QString badRows(const ImportReport &report)
{
    QStringList out;
    for (const ImportReport::BadRow &row : report.badRows)
        out << QStringLiteral("%1:%2").arg(row.line).arg(row.reason);
    return out.join(QLatin1Char(' '));
}

QByteArray utf16le(const QString &text)
{
    QByteArray out("\xFF\xFE", 2);
    out.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    return out;
}

} // namespace

class TestProductImport : public QObject
{
    Q_OBJECT

private slots:
    void encodingsAndSeparatorsAreFound_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("secondName");

        const QString list = QStringLiteral("编码,品名,单价\r\n6901,可乐,3\r\n6902,雪碧,2.5\r\n");
        QTest::newRow("UTF-8 with BOM, comma") << QByteArray("\xEF\xBB\xBF") + list.toUtf8()
                                               << QStringLiteral("UTF-8 (BOM)") << QStringLiteral("逗号")
                                               << QStringLiteral("雪碧");
        QTest::newRow("UTF-8, semicolon") << QString(list).replace(QLatin1Char(','), QLatin1Char(';')).toUtf8()
                                          << QStringLiteral("UTF-8") << QStringLiteral("分号") << QStringLiteral("雪碧");
        // 编码 品名 单价 / 可乐 / 雪碧, as a Chinese spreadsheet program saves them.
        QTest::newRow("GBK, tab") << QByteArray("\xB1\xE0\xC2\xEB\t\xC6\xB7\xC3\xFB\t\xB5\xA5\xBC\xDB\r\n"
                                                "6901\t\xBF\xC9\xC0\xD6\t3\r\n"
                                                "6902\t\xD1\xA9\xB1\xCC\t2.5\r\n")
                                  << QStringLiteral("GBK") << QStringLiteral("制表符") << QStringLiteral("雪碧");
        // The second name holds U+3400, which only GB18030 writes (in four bytes).
        QTest::newRow("GB18030, comma") << QByteArray("\xB1\xE0\xC2\xEB,\xC6\xB7\xC3\xFB,\xB5\xA5\xBC\xDB\n"
                                                      "6901,\xBF\xC9\xC0\xD6,3\n"
                                                      "6902,\x81\x39\xEE\x39\xCC\xC7,2.5\n")
                                        << QStringLiteral("GB18030") << QStringLiteral("逗号")
                                        << QStringLiteral("\u3400糖");
        QTest::newRow("UTF-16 with BOM, tab (a spreadsheet's \"Unicode text\")")
            << utf16le(QString(list).replace(QLatin1Char(','), QLatin1Char('\t')))
            << QStringLiteral("UTF-16") << QStringLiteral("制表符") << QStringLiteral("雪碧");
    }

    void encodingsAndSeparatorsAreFound()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, encoding);
        QFETCH(QString, separator);
        QFETCH(QString, secondName);
        QTemporaryDir dir;
        const QString path = writeFile(dir, bytes);

        const ProductImport import(path);
        QCOMPARE(import.format().encodingName, encoding);
        QCOMPARE(import.format().separatorName(), separator);
        QVERIFY(import.hasHeader());
        const QList<ProductImport::Row> preview = import.preview(10);
        QCOMPARE(preview.size(), 2);
        QCOMPARE(preview[1].name, secondName);
        QCOMPARE(preview[1].line, 3);

        TestDatabase file;
        const ImportReport report = importInto(file, path);
        QCOMPARE(report.added, 2);
        QCOMPARE(catalogue(file), (QStringList{QStringLiteral("6901|可乐|3"), QStringLiteral("6902|%1|2.5").arg(secondName)}));
    }

    // Fields in quotes keep commas, quotes and line breaks; a record over
    // several lines counts them, so later rows still report their own line.
    void quotedFieldsKeepWhatTheyHold()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, QByteArray("code,name,price\n"
                                                       "1,\"Cola, 330ml\",3\n"
                                                       "2,\"12\"\" pizza\",25\n"
                                                       "3,\"two\r\nlines\",1\n"
                                                       "4,,1\n"));
        TestDatabase file;
        const ImportReport report = importInto(file, path);
        QCOMPARE(catalogue(file),
                 (QStringList{QStringLiteral("1|Cola, 330ml|3"), QStringLiteral("2|12\" pizza|25"),
                              QStringLiteral("3|two\r\nlines|1")}));
        QCOMPARE(badRows(report), QStringLiteral("6:品名为空"));
    }

    void columnsAreFoundByTheirTitlesOrTakenInOrder()
    {
        QTemporaryDir dir;
        // Titles in another order, another letter case, blanks and a remark in brackets.
        const QString titled = writeFile(dir, QStringLiteral("售价, Barcode ,商品名称（规格）,备注\n"
                                                             "4.5,6903,矿泉水,冷藏\n").toUtf8(),
                                         QStringLiteral("titled.csv"));
        const ProductImport withTitles(titled);
        QVERIFY(withTitles.hasHeader());
        QCOMPARE(withTitles.column(ProductImport::Code), 1);
        QCOMPARE(withTitles.column(ProductImport::Name), 2);
        QCOMPARE(withTitles.column(ProductImport::Price), 0);
        QCOMPARE(withTitles.columnSource(ProductImport::Code), QStringLiteral("Barcode（第 2 列）"));

        // No titles: the first row is a product, the first three columns are code, name, price.
        const QString plain = writeFile(dir, QStringLiteral("6904,面包,6\n6905,牛奶,4\n").toUtf8(),
                                        QStringLiteral("plain.csv"));
        const ProductImport withoutTitles(plain);
        QVERIFY(!withoutTitles.hasHeader());
        QCOMPARE(withoutTitles.columnSource(ProductImport::Price), QStringLiteral("第 3 列"));

        TestDatabase file;
        importInto(file, titled);
        importInto(file, plain);
        QCOMPARE(catalogue(file), (QStringList{QStringLiteral("6903|矿泉水|4.5"), QStringLiteral("6904|面包|6"),
                                               QStringLiteral("6905|牛奶|4")}));
    }

    // A code the catalogue has, in any letter case, is the same product; a
    // code two products share but for letter case (a file from before codes
    // were kept apart) is reported and left alone.
    void existingProductsAreUpdatedOrSkipped()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("编码,品名,单价\n"
                                                           "abc001,可口可乐,3.5\n"
                                                           "6902,雪碧,2\n"
                                                           "6903,芬达,\n"
                                                           "6904,新品,1\n"
                                                           "x1,新名,9\n").toUtf8());
        for (const auto existing : {ProductImport::Existing::Update, ProductImport::Existing::Skip}) {
            TestDatabase file;
            file.addProduct(QStringLiteral("ABC001"), QStringLiteral("可乐"), 3);
            file.addProduct(QStringLiteral("6902"), QStringLiteral("雪碧"), 2);
            file.addProduct(QStringLiteral("6903"), QStringLiteral("橙汁"), 4);
            file.exec(QStringLiteral("drop index %1").arg(Schema::kCodeIndex));
            file.addProduct(QStringLiteral("x1"), QStringLiteral("甲"), 1);
            file.addProduct(QStringLiteral("X1"), QStringLiteral("乙"), 2);
            const ImportReport report = importInto(file, path, existing);
            QCOMPARE(badRows(report), QStringLiteral("6:商品资料里有两个编码只差字母大小写的商品（X1、x1），不知道该改哪一个"));
            QCOMPARE(report.added, 1);
            if (existing == ProductImport::Existing::Update) {
                QCOMPARE(report.updated, 2);
                QCOMPARE(report.unchanged, 1);
                // The stored code stays; an empty price keeps the stored one.
                QCOMPARE(catalogue(file), (QStringList{QStringLiteral("6902|雪碧|2"), QStringLiteral("6903|芬达|4"),
                                                       QStringLiteral("6904|新品|1"), QStringLiteral("ABC001|可口可乐|3.5"),
                                                       QStringLiteral("X1|乙|2"), QStringLiteral("x1|甲|1")}));
            } else {
                QCOMPARE(report.skipped, 3);
                QCOMPARE(catalogue(file), (QStringList{QStringLiteral("6902|雪碧|2"), QStringLiteral("6903|橙汁|4"),
                                                       QStringLiteral("6904|新品|1"), QStringLiteral("ABC001|可乐|3"),
                                                       QStringLiteral("X1|乙|2"), QStringLiteral("x1|甲|1")}));
            }
        }
    }

    // The spellings go in batches: after products are added, and then half of
    // them renamed, each is found by its present name and by no older one,
    // however many batches that took.
    void everyProductIsSpelledByItsPresentName_data()
    {
        QTest::addColumn<int>("products");
        QTest::newRow("a few") << 3;
        QTest::newRow("more than a batch of spellings and of renamed codes") << 1201;
    }
    void everyProductIsSpelledByItsPresentName()
    {
        QFETCH(int, products);
        QTemporaryDir dir;
        QByteArray first("编码,品名,单价\n");
        QByteArray second = first;
        QStringList expected;
        for (int i = 0; i < products; ++i) {
            const QByteArray code = QByteArray::number(10000 + i);
            first += code + ",雪碧" + QByteArray::number(i) + ",2\n";
            const bool renamed = i % 2 == 1;
            second += code + (renamed ? ",芬达" : ",雪碧") + QByteArray::number(i) + ",2\n";
            expected << QStringLiteral("%1|%2%3").arg(QString::fromLatin1(code), renamed ? QStringLiteral("fd")
                                                                                           : QStringLiteral("xb"))
                            .arg(i);
        }
        second += "99999,牛奶,3\n";
        expected << QStringLiteral("99999|nn");

        TestDatabase file;
        QCOMPARE(importInto(file, writeFile(dir, first, QStringLiteral("first.csv"))).added, products);
        const ImportReport report = importInto(file, writeFile(dir, second, QStringLiteral("second.csv")));
        QCOMPARE(report.added, 1);
        QCOMPARE(report.updated, products / 2);
        QStringList initials;
        namespace Pinyin = Tables::ProductPinyin;
        for (const QVariantList &row : file.rows(QStringLiteral("select %2, %3 from %1 where %4 = 1 order by %2")
                                                     .arg(Pinyin::table, Pinyin::code, Pinyin::spelling, Pinyin::kind)))
            initials << row[0].toString() + QLatin1Char('|') + row[1].toString();
        QCOMPARE(initials, expected);
        QCOMPARE(file.count(Pinyin::table), 2 * (products + 1));
        QCOMPARE(file.scalar(QStringLiteral("select %3 from %1 where %4 = 2 and %2 = '10001'")
                                 .arg(Pinyin::table, Pinyin::code, Pinyin::spelling, Pinyin::kind))
                     .toString(),
                 QStringLiteral("fenda1"));
    }

    void badRowsAreReportedWithTheirLinesAndTheRestIsWritten()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("编码,品名,单价\n"
                                                           "6901,可乐,3\n"
                                                           ",无编码,1\n"
                                                           "6902,  ,1\n"
                                                           "6903,饼干,3元\n"
                                                           "6901,可乐大瓶,5\n"
                                                           "\n"
                                                           ",,\n"
                                                           "6904,瓜子,1E1\n").toUtf8());
        TestDatabase file;
        const ImportReport report = importInto(file, path);
        QCOMPARE(badRows(report), QStringLiteral("3:编码为空 4:品名为空 5:单价不是数字 6:编码重复（第 2 行已有这个编码）"));
        QCOMPARE(report.badCount, 4);
        QCOMPARE(catalogue(file), (QStringList{QStringLiteral("6901|可乐|3"), QStringLiteral("6904|瓜子|10")}));

        const QString saved = dir.filePath(QStringLiteral("report.csv"));
        report.saveCsv(saved);
        QFile csv(saved);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(QString::fromUtf8(bytes.mid(3)),
                 QStringLiteral("行号,原因,编码,品名,单价\r\n3,编码为空,,无编码,1\r\n4,品名为空,6902,,1\r\n"
                                "5,单价不是数字,6903,饼干,3元\r\n6,编码重复（第 2 行已有这个编码）,6901,可乐大瓶,5\r\n"));
    }

    void filesThatAreNoListAreRefusedAndNothingIsWritten_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("文件是空的");
        QTest::newRow("only a byte order mark and blank lines") << QByteArray("\xEF\xBB\xBF\r\n\r\n")
                                                                << QStringLiteral("文件是空的");
        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char((i * 7919 + 13) % 256);
        QTest::newRow("binary") << binary << QStringLiteral("不是文本");
        QTest::newRow("a spreadsheet's own file") << QByteArray("PK\x03\x04\x14\x00\x06\x00", 8) + binary
                                                  << QStringLiteral("另存为");
    }

    void filesThatAreNoListAreRefusedAndNothingIsWritten()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = writeFile(dir, bytes);
        try {
            ProductImport import(path);
            QFAIL("the file was taken for a product list");
        } catch (const Refusal &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
    }

    // The whole import is one transaction: a fault found near the end of
    // the file leaves the catalogue as it was.
    void aQuoteNeverClosedWritesNothing()
    {
        QTemporaryDir dir;
        QByteArray bytes("编码,品名,单价\n");
        for (int i = 0; i < 5000; ++i)
            bytes += QByteArray::number(100000 + i) + ",商品,1\n";
        bytes += "7000,\"没有结束的引号,1\n";
        const QString path = writeFile(dir, bytes);
        TestDatabase file;
        file.addProduct(QStringLiteral("100000"), QStringLiteral("原有"), 9);
        try {
            importInto(file, path);
            QFAIL("the import went through");
        } catch (const Refusal &e) {
            QVERIFY2(e.message().contains(QStringLiteral("第 5002 行的引号没有配对")), qPrintable(e.message()));
        }
        QCOMPARE(catalogue(file), QStringList{QStringLiteral("100000|原有|9")});
    }

    // Twenty megabytes go through in pieces; the report still finds the last line.
    void aTwentyMegabyteFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.csv"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\xEF\xBB\xBF编码,品名,单价\n");
        const QByteArray name = QStringLiteral("进口有机全脂纯牛奶礼盒装（每箱十二盒，每盒二百五十毫升）").toUtf8();
        qint64 rows = 0;
        while (f.size() < 20 * 1024 * 1024) {
            f.write(QByteArray::number(6900000000000LL + rows) + ',' + name + ',' + QByteArray::number(rows % 100) + ".5\n");
            ++rows;
        }
        f.write("6900000000000,重复,1\n");
        f.close();

        TestDatabase file;
        const auto indexes = [&file] {
            QStringList out;
            if (TestDatabase::onServer())
                return out;   // a server's import keeps its indexes as they are
            for (const QVariantList &row :
                 file.rows(QStringLiteral("select sql from sqlite_master where type = 'index' and sql is not null "
                                          "order by name")))
                out << row[0].toString();
            return out;
        };
        const QStringList before = indexes();
        const ImportReport report = importInto(file, path);
        // So many rows build the name and spelling indexes afresh: every
        // index is there afterwards, as it was.
        QCOMPARE(indexes(), before);
        QCOMPARE(report.added, rows);
        QCOMPARE(badRows(report), QStringLiteral("%1:编码重复（第 2 行已有这个编码）").arg(rows + 2));
        QCOMPARE(file.count(Tables::Catalogue::table), rows);
        QCOMPARE(file.scalar(withNames("select {name} from {Catalogue} where {code} = '6900000000077'")).toString(),
                 QString::fromUtf8(name));
    }
};

QTEST_GUILESS_MAIN(TestProductImport)
#include "tst_productimport.moc"
