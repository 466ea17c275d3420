#include "base/textcodec.h"
#include "receipt/receiptlayout.h"
#include "receipttestdata.h"

#include <QtTest>

Q_DECLARE_METATYPE(ReceiptCopy)

namespace {

// Receipts are sent in GBK unless a till is set up otherwise.
const TextCodec gbk(TextEncoding::Gbk);

// Lines of a receipt as their whole texts, for the cases where only the
// sequence matters.
QStringList texts(const QList<ReceiptLine> &lines)
{
    QStringList result;
    for (const ReceiptLine &line : lines)
        result.append(line.text());
    return result;
}

ReceiptInput emptySale()
{
    ReceiptInput input = workedExampleSale();
    input.saleLines.clear();
    input.totalQuantity = QStringLiteral("0");
    input.totalAmount = QStringLiteral("0");
    input.received.clear();
    input.change.clear();
    input.remark.clear();
    return input;
}

// Each line's writes in order; the title at 12 points, the receipt number's
// barcode as such, the rest at 10.
void compareLines(const QList<ReceiptLine> &actual, const QList<QStringList> &expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QCOMPARE(actual[i].writes, expected[i]);
        const bool barcode = expected[i] == QStringList{QStringLiteral("261206143005")};
        QCOMPARE(actual[i].pointSize, i == 0 ? 12 : barcode ? ReceiptLayout::BarcodePointSize : 10);
    }
}

} // namespace

class ReceiptLayoutTest final : public QObject
{
    Q_OBJECT

private slots:
    void byteLength_data();
    void byteLength();
    void unencodableCharacters();

    void workedExampleFirstCopy();
    void workedExampleSecondCopy();
    void workedExampleBytes();

    void itemParts_data();
    void itemParts();
    void amountColumn_data();
    void amountColumn();
    void headerColumns_data();
    void headerColumns();
    void emptySaleGoesStraightToSeparator();
    void receivedAndChange_data();
    void receivedAndChange();
    void remarkLines_data();
    void remarkLines();
    void title_data();
    void title();
};

void ReceiptLayoutTest::byteLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("bytes");
    QTest::newRow("empty") << QString() << qsizetype(0);
    QTest::newRow("ascii") << QStringLiteral("12.5") << qsizetype(4);
    QTest::newRow("chinese") << QStringLiteral(u"矿泉水") << qsizetype(6);
    QTest::newRow("mixed") << QStringLiteral(u"A4纸") << qsizetype(4);
    QTest::newRow("full-width signs") << QStringLiteral(u"，￥") << qsizetype(4);
    QTest::newRow("emoji counts as one ?") << QStringLiteral(u"😀") << qsizetype(1);
    QTest::newRow("euro counts as one ?") << QStringLiteral(u"€5") << qsizetype(2);
}

void ReceiptLayoutTest::byteLength()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, bytes);
    QCOMPARE(gbk.byteLength(text), bytes);
}

void ReceiptLayoutTest::unencodableCharacters()
{
    // Each character without a GBK code is one "?", so widths stay countable
    // and every high byte is half of a real two-byte character.
    const QByteArray bytes = gbk.encode(QStringLiteral(u"a😀ä€水"));
    QCOMPARE(bytes, QByteArray("a???\xCB\xAE"));
    QCOMPARE(gbk.decode(bytes), QStringLiteral(u"a???水"));
    QCOMPARE(ReceiptLayout::namePart(QStringLiteral(u"😀水"), ReceiptCopy::First),
             QStringLiteral(u"?水") + QString(14, QLatin1Char(' ')));
    // A stray byte that starts no character reads back as U+FFFD.
    QCOMPARE(gbk.decode(QByteArray("a\x80")), QStringLiteral(u"a\uFFFD"));
}

void ReceiptLayoutTest::workedExampleFirstCopy()
{
    const QList<QStringList> expected = {
        {QStringLiteral(u"       福来超市")},
        {QStringLiteral(u"单号:261206143005")},
        {QStringLiteral(u"日期:2026-12-06 14:30")},
        {QStringLiteral(u"收银员:001")},
        {QStringLiteral("...........................")},
        {QStringLiteral(u"品名            数量  金额")},
        {QStringLiteral(u"矿泉水           "), QStringLiteral("2    "), QStringLiteral("7")},
        {QStringLiteral(u"进口特级初榨橄榄 "), QStringLiteral("1    "), QStringLiteral("12.5")},
        {QStringLiteral("...........................")},
        {QStringLiteral(u"合计数量:3")},
        {QStringLiteral(u"合计金额:19.5")},
        {QStringLiteral(u"来款金额:20")},
        {QStringLiteral(u"找零金额:0.5")},
        {QStringLiteral("261206143005")},   // the barcode under the totals
        {QStringLiteral(u"谢谢惠顾，欢迎再来")},
        {QStringLiteral(". ")}, {QStringLiteral(". ")}, {QStringLiteral(". ")},
        {QStringLiteral(".")},
        {QStringLiteral(" ")}, {QStringLiteral(" ")},
    };
    compareLines(ReceiptLayout::lines(workedExampleSale(), ReceiptCopy::First), expected);
}

