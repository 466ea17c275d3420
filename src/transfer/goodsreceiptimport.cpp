#include "goodsreceiptimport.h"

#include "base/apperror.h"
#include "base/exactdecimal.h"
#include "storage/stockledger.h"
#include "transfer/csvfields.h"

#include <QFile>
#include <QHash>

#include <algorithm>

using namespace CsvFields;

namespace {

const QStringList &titlesOf(GoodsReceiptImport::Role role)
{
    static const QStringList quantity{QStringLiteral("数量"), QStringLiteral("进货数量"), QStringLiteral("入库数量"),
                                      QStringLiteral("qty"), QStringLiteral("quantity")};
    static const QStringList cost{QStringLiteral("进货价"), QStringLiteral("进价"), QStringLiteral("成本"),
                                  QStringLiteral("成本价"), QStringLiteral("进货单价"), QStringLiteral("cost")};
    switch (role) {
    case GoodsReceiptImport::Code: return codeTitles();
    case GoodsReceiptImport::Quantity: return quantity;
    default: return cost;
    }
}

} // namespace

GoodsReceiptImport::GoodsReceiptImport(QString filePath)
    : m_filePath(std::move(filePath))
{
    const QStringList first = firstRow(m_filePath, &m_format, QStringLiteral("编码、数量和进货价"));
    const QList<int> found = columnsByTitle(first, {titlesOf(Code), titlesOf(Quantity), titlesOf(Cost)});
    m_hasHeader = found[Code] >= 0 && found[Quantity] >= 0;
    if (m_hasHeader)
        std::copy(found.cbegin(), found.cend(), m_columns);
}

QString GoodsReceiptImport::problemOf(const QString &quantity, const QString &cost)
{
    const std::optional<ExactDecimal> q = ExactDecimal::parse(quantity);
    if (!q)
        return QStringLiteral("数量不是数字");
    if (q->isNegative() || q->isZero())
        return QStringLiteral("数量要大于零");
    if (q->decimals() > 3)
        return QStringLiteral("数量最多三位小数");
    if (cost.isEmpty())
        return QStringLiteral("进货价为空");
    const std::optional<ExactDecimal> c = ExactDecimal::parse(cost);
    if (!c)
        return QStringLiteral("进货价不是数字");
    if (c->isNegative())
        return QStringLiteral("进货价不能为负数");
    return {};
}

GoodsReceiptImport::Result GoodsReceiptImport::read(Database &db) const
{
    QFile file(m_filePath);
    CsvReader reader(*openFile(file), m_format);
    Result result;
    QStringList fields;
    bool titlesPassed = !m_hasHeader;
    QList<Line> candidates;
    while (reader.next(&fields)) {
        if (allBlank(fields))
            continue;
        if (!titlesPassed) {
            titlesPassed = true;
            continue;
        }
        Line line;
        line.line = reader.recordLine();
        line.code = field(reader, fields, m_columns[Code], true);
        line.quantity = trimmed(fields.value(m_columns[Quantity]));
        line.cost = trimmed(fields.value(m_columns[Cost]));
        QString problem;
        if (undecodable(fields))
            problem = undecodableReason(m_format);
        else if (line.code.isEmpty())
            problem = QStringLiteral("编码为空");
        else
            problem = problemOf(line.quantity, line.cost);
        if (!problem.isEmpty()) {
            result.report.addBadRow({line.line, problem, line.code, {}, line.cost});
            continue;
        }
        candidates << line;
    }

    // The catalogue is asked once for every code of the file.
    QStringList codes;
    for (const Line &line : std::as_const(candidates))
        codes << line.code;
    QHash<QString, QString> names;
    for (const StockLevel &level : StockLedger::levels(db, codes))
        names.insert(level.code, level.name);
    for (Line &line : candidates) {
        const auto name = names.constFind(line.code);
        if (name == names.cend()) {
            result.report.addBadRow({line.line, QStringLiteral("商品资料里没有这个编码"), line.code, {}, line.cost});
            continue;
        }
        line.name = *name;
        line.quantity = ExactDecimal::parse(line.quantity)->text();
        line.cost = ExactDecimal::parse(line.cost)->text();
        result.lines << line;
    }
    std::stable_sort(result.report.badRows.begin(), result.report.badRows.end(),
                     [](const ImportReport::BadRow &a, const ImportReport::BadRow &b) { return a.line < b.line; });
    return result;
}
