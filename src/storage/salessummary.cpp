#include "salessummary.h"

#include "base/apperror.h"
#include "storage/query.h"
#include "storage/statements.h"

#include <QDate>
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

QString SalesSummary::monthOf(const QString &date)
{
    if (date.size() != 10 || date[4] != QLatin1Char('-') || date[7] != QLatin1Char('-'))
        return {};
    for (const int at : {0, 1, 2, 3, 5, 6, 8, 9})
        if (date[at].unicode() < '0' || date[at].unicode() > '9')
            return {};
    if (!QDate::fromString(date, QStringLiteral("yyyy-MM-dd")).isValid())
        return {};
    return date.left(7);
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

void SalesSummary::addPayment(const QString &date, int till, int method, const QVariant &amount,
                              const QVariant &change)
{
    PaymentSums &sums = m_payments[PaymentKey{date.isNull() ? QStringLiteral("") : date, till, method}];
    bool doubtful = false;
    sums.amount.add(numberOf(amount, &doubtful));
    sums.change.add(numberOf(change, &doubtful));
    sums.doubtful = sums.doubtful || doubtful;
}

void SalesSummary::addToStored(const Run &run) const
{
    write(run, Stored::Read, true);
}

void SalesSummary::writeProducts(const Run &run, Stored stored, const std::map<ProductKey, ProductSums> &products,
                                 const ProductStatements &statements)
{
    for (const auto &[key, product] : products) {
        const auto &[when, till, code, name] = key;
        qint64 lines = product.lines;
        QVariant quantity = storedSum(product.quantity);
        QVariant takings = storedSum(product.takings);
        bool found = false;
        if (stored == Stored::Read) {
            QSqlQuery row = run(statements.read(when, till, code, name));
            if (row.next()) {
                found = true;
                lines += row.value(0).toLongLong();
                quantity = together(row.value(1), product.quantity);
                takings = together(row.value(2), product.takings);
            }
        }
        run((found ? statements.change : statements.add)(when, till, code, name, lines, quantity, takings));
    }
}

void SalesSummary::write(const Run &run, Stored stored, bool checkReceipts, Months months) const
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
    writeProducts(run, stored, m_products,
                  {&Statements::summaryProduct, &Statements::addSummaryProduct, &Statements::changeSummaryProduct});
    if (months == Months::Write) {
        // What the days gained, the months gain too.
        std::map<ProductKey, ProductSums> byMonth;
        bool otherDates = false;
        for (const auto &[key, product] : m_products) {
            const auto &[date, till, code, name] = key;
            const QString month = monthOf(date);
            if (month.isNull()) {
                otherDates = true;
                continue;
            }
            ProductSums &sums = byMonth[ProductKey{month, till, code, name}];
            sums.lines += product.lines;
            sums.quantity.add(product.quantity);
            sums.takings.add(product.takings);
        }
        writeProducts(run, stored, byMonth,
                      {&Statements::summaryProductMonth, &Statements::addSummaryProductMonth,
                       &Statements::changeSummaryProductMonth});
        if (otherDates)
            run(Statements::markOtherDates());
    }
    for (const auto &[key, payment] : m_payments) {
        const auto &[date, till, method] = key;
        QVariant amount = payment.doubtful ? QVariant() : storedSum(payment.amount);
        QVariant change = payment.doubtful ? QVariant() : storedSum(payment.change);
        bool found = false;
        if (stored == Stored::Read) {
            QSqlQuery row = run(Statements::summaryPayment(date, till, method));
            if (row.next()) {
                found = true;
                amount = amount.isNull() ? QVariant() : together(row.value(0), payment.amount);
                change = change.isNull() ? QVariant() : together(row.value(1), payment.change);
            }
        }
        run(found ? Statements::changeSummaryPayment(date, till, method, amount, change)
                  : Statements::addSummaryPayment(date, till, method, amount, change));
    }
}

void SalesSummary::gatherPayments(const Run &run, const Statement &payments, SalesSummary &into)
{
    QSqlQuery row = run(payments);
    while (row.next())
        into.addPayment(Query::valueText(row.value(0)), row.value(1).toInt(), row.value(2).toInt(), row.value(3),
                        row.value(4));
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
    gatherPayments(run, Statements::paymentsToSummarise(date, till), day);
    day.write(run, Stored::Empty, true, Months::Leave);
    const QString month = monthOf(date);
    if (!month.isNull())
        redoMonth(run, month, till);
}

namespace {

// Month rows summed from rows by day: exact sums stay exact, a sum that
// was not kept exactly (NULL) leaves its month's NULL too.
struct MonthSums
{
    qint64 lines = 0;
    DecimalSum quantity;
    DecimalSum takings;
    bool quantityKnown = true;
    bool takingsKnown = true;
};

using MonthKey = std::tuple<QString, int, QString, QString>;   // month, till, code, name

// False when a date was met that is in no month.
bool addDays(QSqlQuery &row, std::map<MonthKey, MonthSums> &into)
{
    bool inMonths = true;
    while (row.next()) {
        const QString month = SalesSummary::monthOf(row.value(0).toString());
        if (month.isNull()) {
            inMonths = false;
            continue;
        }
        MonthSums &sums = into[MonthKey{month, row.value(1).toInt(), row.value(2).toString(), row.value(3).toString()}];
        sums.lines += row.value(4).toLongLong();
        sums.quantityKnown = sums.quantityKnown && !row.value(5).isNull()
                             && sums.quantity.addExactText(row.value(5).toString());
        sums.takingsKnown = sums.takingsKnown && !row.value(6).isNull()
                            && sums.takings.addExactText(row.value(6).toString());
    }
    return inMonths;
}

void writeMonths(const SalesSummary::Run &run, const std::map<MonthKey, MonthSums> &months)
{
    for (const auto &[key, sums] : months) {
        const auto &[month, till, code, name] = key;
        run(Statements::addSummaryProductMonth(month, till, code, name, sums.lines,
                                               sums.quantityKnown ? storedSum(sums.quantity) : QVariant(),
                                               sums.takingsKnown ? storedSum(sums.takings) : QVariant()));
    }
}

} // namespace

void SalesSummary::redoMonth(const Run &run, const QString &month, int till)
{
    run(Statements::forgetProductMonths(month, till));
    std::map<MonthKey, MonthSums> months;
    QSqlQuery days = run(Statements::productDaysToSumByMonth(month, till));
    addDays(days, months);
    writeMonths(run, months);
}

void SalesSummary::rebuildMonths(const Run &run)
{
    run(Statements::forgetProductMonths());
    std::map<MonthKey, MonthSums> months;
    QSqlQuery days = run(Statements::productDaysToSumByMonth());
    const bool inMonths = addDays(days, months);
    writeMonths(run, months);
    if (!inMonths)
        run(Statements::markOtherDates());
}

void SalesSummary::rebuild(const Run &run)
{
    for (const Statement &forget : Statements::forgetSummary())
        run(forget);
    // Every line is seen: a receipt number in two groups is found among them.
    SalesSummary all;
    gatherLines(run, Statements::linesToSummarise(), all);
    gatherPayments(run, Statements::paymentsToSummarise(), all);
    all.write(run, Stored::Empty, false);
}
