#include "receipt/escposlink.h"
#include "receipt/escposprintsurface.h"
#include "receipt/printertextdevice.h"
#include "base/textcodec.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptprinter.h"
#include "escposlines.h"
#include "receipttestdata.h"

#include <QtTest>

Q_DECLARE_METATYPE(TextEncoding)

class EncodingTest final : public QObject
{
    Q_OBJECT

private slots:
    void gb18030CodesOfWhatGbkLacks_data();
    void gb18030CodesOfWhatGbkLacks();
    void whatNeitherCanEncodeIsOneQuestionMark_data();
    void whatNeitherCanEncodeIsOneQuestionMark();
    void nameColumnFollowsTheEncoding_data();
    void nameColumnFollowsTheEncoding();
    void receiptPrinterSendsTheChosenEncoding();
    void wrapNeverSplitsAFourByteCharacter();
};

void EncodingTest::gb18030CodesOfWhatGbkLacks_data()
{
    // The expected bytes are those of the GB18030 tables, written out here.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("gb18030");
    QTest::newRow("emoji") << QStringLiteral(u"😀") << QByteArray("\x94\x39\xFC\x36");
    QTest::newRow("first character of extension B") << QStringLiteral(u"𠀀") << QByteArray("\x95\x32\x82\x36");
    QTest::newRow("a name: 张𠮷a") << QStringLiteral(u"张𠮷a") << QByteArray("\xD5\xC5\x95\x34\xB2\x35" "a");
    QTest::newRow("latin letter") << QStringLiteral(u"ä") << QByteArray("\x81\x30\x8A\x31");
    QTest::newRow("rare name character, two bytes") << QStringLiteral(u"刘䶮") << QByteArray("\xC1\xF5\xFE\x9F");
    QTest::newRow("euro sign") << QStringLiteral(u"€") << QByteArray("\xA2\xE3");
    QTest::newRow("last code point") << QStringLiteral(u"\U0010FFFF") << QByteArray("\xE3\x32\x9A\x35");
}

void EncodingTest::gb18030CodesOfWhatGbkLacks()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, gb18030);
    const TextCodec codec(TextEncoding::Gb18030);
    QCOMPARE(codec.encode(text).toHex(' '), gb18030.toHex(' '));
    QCOMPARE(codec.decode(gb18030), text);
    QCOMPARE(codec.byteLength(text), gb18030.size());
}

void EncodingTest::whatNeitherCanEncodeIsOneQuestionMark_data()
{
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    const QChar high(0xD842);
    const QChar low(0xDFB7);
    QTest::newRow("GBK: emoji, extension B, latin") << TextEncoding::Gbk << QStringLiteral(u"a😀𠮷ä水")
                                                    << QByteArray("a???\xCB\xAE");
    QTest::newRow("GBK: rare name character") << TextEncoding::Gbk << QStringLiteral(u"刘䶮")
                                              << QByteArray("\xC1\xF5?");
    QTest::newRow("GBK: surrogate halves alone")
        << TextEncoding::Gbk << QString(high) + QStringLiteral("x") + QString(low) << QByteArray("?x?");
    QTest::newRow("GB18030: surrogate halves alone")
        << TextEncoding::Gb18030 << QString(high) + QStringLiteral("x") + QString(low) << QByteArray("?x?");
    QTest::newRow("GB18030: halves in the wrong order")
        << TextEncoding::Gb18030 << QString(low) + QString(high) << QByteArray("??");
    QTest::newRow("GB18030: a half at the end")
        << TextEncoding::Gb18030 << QStringLiteral(u"水") + QString(high) << QByteArray("\xCB\xAE?");
}

void EncodingTest::whatNeitherCanEncodeIsOneQuestionMark()
{
    QFETCH(TextEncoding, encoding);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(TextCodec(encoding).encode(text), bytes);
}

