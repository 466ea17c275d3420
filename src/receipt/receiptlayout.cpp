#include "receipt/receiptlayout.h"

#include "base/controlcharacters.h"
#include "base/textcodec.h"
#include "receipt/code128.h"

namespace {

// The input without control characters, which would reach a raw receipt
// printer as commands. The remark keeps the line ends, tabs and form feeds
// that the printer text device lays out itself.
ReceiptInput printable(const ReceiptInput &input)
{
    using ControlCharacters::removed;
    ReceiptInput out;
    out.shopName = removed(input.shopName);
    out.receiptNumber = removed(input.receiptNumber);
    out.saleDate = removed(input.saleDate);
    out.printTime = removed(input.printTime);
    out.cashier = removed(input.cashier);
    out.saleLines.reserve(input.saleLines.size());
    for (const ReceiptSaleLine &line : input.saleLines)
        out.saleLines.append({removed(line.name), removed(line.quantity), removed(line.amount)});
    out.totalQuantity = removed(input.totalQuantity);
    out.totalAmount = removed(input.totalAmount);
    out.received = removed(input.received);
    out.change = removed(input.change);
    for (const ReceiptPayment &payment : input.payments)
        out.payments.append({removed(payment.method), removed(payment.amount)});
    out.paymentChange = removed(input.paymentChange);
    out.remark = ControlCharacters::removedExceptLayout(input.remark);
    return out;
}

} // namespace

QString ReceiptLayout::padSpaces(int n)
{
    return QString(1 + qMax(n, 0), QLatin1Char(' '));
}

QString ReceiptLayout::separator()
{
    return QString(27, QLatin1Char('.'));
}

QString ReceiptLayout::columnHeader(ReceiptCopy copy)
{
    if (copy == ReceiptCopy::First)
        return QStringLiteral(u"品名            数量  金额");
    return QStringLiteral(u"品名             数量  金额");
}

QString ReceiptLayout::namePart(const QString &name, ReceiptCopy copy, TextEncoding encoding)
{
    const TextCodec codec(encoding);
    const QByteArray kept = codec.cut(codec.encode(name), NameBytes);
    const int length = int(kept.size());
    const int room = copy == ReceiptCopy::First ? NameBytes - length : NameBytes + 1 - length;
    return codec.decode(kept) + padSpaces(room);
}

QString ReceiptLayout::quantityPart(const QString &quantity, TextEncoding encoding)
{
    return quantity + padSpaces(4 - int(TextCodec(encoding).byteLength(quantity)));
}

QList<ReceiptLine> ReceiptLayout::lines(const ReceiptInput &given, ReceiptCopy copy, TextEncoding encoding)
{
    const ReceiptInput input = printable(given);
    QList<ReceiptLine> result;
    result.append(titleLine(input.shopName));
    result.append(bodyLine(QStringLiteral(u"单号:") + input.receiptNumber));
    result.append(bodyLine(QStringLiteral(u"日期:") + input.saleDate + QLatin1Char(' ') + input.printTime));
    result.append(bodyLine(QStringLiteral(u"收银员:") + input.cashier));
    result.append(bodyLine(separator()));
    result.append(bodyLine(columnHeader(copy)));
    for (const ReceiptSaleLine &sale : input.saleLines) {
        result.append(ReceiptLine{
            QStringList{namePart(sale.name, copy, encoding), quantityPart(sale.quantity, encoding), sale.amount},
            BodyPointSize});
    }
    result.append(bodyLine(separator()));
    result.append(bodyLine(QStringLiteral(u"合计数量:") + input.totalQuantity));
    result.append(bodyLine(QStringLiteral(u"合计金额:") + input.totalAmount));
    // Only the change box decides: received is printed, even empty, whenever
    // a change was computed.
    if (!input.change.isEmpty()) {
        result.append(bodyLine(QStringLiteral(u"来款金额:") + input.received));
        result.append(bodyLine(QStringLiteral(u"找零金额:") + input.change));
    }
    // Paid by phone, card or in parts: each payment, then the change.
    for (const ReceiptPayment &payment : input.payments)
        result.append(bodyLine(payment.method + QLatin1Char(':') + payment.amount));
    if (!input.payments.isEmpty())
        result.append(bodyLine(QStringLiteral(u"找零金额:") + input.paymentChange));
    // Under the totals, the number to scan when the goods come back.
    if (Code128::encodes(input.receiptNumber))
        result.append(barcodeLine(input.receiptNumber));
    const QStringList remarkLines = input.remark.split(QStringLiteral("\r\n"));
    for (const QString &remarkLine : remarkLines)
        result.append(bodyLine(remarkLine));
    result.append(feedLines());
    return result;
}

QList<QList<ReceiptLine>> ReceiptLayout::copies(const ReceiptInput &input, int count, TextEncoding encoding)
{
    QList<QList<ReceiptLine>> jobs{lines(input, ReceiptCopy::First, encoding)};
    if (count > 1)
        jobs.append(lines(input, ReceiptCopy::Second, encoding));
    return jobs;
}

ReceiptLine ReceiptLayout::bodyLine(const QString &text)
{
    return ReceiptLine{QStringList{text}, BodyPointSize};
}

ReceiptLine ReceiptLayout::barcodeLine(const QString &data)
{
    return ReceiptLine{QStringList{data}, BarcodePointSize};
}

ReceiptLine ReceiptLayout::titleLine(const QString &shopName)
{
    return ReceiptLine{QStringList{QLatin1Char(' ') + shopName}, TitlePointSize};
}

QList<ReceiptLine> ReceiptLayout::feedLines()
{
    QList<ReceiptLine> lines;
    for (int i = 0; i < 3; ++i)
        lines.append(bodyLine(QStringLiteral(". ")));
    lines.append(bodyLine(QStringLiteral(".")));
    for (int i = 0; i < 2; ++i)
        lines.append(bodyLine(QStringLiteral(" ")));
    return lines;
}

QString ReceiptLayout::reprintMark()
{
    return QStringLiteral(u"重印");
}

QList<ReceiptLine> ReceiptLayout::reprintLines(const ReceiptInput &input, TextEncoding encoding)
{
    QList<ReceiptLine> result = lines(input, ReceiptCopy::First, encoding);
    result.insert(1, bodyLine(reprintMark()));
    return result;
}

QList<ReceiptLine> ReceiptLayout::returnLines(const ReceiptInput &input, const QString &soldReceipt,
                                              TextEncoding encoding)
{
    QList<ReceiptLine> result = lines(input, ReceiptCopy::First, encoding);
    result.insert(1, bodyLine(QStringLiteral(u"退货单")));
    result.insert(3, bodyLine(QStringLiteral(u"原单号:") + (soldReceipt.isEmpty() ? QStringLiteral(u"无小票") : soldReceipt)));
    return result;
}