void ReceiptLayoutTest::workedExampleSecondCopy()
{
    const QList<QStringList> expected = {
        {QStringLiteral(u"       福来超市")},
        {QStringLiteral(u"单号:261206143005")},
        {QStringLiteral(u"日期:2026-12-06 14:30")},
        {QStringLiteral(u"收银员:001")},
        {QStringLiteral("...........................")},
        {QStringLiteral(u"品名             数量  金额")},
        {QStringLiteral(u"矿泉水            "), QStringLiteral("2    "), QStringLiteral("7")},
        {QStringLiteral(u"进口特级初榨橄榄  "), QStringLiteral("1    "), QStringLiteral("12.5")},
        {QStringLiteral("...........................")},
        {QStringLiteral(u"合计数量:3")},
        {QStringLiteral(u"合计金额:19.5")},
        {QStringLiteral(u"来款金额:20")},
        {QStringLiteral(u"找零金额:0.5")},
        {QStringLiteral("261206143005")},   // the barcode under the totals
        {QStringLiteral(u"谢谢惠顾，欢迎再来")},
        {QStringLiteral(". ")}, {QStringLiteral(". ")}, {QStringLiteral(". ")},
        {QStringLiteral(".")},
        {QStringLiteral(" ")}, {QStringLiteral(" ")},
    };
    compareLines(ReceiptLayout::lines(workedExampleSale(), ReceiptCopy::Second), expected);
}

void ReceiptLayoutTest::workedExampleBytes()
{
    // The item lines and header as they reach the printer, byte for byte.
    const QList<ReceiptLine> first = ReceiptLayout::lines(workedExampleSale(), ReceiptCopy::First);
    QCOMPARE(gbk.encode(first[5].text()),
             QByteArray("\xC6\xB7\xC3\xFB            \xCA\xFD\xC1\xBF  \xBD\xF0\xB6\xEE"));
    QCOMPARE(gbk.encode(first[6].text()),
             QByteArray("\xBF\xF3\xC8\xAA\xCB\xAE           2    7"));
    QCOMPARE(gbk.encode(first[7].text()),
             QByteArray("\xBD\xF8\xBF\xDA\xCC\xD8\xBC\xB6\xB3\xF5\xD5\xA5\xE9\xCF\xE9\xAD 1    12.5"));
}

void ReceiptLayoutTest::itemParts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<ReceiptCopy>("copy");
    QTest::addColumn<QString>("keptName");
    QTest::addColumn<int>("blanks");

    const auto first = ReceiptCopy::First;
    const auto second = ReceiptCopy::Second;
    QTest::newRow("16 ascii bytes, first") << QStringLiteral("ABCDEFGHIJKLMNOP") << first
                                           << QStringLiteral("ABCDEFGHIJKLMNOP") << 1;
    QTest::newRow("16 ascii bytes, second") << QStringLiteral("ABCDEFGHIJKLMNOP") << second
                                            << QStringLiteral("ABCDEFGHIJKLMNOP") << 2;
    QTest::newRow("9 chinese, first") << QStringLiteral(u"一二三四五六七八九") << first
                                      << QStringLiteral(u"一二三四五六七八") << 1;
    QTest::newRow("9 chinese, second") << QStringLiteral(u"一二三四五六七八九") << second
                                       << QStringLiteral(u"一二三四五六七八") << 2;
    QTest::newRow("half character, first") << QStringLiteral(u"A一二三四五六七八") << first
                                           << QStringLiteral(u"A一二三四五六七") << 2;
    QTest::newRow("half character, second") << QStringLiteral(u"A一二三四五六七八") << second
                                            << QStringLiteral(u"A一二三四五六七") << 3;
    QTest::newRow("empty name, first") << QString() << first << QString() << 17;
    QTest::newRow("empty name, second") << QString() << second << QString() << 18;
    QTest::newRow("leading blanks kept") << QStringLiteral("  ab") << first
                                         << QStringLiteral("  ab") << 13;
}