void EncodingTest::nameColumnFollowsTheEncoding_data()
{
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("namePart");
    // "𠮷" is one byte ("?") in GBK and four in GB18030: the name column
    // (17 bytes in the first copy) gets its blanks from the bytes sent.
    QTest::newRow("GBK") << TextEncoding::Gbk << QStringLiteral(u"𠮷祥食品")
                         << QStringLiteral(u"?祥食品") + QString(10, QLatin1Char(' '));
    QTest::newRow("GB18030") << TextEncoding::Gb18030 << QStringLiteral(u"𠮷祥食品")
                             << QStringLiteral(u"𠮷祥食品") + QString(7, QLatin1Char(' '));
    // Bytes 15 to 18 would be the emoji: the 16-byte cut leaves it out whole.
    QTest::newRow("GB18030 cut") << TextEncoding::Gb18030 << QStringLiteral(u"一二三四五六七😀")
                                 << QStringLiteral(u"一二三四五六七") + QString(3, QLatin1Char(' '));
    QTest::newRow("GBK cut") << TextEncoding::Gbk << QStringLiteral(u"一二三四五六七😀")
                             << QStringLiteral(u"一二三四五六七?") + QString(2, QLatin1Char(' '));
}

void EncodingTest::nameColumnFollowsTheEncoding()
{
    QFETCH(TextEncoding, encoding);
    QFETCH(QString, name);
    QFETCH(QString, namePart);
    QCOMPARE(ReceiptLayout::namePart(name, ReceiptCopy::First, encoding), namePart);

    ReceiptInput input = workedExampleSale();
    input.saleLines = {{name, QStringLiteral("1"), QStringLiteral("3")}};
    const QList<ReceiptLine> lines = ReceiptLayout::lines(input, ReceiptCopy::First, encoding);
    QCOMPARE(lines.at(6).writes.first(), namePart);
}

void EncodingTest::receiptPrinterSendsTheChosenEncoding()
{
    // The receipt printer lays out and sends in its encoding: a GBK printer
    // gets "?" where a GB18030 printer gets the four bytes.
    ReceiptInput input = workedExampleSale();
    input.saleLines = {{QStringLiteral(u"𠮷祥食品"), QStringLiteral("1"), QStringLiteral("3")}};
    for (const TextEncoding encoding : {TextEncoding::Gbk, TextEncoding::Gb18030}) {
        QByteArray sent;
        ReceiptPrinter printer(
            std::make_unique<EscPosPrintSurface>(std::make_unique<MemoryLink>(&sent), 32, encoding), encoding);
        QCOMPARE(printer.encoding(), encoding);
        printer.printCopy(input, ReceiptCopy::First);
        bool ok = false;
        const QByteArray item = printedLineBytes(sent, &ok).at(6);
        if (encoding == TextEncoding::Gbk)
            QCOMPARE(item, QByteArray("?\xCF\xE9\xCA\xB3\xC6\xB7          1    3"));
        else
            QCOMPARE(item, QByteArray("\x95\x34\xB2\x35\xCF\xE9\xCA\xB3\xC6\xB7       1    3"));
    }
}

void EncodingTest::wrapNeverSplitsAFourByteCharacter()
{
    // 32 columns: "a" and seven four-byte characters fill 29; the eighth
    // would end at 33 and goes whole onto the next line.
    QByteArray sent;
    PrinterTextDevice device(
        std::make_unique<EscPosPrintSurface>(std::make_unique<MemoryLink>(&sent), 32, TextEncoding::Gb18030),
        TextEncoding::Gb18030);
    device.openJob();
    device.write(QStringLiteral("a") + QString(QStringLiteral(u"𠮷")).repeated(8));
    device.endLine();
    device.closeJob();
    const QByteArray character("\x95\x34\xB2\x35");
    bool ok = false;
    QCOMPARE(printedLineBytes(sent, &ok), (QList<QByteArray>{"a" + character.repeated(7), character}));
}

QTEST_GUILESS_MAIN(EncodingTest)
#include "tst_encoding.moc"
