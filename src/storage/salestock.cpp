#include "salestock.h"

#include "base/linecodes.h"
#include "base/thousandths.h"
#include "storage/database.h"
#include "storage/query.h"
#include "storage/statements.h"

#include <map>

void SaleStock::record(Database &db, StockKind kind, const QString &receiptNumber, int till, const QString &cashier,
                       const QString &movedAt, const QList<Line> &lines)
{
    const int sign = kind == StockKind::Void ? 1 : -1;
    std::map<QString, qint64> byCode;
    for (const Line &line : lines) {
        const QString code = Query::valueText(line.code);
        if (code.isEmpty() || code == LineCodes::discount || code == LineCodes::roundOff)
            continue;
        const std::optional<qint64> milli = Thousandths::ofValue(Query::valueNumber(line.quantity));
        if (milli)
            byCode[code] += sign * *milli;
    }
    QList<std::pair<QString, qint64>> movements;
    for (const auto &[code, milli] : byCode)
        if (milli != 0)
            movements.append({code, milli});
    // One statement for the sale: a completion of 50 lines is not 50 round trips.
    if (!movements.isEmpty())
        db.execute(Statements::addSaleMovements(int(kind), movements, movedAt, till, cashier, receiptNumber));
}

QString SaleStock::movedAt(const QString &date, const QString &time)
{
    const QString clock = time.size() == 5 ? time + QStringLiteral(":00") : time;
    return clock.isEmpty() ? date : date + QLatin1Char(' ') + clock;
}
