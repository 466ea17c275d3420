#include "stocksheets.h"

#include "base/exactdecimal.h"
#include "transfer/csvtarget.h"
#include "transfer/csvwriter.h"

namespace {

ExactDecimal decimal(const QString &text)
{
    return ExactDecimal::parse(text).value_or(ExactDecimal());
}

QString kindTitle(StockKind kind)
{
    switch (kind) {
    case StockKind::Received: return QStringLiteral("进货单");
    case StockKind::StockTake: return QStringLiteral("盘点单");
    default: return QStringLiteral("库存单");
    }
}

} // namespace

bool StockSheets::isBelowZero(const QString &quantity)
{
    return decimal(quantity).isNegative();
}

QString StockSheets::shownQuantity(const QString &quantity)
{
    const ExactDecimal value = decimal(quantity);
    if (!value.isNegative())
        return value.text();
    return QStringLiteral("\u2212%1 \u25B2").arg(value.abs().text());
}

QString StockSheets::lineAmount(const QString &quantity, const QString &cost)
{
    return (decimal(quantity) * decimal(cost)).text(2);
}

QString StockSheets::receivedAmount(const QList<StockChange> &lines)
{
    ExactDecimal sum;
    for (const StockChange &line : lines)
        sum += decimal(line.quantity) * decimal(line.unitCost);
    return sum.text(2);
}

StockPaper StockSheets::receivedPaper(const StockDocument &document, const QHash<QString, QString> &names)
{
    StockPaper paper;
    paper.title = kindTitle(document.kind);
    paper.heading << QStringLiteral("单号:%1").arg(document.number) << QStringLiteral("时间:") + document.at
                  << QStringLiteral("经手人:") + document.cashier;
    if (!document.note.isEmpty())
        paper.heading << QStringLiteral("供应商/备注:") + document.note;
    paper.columns = QStringLiteral("品名            数量  金额");
    ExactDecimal quantity;
    for (const StockChange &line : document.lines) {
        paper.lines << ReceiptSaleLine{names.value(line.code, line.code), decimal(line.quantity).text(),
                                       lineAmount(line.quantity, line.unitCost)};
        quantity += decimal(line.quantity);
    }
    paper.footing << QStringLiteral("品种:%1").arg(document.lines.size())
                  << QStringLiteral("合计数量:") + quantity.text()
                  << QStringLiteral("进货金额:") + receivedAmount(document.lines);
    return paper;
}

QString StockSheets::difference(const StockCount &count)
{
    return (decimal(count.counted) - decimal(count.onHand)).text();
}

QString StockSheets::differenceCost(const StockCount &count)
{
    if (count.lastCost.isEmpty())
        return {};
    return ((decimal(count.counted) - decimal(count.onHand)) * decimal(count.lastCost)).text(2);
}

StockSheets::TakeTotals StockSheets::totals(const QList<StockCount> &counts)
{
    TakeTotals totals;
    ExactDecimal difference;
    ExactDecimal missing;
    ExactDecimal net;
    for (const StockCount &count : counts) {
        const ExactDecimal d = decimal(count.counted) - decimal(count.onHand);
        if (d.isZero())
            continue;
        ++totals.differing;
        difference += d;
        const ExactDecimal atCost = d * decimal(count.lastCost);
        net += atCost;
        if (d.isNegative())
            missing += atCost.abs();
    }
    totals.difference = difference.text();
    totals.missingCost = missing.text(2);
    totals.netCost = net.text(2);
    return totals;
}

QList<StockChange> StockSheets::takeChanges(const QList<StockCount> &counts)
{
    QList<StockChange> changes;
    for (const StockCount &count : counts) {
        const ExactDecimal d = decimal(count.counted) - decimal(count.onHand);
        if (!d.isZero())
            changes << StockChange{count.code, d.text(), {}};
    }
    return changes;
}

StockPaper StockSheets::takePaper(const QList<StockCount> &counts, const QString &note, const QString &at,
                                  qint64 number)
{
    StockPaper paper;
    paper.title = QStringLiteral("盘点表");
    if (number > 0)
        paper.heading << QStringLiteral("单号:%1").arg(number);
    paper.heading << QStringLiteral("时间:") + at;
    if (!note.isEmpty())
        paper.heading << QStringLiteral("货架/备注:") + note;
    paper.columns = QStringLiteral("品名            差异  金额");
    for (const StockCount &count : counts) {
        if (decimal(count.counted) == decimal(count.onHand))
            continue;
        paper.lines << ReceiptSaleLine{count.name, difference(count), differenceCost(count)};
    }
    const TakeTotals t = totals(counts);
    paper.footing << QStringLiteral("盘点品种:%1  有差异:%2").arg(counts.size()).arg(t.differing)
                  << QStringLiteral("差异合计:") + t.difference << QStringLiteral("短缺金额(进价):") + t.missingCost
                  << QStringLiteral("差异金额(进价):") + t.netCost;
    return paper;
}

void StockSheets::saveTakeCsv(const QList<StockCount> &counts, const QString &path, const QString &databasePath)
{
    CsvTarget::refuseDatabase(path, databasePath);
    CsvWriter writer(path);
    writer.writeRow({QStringLiteral("编码"), QStringLiteral("品名"), QStringLiteral("账面"), QStringLiteral("实点"),
                     QStringLiteral("差异"), QStringLiteral("进货价"), QStringLiteral("差异金额")});
    for (const StockCount &count : counts)
        writer.writeRow({count.code, count.name, decimal(count.onHand).text(), decimal(count.counted).text(),
                         difference(count), count.lastCost, differenceCost(count)});
    const TakeTotals t = totals(counts);
    writer.writeRow({QStringLiteral("合计"), QStringLiteral("有差异 %1 行").arg(t.differing), {}, {}, t.difference,
                     QStringLiteral("短缺金额 %1").arg(t.missingCost), t.netCost});
    writer.commit();
}

StockPaper StockSheets::lowStockPaper(const QList<StockLevel> &levels, const QString &at)
{
    StockPaper paper;
    paper.title = QStringLiteral("库存不足");
    paper.heading << QStringLiteral("时间:") + at;
    paper.columns = QStringLiteral("品名            库存  补货线");
    // The printer's code page has no true minus sign: paper gets a hyphen.
    for (const StockLevel &level : levels)
        paper.lines << ReceiptSaleLine{level.name,
                                       isBelowZero(level.onHand) ? decimal(level.onHand).text() + QStringLiteral(" \u25B2")
                                                                 : decimal(level.onHand).text(),
                                       level.reorderLevel};
    paper.footing << QStringLiteral("共 %1 种").arg(levels.size());
    return paper;
}

void StockSheets::saveLowStockCsv(const QList<StockLevel> &levels, const QString &path, const QString &databasePath)
{
    CsvTarget::refuseDatabase(path, databasePath);
    CsvWriter writer(path);
    writer.writeRow({QStringLiteral("编码"), QStringLiteral("品名"), QStringLiteral("库存"), QStringLiteral("补货线"),
                     QStringLiteral("进货价")});
    // The file holds the plain number, that a spreadsheet can sum.
    for (const StockLevel &level : levels)
        writer.writeRow({level.code, level.name, decimal(level.onHand).text(), level.reorderLevel, level.lastCost});
    writer.commit();
}
