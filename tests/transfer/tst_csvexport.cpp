#include "testdatabase.h"
#include "withnames.h"

#include "base/apperror.h"
#include "transfer/csvexport.h"
#include "storage/database.h"
#include "transfer/productimport.h"

#include <QFile>
#include <QTest>

namespace {

QString textOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("(no file)");
    // fromUtf8 would drop the byte order mark: it is shown as U+FEFF.
    const QByteArray bytes = f.readAll();
    return bytes.startsWith("\xEF\xBB\xBF") ? QChar(0xFEFF) + QString::fromUtf8(bytes.mid(3)) : QString::fromUtf8(bytes);
}

QList<QVariantList> catalogueRows(TestDatabase &file)
{
    return file.rows(withNames("select {code}, {name}, {price} from {Catalogue} order by {code}"));
}

void addRecord(TestDatabase &file, const QString &date, const QString &name, double quantity, double price)
{
    file.exec(withNames("insert into {SalesRecord} ({code}, {name}, {quantity}, {price}, {amount}, {receiptNumber}, {cashier}, {date}, {time}) "
                             "values ('6901', ?, ?, ?, ?, ?, '小李', ?, '09:30')"),
              {name, quantity, price, quantity * price, QString(date).remove(QLatin1Char('-')) + QStringLiteral("0930"),
               date});
}

} // namespace

class TestCsvExport : public QObject
{
    Q_OBJECT

private slots:
    // What a spreadsheet shows and what the import reads back are the same catalogue.
    void anExportedCatalogueImportsBackToTheSameCatalogue()
    {
        TestDatabase shop;
        shop.addProduct(QStringLiteral("00123"), QStringLiteral("可乐, 330ml"), 3);
        shop.addProduct(QStringLiteral("6902"), QStringLiteral("12\" 披萨"), 0.1 + 0.2);
        shop.addProduct(QStringLiteral("6903"), QStringLiteral("两行\n名字"), 12.5);
        shop.addProduct(QStringLiteral("abc"), QStringLiteral(" 前后有空格 "), 1e-5);
        shop.exec(withNames("insert into {Catalogue} ({code}, {name}) values ('6905', '没有价格')"));
        // Texts a spreadsheet would run as formulas, and ones it would not.
        shop.addProduct(QStringLiteral("-"), QStringLiteral("=HYPERLINK(\"http://x\")"), -2);
        shop.addProduct(QStringLiteral("@sum"), QStringLiteral("+86 茶叶"), 5);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("catalogue.csv"));
        Database db;
        db.open(shop.path());
        QCOMPARE(CsvExport::products(db, path), 7);
        // Numbers as the program shows them, fields quoted only where needed.
        QCOMPARE(textOf(path), QStringLiteral("\uFEFF编码,品名,单价\r\n"
                                              "-,\"'=HYPERLINK(\"\"http://x\"\")\",-2\r\n"
                                              "00123,\"可乐, 330ml\",3\r\n"
                                              "6902,\"12\"\" 披萨\",0.3\r\n"
                                              "6903,\"两行\n名字\",12.5\r\n"
                                              "6905,没有价格,\r\n"
                                              "'@sum,'+86 茶叶,5\r\n"
                                              "abc,\" 前后有空格 \",1E-5\r\n"));

        TestDatabase fresh;
        Database other;
        other.open(fresh.path());
        const ImportReport report = ProductImport(path).run(other, ProductImport::Existing::Update);
        QCOMPARE(report.added, 7);
        QCOMPARE(report.badCount, 0);
        // A name with blanks at its ends comes back with them: it is in quotes.
        QList<QVariantList> expected = catalogueRows(shop);
        expected[2][2] = 0.3;   // stored as shown
        QCOMPARE(catalogueRows(fresh), expected);

        // Read back over the catalogue it came from, nothing changes.
        const ImportReport again = ProductImport(path).run(db, ProductImport::Existing::Update);
        QCOMPARE(again.added, 0);
        QCOMPARE(again.unchanged + again.updated, 7);
    }

    void salesAreExportedWholeOrForDaysFromTo()
    {
        TestDatabase shop;
        addRecord(shop, QStringLiteral("2026-01-01"), QStringLiteral("可乐"), 2, 3);
        addRecord(shop, QStringLiteral("2026-01-03"), QStringLiteral("面包"), 1, 7.5);
        addRecord(shop, QStringLiteral("2026-01-02"), QStringLiteral("瓜子"), 0.5, 0.3);
        Database db;
        db.open(shop.path());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sales.csv"));

        QCOMPARE(CsvExport::sales(db, path, QStringLiteral("2026-01-02"), QStringLiteral("2026-01-03")), 2);
        QCOMPARE(textOf(path), QStringLiteral("\uFEFF单号,日期,时间,收银员,编码,品名,数量,单价,金额\r\n"
                                              "202601020930,2026-01-02,09:30,小李,6901,瓜子,0.5,0.3,0.15\r\n"
                                              "202601030930,2026-01-03,09:30,小李,6901,面包,1,7.5,7.5\r\n"));
        QCOMPARE(CsvExport::sales(db, path), 3);
        QCOMPARE(CsvExport::sales(db, path, {}, QStringLiteral("2026-01-01")), 1);

        // A wrong date or a range backwards: refused, the last file stays.
        const QString before = textOf(path);
        for (const auto &[from, to] : {std::pair{QStringLiteral("2026-1-2"), QString()},
                                       std::pair{QStringLiteral("2026-01-03"), QStringLiteral("2026-01-02")}}) {
            QVERIFY_THROWS_EXCEPTION(Refusal, CsvExport::sales(db, path, from, to));
        }
        QCOMPARE(textOf(path), before);
    }
};

QTEST_GUILESS_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
