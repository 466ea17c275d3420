#include "dayclosings.h"

#include "storage/database.h"
#include "storage/statements.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlQuery>
#include <QVariant>

namespace {

// The printed lines as JSON: [[point size, [write, …]], …].
QString linesText(const QList<ReceiptLine> &lines)
{
    QJsonArray array;
    for (const ReceiptLine &line : lines)
        array.append(QJsonArray{line.pointSize, QJsonArray::fromStringList(line.writes)});
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QList<ReceiptLine> linesOf(const QString &text)
{
    QList<ReceiptLine> lines;
    const QJsonArray array = QJsonDocument::fromJson(text.toUtf8()).array();
    for (const QJsonValue &value : array) {
        const QJsonArray line = value.toArray();
        ReceiptLine printed;
        printed.pointSize = line.at(0).toInt();
        for (const QJsonValue &write : line.at(1).toArray())
            printed.writes << write.toString();
        lines << printed;
    }
    return lines;
}

std::optional<DayClosings::Closing> closingOf(QSqlQuery &q)
{
    if (!q.next())
        return std::nullopt;
    DayClosings::Closing c;
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
    c.printed = linesOf(q.value(12).toString());
    return c;
}

} // namespace

DayClosings::DayClosings(Database &db)
    : m_db(db)
{
}

std::optional<DayClosings::Closing> DayClosings::last() const
{
    QSqlQuery q = m_db.run(Statements::lastDayClosing());
    return closingOf(q);
}

std::optional<DayClosings::Closing> DayClosings::find(int number) const
{
    QSqlQuery q = m_db.run(Statements::dayClosing(number));
    return closingOf(q);
}

void DayClosings::hold()
{
    m_db.execute(Statements::holdDayClosings());
}

void DayClosings::closeOpenLines(int number)
{
    m_db.execute(Statements::closeOpenLines(number));
    m_db.execute(Statements::closeCashFloats(number));
}

void DayClosings::record(const Closing &c)
{
    m_db.execute(Statements::recordDayClosing(c.number, c.closedAt, c.fromDate, c.toDate, c.afterLine, c.lastLine,
                                              c.receipts, c.lines, c.items, c.takings, c.counted, c.difference,
                                              linesText(c.printed)));
}

void DayClosings::withdraw(int number)
{
    Transaction transaction(m_db);
    m_db.execute(Statements::reopenClosedLines(number));
    m_db.execute(Statements::reopenCashFloats(number));
    m_db.execute(Statements::removeDayClosing(number));
    transaction.commit();
}
