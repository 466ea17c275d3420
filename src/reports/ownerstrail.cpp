#include "ownerstrail.h"

#include "base/decimalsum.h"
#include "base/numbertext.h"
#include "transfer/csvtarget.h"
#include "transfer/csvwriter.h"

#include <map>

QList<OwnersTrail::CashierVoids> OwnersTrail::voidedByCashier(const QList<AuditLog::Row> &rows)
{
    QStringList order;
    std::map<QString, std::pair<qint64, DecimalSum>> sums;
    for (const AuditLog::Row &row : rows) {
        if (!row.kind || !AuditLog::isVoid(*row.kind))
            continue;
        if (!sums.count(row.cashier))
            order << row.cashier;
        auto &[entries, amount] = sums[row.cashier];
        ++entries;
        amount.add(textToNumber(row.amount));
    }
    QList<CashierVoids> out;
    for (const QString &cashier : std::as_const(order))
        out << CashierVoids{cashier, sums[cashier].first, sums[cashier].second.text()};
    return out;
}

QStringList OwnersTrail::titles()
{
    return {QStringLiteral("时间"), QStringLiteral("收银机"), QStringLiteral("收银员"), QStringLiteral("操作"),
            QStringLiteral("单号"), QStringLiteral("商品"), QStringLiteral("金额")};
}

QStringList OwnersTrail::fields(const AuditLog::Row &row)
{
    return {row.loggedAt, QString::number(row.till), row.cashier,
            row.kind ? AuditLog::kindName(*row.kind) : row.storedKind, row.receiptNumber, row.lines, row.amount};
}

void OwnersTrail::exportCsv(const QList<AuditLog::Row> &rows, const QString &path, const QString &databasePath)
{
    CsvTarget::refuseDatabase(path, databasePath);
    CsvWriter writer(path);
    writer.writeRow(titles());
    for (const AuditLog::Row &row : rows)
        writer.writeRow(fields(row));
    writer.commit();
}
