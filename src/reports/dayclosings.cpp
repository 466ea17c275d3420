#include "dayclosings.h"

#include "storage/database.h"
#include "storage/statements.h"

#include <QSqlQuery>
#include <QVariant>

DayClosings::DayClosings(Database &db)
    : m_db(db)
{
}

std::optional<DayClosings::Closing> DayClosings::last() const
{
    QSqlQuery q = m_db.run(Statements::lastDayClosing());
    if (!q.next())
        return std::nullopt;
    Closing c;
    c.number = q.value(0).toInt();
    c.closedAt = q.value(1).toString();
    c.fromDate = q.value(2).toString();
    c.toDate = q.value(3).toString();
    c.afterLine = q.value(4).toLongLong();
    c.lastLine = q.value(5).toLongLong();
    c.receipts = q.value(6).toLongLong();
    c.lines = q.value(7).toLongLong();
    c.items = q.value(8).toString();
    c.takings = q.value(9).toString();
    c.counted = q.value(10).toString();
    c.difference = q.value(11).toString();
    return c;
}

void DayClosings::record(const Closing &c)
{
    m_db.execute(Statements::recordDayClosing(c.number, c.closedAt, c.fromDate, c.toDate, c.afterLine, c.lastLine,
                                              c.receipts, c.lines, c.items, c.takings, c.counted, c.difference));
}
