#include "reportsheet.h"

#include "transfer/csvwriter.h"

namespace {

QString count(qint64 n)
{
    return QString::number(n);
}

void groupSection(QList<QStringList> &rows, const QString &title, const QString &keyTitle,
                  const QList<ReportFigures::Group> &groups)
{
    rows << QStringList{} << QStringList{title}
         << QStringList{keyTitle, QStringLiteral("小票数"), QStringLiteral("行数"), QStringLiteral("件数"),
                        QStringLiteral("营业额")};
    for (const ReportFigures::Group &g : groups)
        rows << QStringList{g.key, count(g.receipts), count(g.lines), g.items, g.takings};
}

void productSection(QList<QStringList> &rows, const QString &title, const QList<ReportFigures::Product> &products)
{
    rows << QStringList{} << QStringList{title}
         << QStringList{QStringLiteral("名次"), QStringLiteral("编码"), QStringLiteral("品名"), QStringLiteral("数量"),
                        QStringLiteral("营业额"), QStringLiteral("行数")};
    int rank = 0;
    for (const ReportFigures::Product &p : products)
        rows << QStringList{count(++rank), p.code, p.name, p.quantity, p.takings, count(p.lines)};
}

void marginSection(QList<QStringList> &rows, const ReportFigures &f)
{
    if (f.margins.isEmpty())
        return;
    const QString unknown = QStringLiteral("—");
    rows << QStringList{} << QStringList{QStringLiteral("毛利（按最近进货价）")}
         << QStringList{QStringLiteral("编码"), QStringLiteral("品名"), QStringLiteral("数量"), QStringLiteral("营业额"),
                        QStringLiteral("成本"), QStringLiteral("毛利")};
    for (const ReportFigures::Margin &m : f.margins)
        rows << QStringList{m.code,     m.name,
                            m.quantity, m.takings,
                            m.cost.isEmpty() ? unknown : m.cost, m.margin.isEmpty() ? unknown : m.margin};
    rows << QStringList{QStringLiteral("成本合计"), f.cost} << QStringList{QStringLiteral("毛利合计"), f.margin};
    if (f.uncosted > 0)
        rows << QStringList{QStringLiteral("未计成本：%1 种商品（没有进货价）").arg(f.uncosted)};
}

} // namespace

QList<QStringList> ReportSheet::rows(const ReportFigures &f)
{
    QList<QStringList> rows;
    rows << QStringList{QStringLiteral("销售报表"), ReportRange::dateText(f.range.from), ReportRange::dateText(f.range.to)}
         << QStringList{QStringLiteral("收银员"), f.range.cashier.isEmpty() ? QStringLiteral("全部") : f.range.cashier}
         << QStringList{QStringLiteral("小票数"), count(f.receipts)}
         << QStringList{QStringLiteral("行数"), count(f.lines)}
         << QStringList{QStringLiteral("件数"), f.items}
         << QStringList{QStringLiteral("营业额"), f.takings}
         << QStringList{QStringLiteral("客单价"), f.averageReceipt}
         << QStringList{QStringLiteral("首笔"), f.firstSale}
         << QStringList{QStringLiteral("末笔"), f.lastSale};
    groupSection(rows, QStringLiteral("按收银员"), QStringLiteral("收银员"), f.byCashier);
    groupSection(rows, QStringLiteral("按小时"), QStringLiteral("小时"), f.byHour);
    groupSection(rows, QStringLiteral("按日"), QStringLiteral("日期"), f.byDay);
    productSection(rows, QStringLiteral("营业额前%1").arg(ReportFigures::TopCount), f.topByTakings);
    productSection(rows, QStringLiteral("数量前%1").arg(ReportFigures::TopCount), f.topByQuantity);
    marginSection(rows, f);
    return rows;
}

QString ReportSheet::plainText(const ReportFigures &figures)
{
    // A tab or line break in a name would make a field or a row of its own:
    // written as \t and \n (and a backslash as \\), every row keeps its fields.
    QString text;
    for (const QStringList &row : rows(figures)) {
        QStringList fields;
        for (QString field : row) {
            field.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
            field.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
            field.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
            field.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
            fields << field;
        }
        text += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

void ReportSheet::writeCsv(const ReportFigures &figures, const QString &path)
{
    CsvWriter writer(path);
    for (const QStringList &row : rows(figures))
        writer.writeRow(row);
    writer.commit();
}
