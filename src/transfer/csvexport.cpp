#include "csvexport.h"

#include "base/apperror.h"
#include "transfer/csvwriter.h"
#include "storage/query.h"
#include "storage/preparedstatement.h"
#include "storage/statements.h"

#include <QDate>

#include <optional>
#include <utility>

namespace {

// Dates are compared as text, which orders "yyyy-mm-dd" correctly.
QString checkedDate(const QString &text)
{
    if (!QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid())
        throw Refusal(QStringLiteral("日期“%1”不对：请写成 年-月-日，例如 2026-12-06。").arg(text));
    return text;
}

// The first and last date to export, none for every line.
std::optional<std::pair<QString, QString>> checkedRange(const QString &from, const QString &to)
{
    if (from.isEmpty() && to.isEmpty())
        return std::nullopt;
    // Past every date on one side, no text on the other.
    const QString first = from.isEmpty() ? QStringLiteral("") : checkedDate(from);
    const QString last = to.isEmpty() ? QStringLiteral("9999-99-99") : checkedDate(to);
    if (!from.isEmpty() && !to.isEmpty() && last < first)
        throw Refusal(QStringLiteral("结束日期 %1 早于开始日期 %2。").arg(last, first));
    return std::pair{first, last};
}

// The titles, then every row of the statement, as many fields as titles.
qint64 writeFile(Database &db, const Statement &statement, const QString &path, const QStringList &titles)
{
    PreparedStatement rows(db, statement);
    CsvWriter writer(path);
    writer.writeRow(titles);
    qint64 count = 0;
    QStringList fields;
    while (rows.step()) {
        fields.clear();
        for (int i = 0; i < titles.size(); ++i)
            fields << Query::valueText(rows.value(i));
        writer.writeRow(fields);
        ++count;
    }
    writer.commit();
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

QStringList paymentTitles()
{
    return {QStringLiteral("单号"),     QStringLiteral("收银台"), QStringLiteral("日期"), QStringLiteral("时间"),
            QStringLiteral("付款方式"), QStringLiteral("金额"),   QStringLiteral("找零")};
}

qint64 products(Database &db, const QString &path)
{
    return writeFile(db, Statements::exportProducts(), path, productTitles());
}

qint64 sales(Database &db, const QString &path, const QString &from, const QString &to)
{
    const std::optional<std::pair<QString, QString>> range = checkedRange(from, to);
    return writeFile(db, range ? Statements::exportSales(range->first, range->second) : Statements::exportAllSales(),
                     path, salesTitles());
}

qint64 payments(Database &db, const QString &path, const QString &from, const QString &to)
{
    const std::optional<std::pair<QString, QString>> range = checkedRange(from, to);
    return writeFile(db,
                     range ? Statements::exportPayments(range->first, range->second) : Statements::exportAllPayments(),
                     path, paymentTitles());
}

} // namespace CsvExport