void ReceiptLayoutTest::itemParts()
{
    QFETCH(QString, name);
    QFETCH(ReceiptCopy, copy);
    QFETCH(QString, keptName);
    QFETCH(int, blanks);

    ReceiptInput input = emptySale();
    input.saleLines = {{name, QStringLiteral("3"), QStringLiteral("9.9")}};
    const ReceiptLine item = ReceiptLayout::lines(input, copy).at(6);

    QCOMPARE(item.writes.size(), 3);
    QCOMPARE(item.writes[0], keptName + QString(blanks, QLatin1Char(' ')));
    QCOMPARE(gbk.byteLength(item.writes[0]), copy == ReceiptCopy::First ? 17 : 18);
    QCOMPARE(item.writes[1], QStringLiteral("3    "));
    QCOMPARE(item.writes[2], QStringLiteral("9.9"));
}

void ReceiptLayoutTest::amountColumn_data()
{
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<ReceiptCopy>("copy");
    QTest::addColumn<QString>("quantityPart");
    QTest::addColumn<int>("amountOffset");
    QTest::newRow("one digit") << QStringLiteral("2") << ReceiptCopy::First
                               << QStringLiteral("2    ") << 22;
    QTest::newRow("4 bytes keeps the column") << QStringLiteral("1.25") << ReceiptCopy::First
                                              << QStringLiteral("1.25 ") << 22;
    QTest::newRow("5 bytes pushes right") << QStringLiteral("12.25") << ReceiptCopy::First
                                          << QStringLiteral("12.25 ") << 23;
    QTest::newRow("5 bytes, second copy") << QStringLiteral("12.25") << ReceiptCopy::Second
                                          << QStringLiteral("12.25 ") << 24;
    QTest::newRow("long quantity never cut") << QStringLiteral("1234567.5") << ReceiptCopy::First
                                             << QStringLiteral("1234567.5 ") << 27;
    QTest::newRow("empty quantity") << QString() << ReceiptCopy::First
                                    << QStringLiteral("     ") << 22;
}

void ReceiptLayoutTest::amountColumn()
{
    QFETCH(QString, quantity);
    QFETCH(ReceiptCopy, copy);
    QFETCH(QString, quantityPart);
    QFETCH(int, amountOffset);

    ReceiptInput input = emptySale();
    input.saleLines = {{QStringLiteral(u"矿泉水"), quantity, QStringLiteral("12.5")}};
    const ReceiptLine item = ReceiptLayout::lines(input, copy).at(6);
    QCOMPARE(item.writes[1], quantityPart);
    const QByteArray bytes = gbk.encode(item.text());
    QCOMPARE(bytes.indexOf("12.5"), qsizetype(amountOffset));
}

void ReceiptLayoutTest::headerColumns_data()
{
    QTest::addColumn<ReceiptCopy>("copy");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("quantityOffset");
    QTest::addColumn<int>("amountOffset");
    QTest::newRow("first") << ReceiptCopy::First << 26 << 16 << 22;
    QTest::newRow("second") << ReceiptCopy::Second << 27 << 17 << 23;
}

void ReceiptLayoutTest::headerColumns()
{
    QFETCH(ReceiptCopy, copy);
    QFETCH(int, length);
    QFETCH(int, quantityOffset);
    QFETCH(int, amountOffset);
    const QByteArray header = gbk.encode(ReceiptLayout::columnHeader(copy));
    QCOMPARE(header.size(), qsizetype(length));
    QCOMPARE(header.indexOf(gbk.encode(QStringLiteral(u"数量"))), qsizetype(quantityOffset));
    QCOMPARE(header.indexOf(gbk.encode(QStringLiteral(u"金额"))), qsizetype(amountOffset));
}

void ReceiptLayoutTest::emptySaleGoesStraightToSeparator()
{
    const QStringList expected = {
        QStringLiteral(u"       福来超市"),
        QStringLiteral(u"单号:261206143005"),
        QStringLiteral(u"日期:2026-12-06 14:30"),
        QStringLiteral(u"收银员:001"),
        QStringLiteral("..........................."),
        QStringLiteral(u"品名            数量  金额"),
        QStringLiteral("..........................."),
        QStringLiteral(u"合计数量:0"),
        QStringLiteral(u"合计金额:0"),
        QStringLiteral("261206143005"),
        QString(),
        QStringLiteral(". "),
        QStringLiteral(". "),
        QStringLiteral(". "),
        QStringLiteral("."),
        QStringLiteral(" "),
        QStringLiteral(" "),
    };
    QCOMPARE(texts(ReceiptLayout::lines(emptySale(), ReceiptCopy::First)), expected);
}

