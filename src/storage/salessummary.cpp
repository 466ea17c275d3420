#include "salessummary.h"

#include "base/apperror.h"
#include "storage/query.h"
#include "storage/statements.h"

#include <QSqlQuery>

namespace {

// A stored sum, NULL when it was not exact.
QVariant storedSum(const DecimalSum &sum)
{
    const QString text = sum.exactText();
    return text.isEmpty() ? QVariant() : QVariant(text);
}

// The stored sum and the gathered one together; NULL when either is not exact.
QVariant together(const QVariant &stored, const DecimalSum &gathered)
{
    if (stored.isNull())
        return {};
    DecimalSum sum = gathered;
    if (!sum.addExactText(stored.toString()))
        return {};
    return storedSum(sum);
}

double numberOf(const QVariant &value, bool *doubtful)
{
    try {
        return Query::valueNumber(value);
    } catch (const ConversionError &) {
        *doubtful = true;
        return 0;
    }
}

} // namespace

int SalesSummary::hourOf(QStringView time)
{
    if (time.size() < 2 || !time[0].isDigit() || !time[1].isDigit() || time[0].unicode() > '9'
        || time[1].unicode() > '9')
        return -1;
    const int hour = (time[0].unicode() - '0') * 10 + (time[1].unicode() - '0');
    return hour < 24 ? hour : -1;
}

void SalesSummary::add(const Line &given)
{
    // An empty value is stored as empty text, as a report reads it.
    Line line = given;
    for (QString *text : {&line.receiptNumber, &line.cashier, &line.date, &line.time, &line.code, &line.name})
        if (text->isNull())
            *text = QStringLiteral("");
    const GroupKey key{line.date, line.till, line.cashier, hourOf(line.time)};
    auto [at, isNew] = m_groups.try_emplace(key);
    Group &group = at->second;
    if (isNew || line.key < group.firstLine) {
        group.firstLine = line.key;
        group.firstTime = line.time;
    }
    if (isNew || line.key > group.lastLine) {
        group.lastLine = line.key;
        group.lastTime = line.time;
    }
    ++group.lines;
    group.items.add(line.quantity);
    group.takings.add(line.amount);
    group.doubtful = group.doubtful || line.doubtful;

    // A receipt counts once in its group; one met in a second group would
    // count in both, which only its lines can tell apart.
    auto receipt = m_receipts.find(line.receiptNumber);
    if (receipt == m_receipts.end()) {
        m_receipts.insert(line.receiptNumber, {key, line.key, line.key});
        ++group.receipts;
    } else {
        receipt->firstKey = std::min(receipt->firstKey, line.key);
        receipt->lastKey = std::max(receipt->lastKey, line.key);
        if (receipt->group != key) {
            group.doubtful = true;
            m_groups[receipt->group].doubtful = true;
        }
    }

    ProductSums &product = m_products[ProductKey{line.date, line.till, line.code, line.name}];
    ++product.lines;
    product.quantity.add(line.quantity);
    product.takings.add(line.amount);
}

void SalesSummary::addToStored(const Run &run) const
{
    write(run, Stored::Read, true);
}

void SalesSummary::write(const Run &run, Stored stored, bool checkReceipts) const
{
    std::map<GroupKey, Group> groups = m_groups;
    if (checkReceipts) {
        for (auto it = m_receipts.cbegin(); it != m_receipts.cend(); ++it) {
            QSqlQuery elsewhere = run(Statements::receiptNumberElsewhere(it.key(), it->firstKey, it->lastKey));
            if (elsewhere.next())
                groups[it->group].doubtful = true;
        }
    }
    for (const auto &[key, group] : groups) {
        const auto &[date, till, cashier, hour] = key;
        Statements::SummaryValues values{group.receipts, group.lines,       storedSum(group.items),
                                         storedSum(group.takings), group.firstLine, group.firstTime,
                                         group.lastLine,           group.lastTime,  group.doubtful ? 1 : 0};
        bool found = false;
        if (stored == Stored::Read) {
            using Column = Statements::SummaryColumn;
            QSqlQuery row = run(Statements::summaryGroup(date, till, cashier, hour));
            if (row.next()) {
                found = true;
                auto at = [&row](Column column) { return row.value(int(column)); };
                values.receipts += at(Column::Receipts).toLongLong();
                values.lines += at(Column::Lines).toLongLong();
                values.items = together(at(Column::Items), group.items);
                values.takings = together(at(Column::Takings), group.takings);
                if (at(Column::FirstLine).toLongLong() < values.firstLine) {
                    values.firstLine = at(Column::FirstLine).toLongLong();
                    values.firstTime = at(Column::FirstTime).toString();
                }
                if (at(Column::LastLine).toLongLong() > values.lastLine) {
                    values.lastLine = at(Column::LastLine).toLongLong();
                    values.lastTime = at(Column::LastTime).toString();
                }
                values.doubtful = values.doubtful || at(Column::Doubtful).toInt() != 0 ? 1 : 0;
            }
        }
        run(found ? Statements::changeSummaryGroup(date, till, cashier, hour, values)
                  : Statements::addSummaryGroup(date, till, cashier, hour, values));
    }
    for (const auto &[key, product] : m_products) {
        const auto &[date, till, code, name] = key;
        qint64 lines = product.lines;
        QVariant quantity = storedSum(product.quantity);
        QVariant takings = storedSum(product.takings);
        bool found = false;
        if (stored == Stored::Read) {
            QSqlQuery row = run(Statements::summaryProduct(date, till, code, name));
            if (row.next()) {
                found = true;
                lines += row.value(0).toLongLong();
                quantity = together(row.value(1), product.quantity);
                takings = together(row.value(2), product.takings);
            }
        }
        run(found ? Statements::changeSummaryProduct(date, till, code, name, lines, quantity, takings)
                  : Statements::addSummaryProduct(date, till, code, name, lines, quantity, takings));
    }
}

void SalesSummary::gatherLines(const Run &run, const Statement &lines, SalesSummary &into)
{
    QSqlQuery row = run(lines);
    while (row.next()) {
        Line line;
        line.key = row.value(0).toLongLong();
        line.receiptNumber = Query::valueText(row.value(1));
        line.cashier = Query::valueText(row.value(2));
        line.date = Query::valueText(row.value(3));
        line.time = Query::valueText(row.value(4));
        line.code = Query::valueText(row.value(5));
        line.name = Query::valueText(row.value(6));
        line.quantity = numberOf(row.value(7), &line.doubtful);
        line.amount = numberOf(row.value(8), &line.doubtful);
        line.till = row.value(9).toInt();
        into.add(line);
    }
}

void SalesSummary::redoDay(const Run &run, const QString &date, int till)
{
    for (const Statement &forget : Statements::forgetSummary(date, till))
        run(forget);
    SalesSummary day;
    gatherLines(run, Statements::linesToSummarise(date, till), day);
    day.write(run, Stored::Empty, true);
}

void SalesSummary::rebuild(const Run &run)
{
    for (const Statement &forget : Statements::forgetSummary())
        run(forget);
    // Every line is seen: a receipt number in two groups is found among them.
    SalesSummary all;
    gatherLines(run, Statements::linesToSummarise(), all);
    all.write(run, Stored::Empty, false);
}
