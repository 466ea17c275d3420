#include "testdatabase.h"

#include "base/apperror.h"
#include "base/textcodec.h"
#include "storage/database.h"
#include "transfer/goodsreceiptimport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A receipt of goods read from a shop's CSV file: the lines a supplier's
// list gives, its bad rows named by their line with the reason.
class TestGoodsReceiptImport : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString writeFile(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("goods.csv"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void readsGoodLinesAndNamesBadRowsByLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("bad");

        // Titles in another order than the plain one, a weighed quantity,
        // blanks and a formula guard around a code; a product the catalogue
        // lacks, quantities and costs that cannot be stock.
        const QString text = QStringLiteral(
            "进货价,编码(条码),数量\r\n"
            "2.5,6901,12\r\n"
            "18.80,  6902 ,0.355\r\n"
            "3,9999,1\r\n"
            "3,6901,十二\r\n"
            "3,6901,-2\r\n"
            "3,6901,1.2345\r\n"
            ",6902,4\r\n"
            "-1,6902,4\r\n"
            "1,,4\r\n");
        const QStringList lines{"2|6901|面|12|2.5", "3|6902|可乐|0.355|18.8"};
        const QStringList bad{"4:商品资料里没有这个编码", "5:数量不是数字", "6:数量要大于零", "7:数量最多三位小数",
                              "8:进货价为空", "9:进货价不能为负数", "10:编码为空"};
        QTest::newRow("UTF-8") << text.toUtf8() << "UTF-8" << lines << bad;
        QTest::newRow("GBK, as a spreadsheet saves it") << TextCodec(TextEncoding::Gbk).encode(text) << "GBK" << lines
                                                        << bad;
        // Bytes that are no text of the file's encoding spoil their row only.
        QByteArray spoilt = QStringLiteral("编码,数量,进货价\n6901,2,1\n").toUtf8();
        spoilt += QByteArray("6902,3,\xff\xfe\n");
        spoilt += QStringLiteral("6902,1,2\n").toUtf8();
        QTest::newRow("a row of bytes that are no UTF-8")
            << spoilt << "UTF-8" << QStringList{"2|6901|面|2|1", "4|6902|可乐|1|2"}
            << QStringList{"3:字节不是有效的 UTF-8"};
    }
    void readsGoodLinesAndNamesBadRowsByLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, encoding);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, bad);
        TestDatabase file;
        file.addProduct(QStringLiteral("6901"), QStringLiteral("面"), 4.5);
        file.addProduct(QStringLiteral("6902"), QStringLiteral("可乐"), 4.8);
        Database db;
        db.open(file.path());

        const GoodsReceiptImport import(writeFile(bytes));
        QCOMPARE(import.format().encodingName, encoding);
        const GoodsReceiptImport::Result result = import.read(db);
        QStringList read;
        for (const GoodsReceiptImport::Line &line : result.lines)
            read << QStringLiteral("%1|%2|%3|%4|%5").arg(line.line).arg(line.code, line.name, line.quantity, line.cost);
        QCOMPARE(read, lines);
        QStringList reported;
        for (const ImportReport::BadRow &row : result.report.badRows)
            reported << QStringLiteral("%1:%2").arg(row.line).arg(row.reason);
        QCOMPARE(reported, bad);
    }

    void withoutTitlesTheColumnsAreCodeQuantityCost()
    {
        TestDatabase file;
        file.addProduct(QStringLiteral("6901"), QStringLiteral("面"), 4.5);
        Database db;
        db.open(file.path());
        const GoodsReceiptImport import(writeFile("6901;2.5;1.25\n"));
        QVERIFY(!import.hasHeader());
        const GoodsReceiptImport::Result result = import.read(db);
        QCOMPARE(result.lines.size(), 1);
        QCOMPARE(result.lines.first().quantity, QStringLiteral("2.5"));
        QCOMPARE(result.lines.first().cost, QStringLiteral("1.25"));
    }

    void anEmptyFileIsRefused()
    {
        QVERIFY_THROWS_EXCEPTION(Refusal, GoodsReceiptImport(writeFile("")));
    }
};

QTEST_GUILESS_MAIN(TestGoodsReceiptImport)
#include "tst_goodsreceiptimport.moc"
