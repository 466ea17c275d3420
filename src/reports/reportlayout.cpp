#include "reports/reportlayout.h"

#include "receipt/receiptlayout.h"

namespace {

// The same three columns as a receipt's item line.
ReceiptLine columnLine(const QString &name, const QString &middle, const QString &amount)
{
    return ReceiptLine{QStringList{ReceiptLayout::namePart(name, ReceiptCopy::First),
                                   ReceiptLayout::quantityPart(middle), amount},
                       ReceiptLayout::BodyPointSize};
}

QString dayText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString orDash(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

} // namespace

QString ReportLayout::cashierHeader()
{
    // "单数" and "金额" stand where a receipt's header has "数量" and "金额".
    return QStringLiteral(u"收银员          单数  金额");
}

QList<ReceiptLine> ReportLayout::lines(const ReportFigures &f, const Heading &heading)
{
    QList<ReceiptLine> result;
    result.append(ReceiptLayout::titleLine(heading.shopName));
    if (heading.kind == Kind::X)
        result.append(ReceiptLayout::bodyLine(QStringLiteral(u"X报表")));
    else
        result.append(ReceiptLayout::bodyLine(QStringLiteral(u"Z报表 No.%1").arg(heading.closingNumber)));
    QString dates = dayText(f.range.from);
    if (f.range.to != f.range.from)
        dates += QStringLiteral(u"至") + dayText(f.range.to);
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"日期:") + dates));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"收银员:") + (f.range.cashier.isEmpty() ? QStringLiteral(u"全部") : f.range.cashier)));
    if (heading.kind == Kind::Z && !heading.previousClosing.isEmpty())
        result.append(ReceiptLayout::bodyLine(QStringLiteral(u"上次日结:") + heading.previousClosing));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"打印:") + heading.printedAt));
    result.append(ReceiptLayout::bodyLine(ReceiptLayout::separator()));

    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"小票数:") + QString::number(f.receipts)));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"行数:") + QString::number(f.lines)));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"件数:") + f.items));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"营业额:") + f.takings));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"客单价:") + f.averageReceipt));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"首笔:") + orDash(f.firstSale)));
    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"末笔:") + orDash(f.lastSale)));
    // The takings by method and the drawer's cash, whenever money came
    // other than in cash or opening cash was put in; always on a Z.
    const bool drawer = heading.kind == Kind::Z || f.openingFloat != QLatin1String("0");
    if (drawer || !f.onlyCash) {
        for (const ReportFigures::Takings &method : f.byMethod)
            result.append(ReceiptLayout::bodyLine(method.method + QLatin1Char(':') + method.amount));
        result.append(ReceiptLayout::bodyLine(QStringLiteral(u"找零:") + f.changeGiven));
    }
    for (const ReportFigures::Takings &refund : f.refunds)
        result.append(ReceiptLayout::bodyLine(QStringLiteral(u"退款") + refund.method + QLatin1Char(':') + refund.amount));
    if (f.discounts != QLatin1String("0"))
        result.append(ReceiptLayout::bodyLine(QStringLiteral(u"折扣:") + f.discounts));
    if (f.roundOffs != QLatin1String("0"))
        result.append(ReceiptLayout::bodyLine(QStringLiteral(u"抹零:") + f.roundOffs));
    if (drawer) {
        result.append(ReceiptLayout::bodyLine(QStringLiteral(u"备用金:") + f.openingFloat));
        result.append(ReceiptLayout::bodyLine(QStringLiteral(u"应有现金:") + f.expectedCash));
    }
    if (heading.kind == Kind::Z) {
        result.append(ReceiptLayout::bodyLine(QStringLiteral(u"清点现金:") + heading.counted));
        result.append(ReceiptLayout::bodyLine(QStringLiteral(u"差额:") + heading.difference));
    }
    result.append(ReceiptLayout::bodyLine(ReceiptLayout::separator()));

    result.append(ReceiptLayout::bodyLine(cashierHeader()));
    for (const ReportFigures::Group &cashier : f.byCashier)
        result.append(columnLine(cashier.key, QString::number(cashier.receipts), cashier.takings));
    result.append(ReceiptLayout::bodyLine(ReceiptLayout::separator()));

    result.append(ReceiptLayout::bodyLine(QStringLiteral(u"营业额前%1:").arg(TopLines)));
    result.append(ReceiptLayout::bodyLine(ReceiptLayout::columnHeader(ReceiptCopy::First)));
    for (qsizetype i = 0; i < f.topByTakings.size() && i < TopLines; ++i) {
        const ReportFigures::Product &p = f.topByTakings[i];
        result.append(columnLine(p.name, p.quantity, p.takings));
    }
    result.append(ReceiptLayout::bodyLine(ReceiptLayout::separator()));

    // The receipt's feed to the tear-off edge.
    result.append(ReceiptLayout::feedLines());
    return result;
}
