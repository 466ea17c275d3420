#include "csvexport.h"

#include "base/apperror.h"
#include "transfer/csvwriter.h"
#include "storage/query.h"
#include "storage/preparedstatement.h"
#include "storage/statements.h"

#include <QDate>

namespace {

// Dates are compared as text, which orders "yyyy-mm-dd" correctly.
QString checkedDate(const QString &text)
{
    if (!QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid())
        throw Refusal(QStringLiteral("日期“%1”不对：请写成 年-月-日，例如 2026-12-06。").arg(text));
    return text;
}

qint64 writeAll(PreparedStatement &rows, int columns, CsvWriter &writer)
{
    qint64 count = 0;
    QStringList fields;
    while (rows.step()) {
        fields.clear();
        for (int i = 0; i < columns; ++i)
            fields << Query::valueText(rows.value(i));
        writer.writeRow(fields);
        ++count;
    }
    return count;
}

} // namespace

namespace CsvExport {

QStringList productTitles()
{
    return {QStringLiteral("编码"), QStringLiteral("品名"), QStringLiteral("单价")};
}

QStringList salesTitles()
{
    return {QStringLiteral("单号"),   QStringLiteral("日期"), QStringLiteral("时间"),
            QStringLiteral("收银员"), QStringLiteral("编码"), QStringLiteral("品名"),
            QStringLiteral("数量"),   QStringLiteral("单价"), QStringLiteral("金额")};
}

qint64 products(Database &db, const QString &path)
{
    PreparedStatement rows(db, Statements::exportProducts());
    CsvWriter writer(path);
    writer.writeRow(productTitles());
    const qint64 count = writeAll(rows, 3, writer);
    writer.commit();
    return count;
}

qint64 sales(Database &db, const QString &path, const QString &from, const QString &to)
{
    Statement statement = Statements::exportAllSales();
    if (!from.isEmpty() || !to.isEmpty()) {
        // Past every date on one side, no text on the other.
        const QString first = from.isEmpty() ? QStringLiteral("") : checkedDate(from);
        const QString last = to.isEmpty() ? QStringLiteral("9999-99-99") : checkedDate(to);
        if (!from.isEmpty() && !to.isEmpty() && last < first)
            throw Refusal(QStringLiteral("结束日期 %1 早于开始日期 %2。").arg(last, first));
        statement = Statements::exportSales(first, last);
    }
    PreparedStatement rows(db, statement);
    CsvWriter writer(path);
    writer.writeRow(salesTitles());
    const qint64 count = writeAll(rows, 9, writer);
    writer.commit();
    return count;
}

} // namespace CsvExport