void ReceiptLayoutTest::receivedAndChange_data()
{
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("paymentLines");
    QTest::newRow("both filled") << QStringLiteral("20") << QStringLiteral("0.5")
                                 << QStringList{QStringLiteral(u"来款金额:20"),
                                                QStringLiteral(u"找零金额:0.5")};
    QTest::newRow("empty change hides received") << QStringLiteral("20") << QString()
                                                 << QStringList{};
    QTest::newRow("change without received") << QString() << QStringLiteral("0")
                                             << QStringList{QStringLiteral(u"来款金额:"),
                                                            QStringLiteral(u"找零金额:0")};
    QTest::newRow("blank change counts as filled") << QStringLiteral("5") << QStringLiteral(" ")
                                                   << QStringList{QStringLiteral(u"来款金额:5"),
                                                                  QStringLiteral(u"找零金额: ")};
}

void ReceiptLayoutTest::receivedAndChange()
{
    QFETCH(QString, received);
    QFETCH(QString, change);
    QFETCH(QStringList, paymentLines);

    ReceiptInput input = workedExampleSale();
    input.received = received;
    input.change = change;
    const QStringList lines = texts(ReceiptLayout::lines(input, ReceiptCopy::First));
    const qsizetype totalAmount = lines.indexOf(QStringLiteral(u"合计金额:19.5"));
    const qsizetype remark = lines.indexOf(QStringLiteral(u"谢谢惠顾，欢迎再来"));
    QVERIFY(totalAmount > 0);
    // The payment lines, then the receipt number's barcode.
    QCOMPARE(lines.mid(totalAmount + 1, remark - totalAmount - 1), paymentLines + QStringList{input.receiptNumber});
}

void ReceiptLayoutTest::remarkLines_data()
{
    QTest::addColumn<QString>("remark");
    QTest::addColumn<QStringList>("printed");
    QTest::newRow("empty remark, one empty line") << QString() << QStringList{QString()};
    QTest::newRow("one line") << QStringLiteral(u"欢迎再来") << QStringList{QStringLiteral(u"欢迎再来")};
    QTest::newRow("three lines")
        << QStringLiteral(u"谢谢惠顾\r\n电话:88886666\r\n欢迎再来")
        << QStringList{QStringLiteral(u"谢谢惠顾"), QStringLiteral(u"电话:88886666"),
                       QStringLiteral(u"欢迎再来")};
    QTest::newRow("ending in CR LF") << QStringLiteral(u"谢谢惠顾\r\n")
                                     << QStringList{QStringLiteral(u"谢谢惠顾"), QString()};
    QTest::newRow("empty line inside")
        << QStringLiteral("a\r\n\r\nb")
        << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
}

void ReceiptLayoutTest::remarkLines()
{
    QFETCH(QString, remark);
    QFETCH(QStringList, printed);

    ReceiptInput input = workedExampleSale();
    input.remark = remark;
    const QList<ReceiptLine> lines = ReceiptLayout::lines(input, ReceiptCopy::First);
    const QStringList all = texts(lines);
    // After the change, the barcode line, then the remark.
    const qsizetype change = all.indexOf(QStringLiteral(u"找零金额:0.5")) + 1;
    QCOMPARE(all.mid(change + 1, printed.size()), printed);
    // The feed follows directly.
    QCOMPARE(all.mid(change + 1 + printed.size()),
             (QStringList{QStringLiteral(". "), QStringLiteral(". "), QStringLiteral(". "),
                          QStringLiteral("."), QStringLiteral(" "), QStringLiteral(" ")}));
    QCOMPARE(lines.size(), 14 + printed.size() + 6);
}

void ReceiptLayoutTest::title_data()
{
    QTest::addColumn<QString>("shopName");
    QTest::addColumn<QString>("title");
    QTest::newRow("plain") << QStringLiteral(u"小店") << QStringLiteral(u" 小店");
    QTest::newRow("leading blanks kept") << QStringLiteral(u"   小店") << QStringLiteral(u"    小店");
    QTest::newRow("empty name, single blank") << QString() << QStringLiteral(" ");
}

void ReceiptLayoutTest::title()
{
    QFETCH(QString, shopName);
    QFETCH(QString, title);

    ReceiptInput input = workedExampleSale();
    input.shopName = shopName;
    for (const ReceiptCopy copy : {ReceiptCopy::First, ReceiptCopy::Second}) {
        const QList<ReceiptLine> lines = ReceiptLayout::lines(input, copy);
        QCOMPARE(lines.first().writes, QStringList{title});
        QCOMPARE(lines.first().pointSize, 12);
    }
}

QTEST_GUILESS_MAIN(ReceiptLayoutTest)
#include "tst_receiptlayout.moc"
