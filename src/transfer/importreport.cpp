#include "importreport.h"

#include "transfer/csvwriter.h"

#include <algorithm>

void ImportReport::addBadRow(BadRow row)
{
    ++badCount;
    if (badRows.size() < kListedBadRows)
        badRows << std::move(row);
}

void ImportReport::addBadRows(const ImportReport &other)
{
    badCount += other.badCount;
    badRows += other.badRows;
    std::stable_sort(badRows.begin(), badRows.end(), [](const BadRow &a, const BadRow &b) { return a.line < b.line; });
    if (badRows.size() > kListedBadRows)
        badRows.resize(kListedBadRows);
}

QString ImportReport::summary() const
{
    QString text = QStringLiteral("新增 %1 个商品，更新 %2 个，未变 %3 个，跳过 %4 个，有问题未导入 %5 行。")
                       .arg(added)
                       .arg(updated)
                       .arg(unchanged)
                       .arg(skipped)
                       .arg(badCount);
    if (badCount > badRows.size())
        text += QStringLiteral("（只列出前 %1 行）").arg(badRows.size());
    return text;
}

QStringList ImportReport::titles()
{
    return {QStringLiteral("行号"), QStringLiteral("原因"), QStringLiteral("编码"), QStringLiteral("品名"),
            QStringLiteral("单价")};
}

void ImportReport::saveCsv(const QString &path) const
{
    CsvWriter writer(path);
    writer.writeRow(titles());
    for (const BadRow &row : badRows)
        writer.writeRow({QString::number(row.line), row.reason, row.code, row.name, row.price});
    writer.commit();
}
