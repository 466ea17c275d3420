#include "receipt/testpage.h"

#include "receipt/receiptlayout.h"

QStringList TestPage::sampleText(TextEncoding encoding)
{
    QStringList sample{QStringLiteral(u"中文打印测试：欢迎光临！")};
    // Characters GBK has no code for: a rare one used in names (two bytes
    // in GB18030) and two beyond the basic plane (four bytes).
    if (encoding == TextEncoding::Gb18030)
        sample << QStringLiteral(u"生僻字：䶮𠮷𠀀");
    return sample;
}

QStringList TestPage::ruler(int columns)
{
    QString marks;
    QString digits;
    for (int column = 1; column <= columns; ++column) {
        if (column % 10 == 0)
            marks += QString::number(column / 10 % 10);
        else if (column % 5 == 0)
            marks += QLatin1Char('+');
        else
            marks += QLatin1Char('.');
        digits += QString::number(column % 10);
    }
    return {marks, digits};
}

QList<ReceiptLine> TestPage::lines(const QString &shopName, TextEncoding encoding, int columns,
                                   const QDateTime &printed)
{
    QList<ReceiptLine> result;
    result.append(ReceiptLayout::titleLine(shopName));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"小票打印机测试页")));
    const QString encodingName = encoding == TextEncoding::Gb18030 ? QStringLiteral("GB18030") : QStringLiteral("GBK");
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"编码:%1 每行%2列").arg(encodingName).arg(columns)));
    for (const QString &sample : sampleText(encoding))
        result.append(ReceiptLayout::bodyLine(sample));
    for (const QString &line : ruler(columns))
        result.append(ReceiptLayout::bodyLine(line));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"时间:") + printed.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    // The same feed as a receipt, so the last line clears the cutter.
    result.append(ReceiptLayout::feedLines());
    return result;
}
