#include "salesreport.h"

#include "base/apperror.h"
#include "base/decimalsum.h"
#include "base/linecodes.h"
#include "base/numbertext.h"
#include "base/thousandths.h"
#include "storage/paymentmethods.h"
#include "storage/rowwalk.h"
#include "storage/schema.h"
#include "storage/statements.h"

#include <algorithm>
#include <map>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

// Columns of Statements::reportLines.
enum Column { Key, ReceiptNumber, Cashier, Date, Time, Code, Name, Quantity, Amount };

std::string_view textOf(const RowWalk &row, int column)
{
    const QByteArrayView text = row.bytes(column);
    return std::string_view(text.data(), size_t(text.size()));
}

QString qtext(const std::string &bytes)
{
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

// "08:15" is hour 8; a time the program did not write gives -1.
int hourOf(std::string_view time)
{
    if (time.size() < 2 || time[0] < '0' || time[0] > '9' || time[1] < '0' || time[1] > '9')
        return -1;
    const int hour = (time[0] - '0') * 10 + (time[1] - '0');
    return hour < 24 ? hour : -1;
}

// Distinct texts of one column (cashiers, dates, receipt numbers) numbered in
// the order met; consecutive lines mostly repeat the last one, which is
// answered without a lookup.
class TextIndex
{
public:
    int indexOf(std::string_view text)
    {
        if (m_last >= 0 && text == m_texts[size_t(m_last)])
            return m_last;
        m_key.assign(text);
        auto it = m_index.find(m_key);
        if (it == m_index.end()) {
            it = m_index.emplace(m_key, int(m_texts.size())).first;
            m_texts.push_back(m_key);
        }
        m_last = it->second;
        return m_last;
    }

    const std::vector<std::string> &texts() const { return m_texts; }
    size_t size() const { return m_texts.size(); }

private:
    std::unordered_map<std::string, int> m_index;
    std::vector<std::string> m_texts;
    std::string m_key;
    int m_last = -1;
};

// The lines of one date, hour and cashier.
struct Cell
{
    int day;
    int hour;
    int cashier;
    qint64 lines = 0;
    DecimalSum items;
    DecimalSum takings;
    qint64 receipts = 0;   // when read from the summary, where no receipt spans two cells
};

struct ProductSums
{
    std::string code;
    std::string name;
    qint64 lines = 0;
    DecimalSum quantity;
    DecimalSum takings;
    double quantityValue = 0;
    double takingsValue = 0;
};

struct GroupSums
{
    qint64 receipts = 0;
    qint64 lines = 0;
    DecimalSum items;
    DecimalSum takings;

    void add(const Cell &cell)
    {
        lines += cell.lines;
        items.add(cell.items);
        takings.add(cell.takings);
    }

    ReportFigures::Group figures(const QString &key) const
    {
        return {key, receipts, lines, items.text(), takings.text()};
    }
};

// Receipt numbers numbered in the order met. The usual twelve digits are
// kept as a number, which is quicker to look up than the text.
class ReceiptIndex
{
public:
    int indexOf(std::string_view text)
    {
        if (m_last >= 0 && text == m_lastText)
            return m_last;
        m_lastText.assign(text);
        const int next = int(m_count);
        int found;
        if (quint64 number = 0; asNumber(text, &number))
            found = m_byNumber.try_emplace(number, next).first->second;
        else
            found = m_byText.try_emplace(m_lastText, next).first->second;
        if (found == next)
            ++m_count;
        m_last = found;
        return found;
    }

    size_t size() const { return m_count; }

    bool contains(std::string_view text) const
    {
        if (quint64 number = 0; asNumber(text, &number))
            return m_byNumber.count(number) > 0;
        return m_byText.count(std::string(text)) > 0;
    }

private:
    // Up to 17 digits, with their count, so that "0012" and "12" stay apart.
    static bool asNumber(std::string_view text, quint64 *number)
    {
        if (text.empty() || text.size() > 17)
            return false;
        quint64 value = 0;
        for (const char c : text) {
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + quint64(c - '0');
        }
        *number = value * 32 + text.size();
        return true;
    }

    std::unordered_map<quint64, int> m_byNumber;
    std::unordered_map<std::string, int> m_byText;
    std::string m_lastText;
    size_t m_count = 0;
    int m_last = -1;
};

// Receipts of one kind of group (cashier, hour, day), each counted once in
// every group it has lines in. A receipt's lines nearly always share one
// cashier, hour and day; only a receipt met in a second group is looked up.
class ReceiptsByGroup
{
public:
    void count(int receipt, int group)
    {
        if (size_t(receipt) >= m_first.size())
            m_first.resize(size_t(receipt) + 1, -1);
        int &first = m_first[size_t(receipt)];
        if (first == group)
            return;
        if (first < 0)
            first = group;
        else if (!m_more.insert((quint64(quint32(receipt)) << 32) | quint32(group)).second)
            return;
        if (size_t(group) >= m_counts.size())
            m_counts.resize(size_t(group) + 1, 0);
        ++m_counts[size_t(group)];
    }

    qint64 of(int group) const { return size_t(group) < m_counts.size() ? m_counts[size_t(group)] : 0; }

private:
    std::vector<int> m_first;   // by receipt: the first group it was met in
    std::unordered_set<quint64> m_more;
    std::vector<qint64> m_counts;
};

// A quantity or amount that is no number (written by another tool) counts as
// 0: one bad line does not stop the report, and the warning names it.
double numberOrWarn(const RowWalk &row, int column, QStringList &warnings)
{
    try {
        return row.numberOrZero(column);
    } catch (const ConversionError &) {
        constexpr qsizetype kNamed = 100;
        if (warnings.size() < kNamed)
            warnings << QStringLiteral("第 %1 行（单号 %2）的%3“%4”不是数，按 0 计算")
                            .arg(row.key(Key))
                            .arg(QString::fromUtf8(row.bytes(ReceiptNumber)),
                                 column == Amount ? QStringLiteral("金额") : QStringLiteral("数量"),
                                 QString::fromUtf8(row.bytes(column)));
        return 0;
    }
}

struct MethodSums
{
    DecimalSum amount;
    DecimalSum change;
    DecimalSum refunds;   // the negative payments of returns
};

// The payments of the report's receipts, by method. Cash is what the lines
// took less what other methods paid, so that a receipt recorded before
// payments were kept counts as cash.
void sumPayments(Database &db, const ReceiptIndex &receipts, qint64 firstLine, qint64 lastLine,
                 std::unordered_map<int, MethodSums> &sums)
{
    if (firstLine < 0 || lastLine < firstLine)
        return;
    RowWalk row(db, Statements::paymentsOfLines(firstLine, lastLine));
    while (row.step()) {
        if (!receipts.contains(textOf(row, 0)))
            continue;
        MethodSums &method = sums[int(row.key(2))];
        const double amount = row.numberOrZero(3);
        method.amount.add(amount);
        if (amount < 0)
            method.refunds.add(amount);
        method.change.add(row.numberOrZero(4));
    }
}

void fillPayments(Database &db, const std::unordered_map<int, MethodSums> &sums, ReportFigures &figures)
{
    DecimalSum cash;
    cash.add(textToNumber(figures.takings));
    DecimalSum change;
    QList<ReportFigures::Takings> others;
    const QList<PaymentMethod> methods = sums.empty() ? QList<PaymentMethod>() : PaymentMethods::load(db);
    QList<int> numbers;
    for (const PaymentMethod &method : methods)
        numbers << method.number;
    for (const auto &[number, sum] : sums)
        if (!numbers.contains(number))
            numbers << number;
    for (const int number : std::as_const(numbers)) {
        const auto found = sums.find(number);
        if (found == sums.end())
            continue;
        change.add(found->second.change);
        if (!found->second.refunds.isZero())
            figures.refunds << ReportFigures::Takings{PaymentMethods::nameOf(methods, number),
                                                      found->second.refunds.text()};
        if (number == Schema::kCashMethod)
            continue;
        DecimalSum net = found->second.amount;
        net.add(-found->second.change.value());
        cash.add(-net.value());
        if (!net.isZero())
            others << ReportFigures::Takings{PaymentMethods::nameOf(methods, number), net.text()};
    }
    figures.cashTaken = cash.text();
    figures.changeGiven = change.text();
    figures.onlyCash = others.isEmpty();
    figures.byMethod = QList<ReportFigures::Takings>{{PaymentMethods::nameOf(methods, Schema::kCashMethod), cash.text()}}
        + others;
    figures.expectedCash = figures.cashTaken;
}

ReportFigures::Product productFigures(const ProductSums &p)
{
    return {qtext(p.code), qtext(p.name), p.lines, p.quantity.text(), p.takings.text()};
}

// What a report gathers, from the lines or from the summary.
struct Gathered
{
    TextIndex days;
    TextIndex cashiers;
    std::vector<Cell> cells;
    std::unordered_map<quint64, int> cellIndex;
    std::vector<ProductSums> products;
    std::unordered_map<std::string, int> productIndex;
    std::string productKey;
    std::string first, last;
    qint64 firstLine = -1;
    qint64 lastLine = 0;
    int lastCell = -1;
    quint64 lastCellKey = 0;
    std::unordered_map<int, MethodSums> methods;   // from the summary only

    Cell &cell(std::string_view date, int hour, std::string_view cashierText)
    {
        const int day = days.indexOf(date);
        const int cashier = cashiers.indexOf(cashierText);
        const quint64 key = (quint64(quint32(day)) << 32) | (quint64(hour + 1) << 24) | quint32(cashier);
        if (lastCell < 0 || key != lastCellKey) {
            auto it = cellIndex.find(key);
            if (it == cellIndex.end()) {
                it = cellIndex.emplace(key, int(cells.size())).first;
                cells.push_back(Cell{day, hour, cashier, 0, {}, {}});
            }
            lastCell = it->second;
            lastCellKey = key;
        }
        return cells[size_t(lastCell)];
    }

    ProductSums &product(std::string_view code, std::string_view name)
    {
        productKey.assign(code);
        productKey.push_back('\x1f');
        productKey.append(name);
        auto found = productIndex.find(productKey);
        if (found == productIndex.end()) {
            found = productIndex.emplace(productKey, int(products.size())).first;
            products.push_back(ProductSums{std::string(code), std::string(name), 0, {}, {}, 0, 0});
        }
        return products[size_t(found->second)];
    }

    // First and last in the order the sales were recorded: a sale rung up
    // after midnight on a screen still showing the old date is the last of
    // that date, not the first.
    void seeLines(qint64 firstKey, std::string_view firstDate, std::string_view firstTime, qint64 lastKey,
                  std::string_view lastDate, std::string_view lastTime)
    {
        if (firstLine < 0 || firstKey < firstLine) {
            firstLine = firstKey;
            first.assign(firstDate).append(" ").append(firstTime);
        }
        if (lastKey > lastLine) {
            lastLine = lastKey;
            last.assign(lastDate).append(" ").append(lastTime);
        }
    }
};

bool addStoredSum(DecimalSum &sum, const RowWalk &row, int column)
{
    return row.kind(column) != RowWalk::Kind::Empty && sum.addExactText(QString::fromUtf8(row.bytes(column)));
}

// The first and last month ("2026-12") wholly within the dates; nulls when
// there is none.
std::pair<QDate, QDate> wholeMonths(const QDate &from, const QDate &to)
{
    if (!from.isValid() || !to.isValid())
        return {};
    const QDate first = from.day() == 1 ? from : QDate(from.year(), from.month(), 1).addMonths(1);
    const QDate lastStart = to.day() == to.daysInMonth() ? QDate(to.year(), to.month(), 1)
                                                         : QDate(to.year(), to.month(), 1).addMonths(-1);
    if (first > lastStart)
        return {};
    return {first, lastStart};
}

// The cells and products of a range of dates from the summary: false when
// only the lines can tell (a group marked doubtful, a sum not kept exactly,
// lines the summary has not seen), leaving the gathering to them.
bool gatherFromSummary(Database &db, const ReportRange &range, const QString &fromDate, const QString &toDate,
                       qint64 firstKey, qint64 lastKey, Gathered &into)
{
    enum { Date, Till, Cashier, Hour, Receipts, Lines, Items, Takings, FirstLine, FirstTime, LastLine, LastTime,
           Doubtful };
    qint64 seenFirst = -1;
    qint64 seenLast = -1;
    {
        RowWalk row(db, Statements::reportSummaryGroups(fromDate, toDate));
        while (row.step()) {
            if (row.key(Doubtful) != 0)
                return false;
            const qint64 first = row.key(FirstLine);
            const qint64 last = row.key(LastLine);
            seenFirst = seenFirst < 0 ? first : std::min(seenFirst, first);
            seenLast = std::max(seenLast, last);
            if (range.till > 0 && row.key(Till) != range.till)
                continue;
            const std::string_view date = textOf(row, Date);
            Cell &cell = into.cell(date, int(row.key(Hour)), textOf(row, Cashier));
            cell.lines += row.key(Lines);
            cell.receipts += row.key(Receipts);
            if (!addStoredSum(cell.items, row, Items) || !addStoredSum(cell.takings, row, Takings))
                return false;
            into.seeLines(first, date, textOf(row, FirstTime), last, date, textOf(row, LastTime));
        }
    }
    // Every line of the dates was summed, and none since.
    if (seenFirst < 0 ? firstKey <= lastKey : (seenFirst != firstKey || seenLast != lastKey))
        return false;
    // Whole months from their month rows, the days around them (and any date
    // a month row does not hold) from the rows by day.
    const auto addProducts = [&](const Statement &statement) {
        RowWalk row(db, statement);
        while (row.step()) {
            ProductSums &product = into.product(textOf(row, 0), textOf(row, 1));
            product.lines += row.key(2);
            if (!addStoredSum(product.quantity, row, 3) || !addStoredSum(product.takings, row, 4))
                return false;
        }
        return true;
    };
    // Every stored date is a real one (none marked otherwise): the months'
    // rows hold exactly the dates of those months.
    const auto [firstMonth, lastMonth] = wholeMonths(range.from, range.to);
    bool byMonth = firstMonth.isValid();
    if (byMonth) {
        RowWalk other(db, Statements::anyOtherDates());
        byMonth = !other.step();
    }
    if (!byMonth) {
        if (!addProducts(Statements::reportSummaryProducts(fromDate, toDate, range.till)))
            return false;
    } else {
        const QDate lastDay = lastMonth.addMonths(1).addDays(-1);
        if (!addProducts(Statements::reportSummaryProductMonths(firstMonth.toString(QStringLiteral("yyyy-MM")),
                                                                lastMonth.toString(QStringLiteral("yyyy-MM")),
                                                                range.till))
            || !addProducts(Statements::reportSummaryProductsBefore(fromDate, ReportRange::dateText(firstMonth),
                                                                    range.till))
            || !addProducts(
                Statements::reportSummaryProductsAfter(ReportRange::dateText(lastDay), toDate, range.till)))
            return false;
    }
    RowWalk row(db, Statements::reportSummaryPayments(fromDate, toDate, range.till));
    while (row.step()) {
        MethodSums &method = into.methods[int(row.key(0))];
        if (!addStoredSum(method.amount, row, 1) || !addStoredSum(method.change, row, 2))
            return false;
    }
    return true;
}

QString negated(const QString &exact)
{
    if (exact.startsWith(QLatin1Char('-')))
        return exact.mid(1);
    return exact == QLatin1String("0") ? exact : QLatin1Char('-') + exact;
}

// Costs from the stock movements of the dates (along their time's index),
// margins against the products' takings. Only a product whose every
// movement has a cost has a known cost.
void addMargins(Database &db, const ReportRange &range, const std::vector<ProductSums> &products,
                ReportFigures &figures)
{
    struct Costs
    {
        DecimalSum cost;
        bool known = true;
    };
    std::map<QString, Costs> costs;
    {
        const QString from = ReportRange::dateText(range.from);
        const QString before = ReportRange::dateText(range.to.addDays(1));
        RowWalk row(db, Statements::reportStockCosts(from, before, range.till, range.cashier));
        while (row.step()) {
            Costs &c = costs[QString::fromUtf8(row.bytes(0))];
            const QString cost = row.kind(2) == RowWalk::Kind::Empty
                ? QString()
                : Thousandths::times(-row.key(1), QString::fromUtf8(row.bytes(2)));
            if (cost.isEmpty() || !c.cost.addExactText(cost))
                c.known = false;
        }
    }
    struct Sold
    {
        QString name;
        DecimalSum quantity;
        DecimalSum takings;
    };
    std::map<QString, Sold> sold;
    for (const ProductSums &p : products) {
        if (p.code.empty() || p.code[0] == '*')
            continue;
        Sold &s = sold[qtext(p.code)];
        if (s.name.isEmpty())
            s.name = qtext(p.name);
        s.quantity.add(p.quantity);
        s.takings.add(p.takings);
    }
    DecimalSum totalCost, totalMargin;
    for (const auto &[code, s] : sold) {
        ReportFigures::Margin m{code, s.name, s.quantity.text(), s.takings.text(), {}, {}};
        const auto found = costs.find(code);
        if (found != costs.end() && found->second.known && s.takings.isExact()) {
            const DecimalSum &cost = found->second.cost;
            DecimalSum margin = s.takings;
            margin.addExactText(negated(cost.exactText()));
            m.cost = cost.text();
            m.margin = margin.text();
            totalCost.add(cost);
            totalMargin.add(margin);
        } else {
            ++figures.uncosted;
        }
        figures.margins << m;
    }
    figures.cost = totalCost.text();
    figures.margin = totalMargin.text();
}

} // namespace

QList<int> SalesReport::tills(Database &db)
{
    QList<int> tills;
    RowWalk till(db, Statements::recordedTills());
    while (till.step())
        tills << int(till.key(0));
    return tills;
}

ReportFigures SalesReport::compute(Database &db, const ReportRange &range)
{
    ReportFigures figures;
    figures.range = range;

    Gathered gathered;
    ReceiptIndex receipts;
    ReceiptsByGroup receiptCashier, receiptHour, receiptDay;
    int lastReceipt = -1;
    int lastReceiptCell = -1;
    bool summed = false;
    DecimalSum discounts, roundOffs;
    const QByteArray discountCode = LineCodes::discount.toUtf8();
    const QByteArray roundOffCode = LineCodes::roundOff.toUtf8();

    // Lines are recorded day after day, so the lines of a range of dates lie
    // in one run of row keys: found along the date index, the run is read
    // straight down the table, several times quicker than fetching each
    // line through the index. A date typed by hand only widens the run.
    const QString fromDate = ReportRange::dateText(range.from);
    const QString toDate = ReportRange::dateText(range.to);
    std::optional<Statement> lines;
    if (range.lines == ReportRange::Lines::OfDates) {
        qint64 firstKey = 0;
        qint64 lastKey = -1;
        {
            RowWalk keys(db, Statements::reportLineRange(fromDate, toDate));
            if (keys.step() && keys.kind(0) != RowWalk::Kind::Empty) {
                firstKey = std::max(keys.key(0), range.afterLine + 1);
                lastKey = keys.key(1);
            }
        }
        // Whole days of every cashier are summed by the day as they are recorded.
        if (range.afterLine == 0 && range.cashier.isEmpty())
            summed = gatherFromSummary(db, range, fromDate, toDate, firstKey, lastKey, gathered);
        if (!summed) {
            gathered = Gathered();
            if (firstKey <= lastKey)
                lines = Statements::reportLines(fromDate, toDate, range.cashier, range.till, firstKey, lastKey);
        }
    } else {
        lines = Statements::closingReportLines(range.lines == ReportRange::Lines::OfClosing
                                                   ? std::optional<int>(range.closing)
                                                   : std::nullopt);
    }
    if (lines) {
        RowWalk row(db, *lines);
        while (row.step()) {
            const std::string_view date = textOf(row, Date);
            const std::string_view time = textOf(row, Time);
            const int hour = hourOf(time);
            Cell &cell = gathered.cell(date, hour, textOf(row, Cashier));
            const double quantity = numberOrWarn(row, Quantity, figures.warnings);
            const double amount = numberOrWarn(row, Amount, figures.warnings);
            ++cell.lines;
            cell.items.add(quantity);
            cell.takings.add(amount);

            const int receipt = receipts.indexOf(textOf(row, ReceiptNumber));
            if (receipt != lastReceipt || gathered.lastCell != lastReceiptCell) {
                receiptCashier.count(receipt, cell.cashier);
                receiptHour.count(receipt, hour + 1);
                receiptDay.count(receipt, cell.day);
                lastReceipt = receipt;
                lastReceiptCell = gathered.lastCell;
            }

            const std::string_view code = textOf(row, Code);
            const std::string_view name = textOf(row, Name);
            if (!code.empty() && code[0] == '*') {
                if (code == std::string_view(discountCode.constData(), size_t(discountCode.size())))
                    discounts.add(amount);
                else if (code == std::string_view(roundOffCode.constData(), size_t(roundOffCode.size())))
                    roundOffs.add(amount);
            }
            ProductSums &product = gathered.product(code, name);
            ++product.lines;
            product.quantity.add(quantity);
            product.takings.add(amount);

            const qint64 line = row.key(Key);
            gathered.seeLines(line, date, time, line, date, time);
        }
    }
    const TextIndex &days = gathered.days;
    const TextIndex &cashiers = gathered.cashiers;
    std::vector<ProductSums> &products = gathered.products;
    figures.lastLine = gathered.lastLine;

    std::unordered_map<int, MethodSums> methodSums;
    if (summed) {
        methodSums = std::move(gathered.methods);
        // Discount and 抹零 lines are summed with the products, by their codes.
        for (const ProductSums &p : products) {
            if (p.code == std::string_view(discountCode.constData(), size_t(discountCode.size())))
                discounts.add(p.takings);
            else if (p.code == std::string_view(roundOffCode.constData(), size_t(roundOffCode.size())))
                roundOffs.add(p.takings);
        }
    } else {
        sumPayments(db, receipts, gathered.firstLine, figures.lastLine, methodSums);
    }

    // Totals and groups from the cells.
    GroupSums total;
    std::vector<GroupSums> byCashier(cashiers.size());
    std::vector<GroupSums> byHour(25);   // index hour + 1; 0 holds times the program did not write
    std::vector<GroupSums> byDay(days.size());
    for (const Cell &cell : gathered.cells) {
        total.add(cell);
        byCashier[size_t(cell.cashier)].add(cell);
        byHour[size_t(cell.hour + 1)].add(cell);
        byDay[size_t(cell.day)].add(cell);
    }
    if (summed) {
        for (const Cell &cell : gathered.cells) {
            total.receipts += cell.receipts;
            byCashier[size_t(cell.cashier)].receipts += cell.receipts;
            byHour[size_t(cell.hour + 1)].receipts += cell.receipts;
            byDay[size_t(cell.day)].receipts += cell.receipts;
        }
    } else {
        for (size_t i = 0; i < byCashier.size(); ++i)
            byCashier[i].receipts = receiptCashier.of(int(i));
        for (size_t i = 0; i < byHour.size(); ++i)
            byHour[i].receipts = receiptHour.of(int(i));
        for (size_t i = 0; i < byDay.size(); ++i)
            byDay[i].receipts = receiptDay.of(int(i));
        total.receipts = qint64(receipts.size());
    }

    figures.receipts = total.receipts;
    figures.lines = total.lines;
    figures.items = total.items.text();
    figures.takings = total.takings.text();
    figures.averageReceipt = averagePerReceipt(figures.takings, figures.receipts);
    fillPayments(db, methodSums, figures);
    figures.discounts = discounts.text();
    figures.roundOffs = roundOffs.text();
    figures.firstSale = qtext(gathered.first);
    figures.lastSale = qtext(gathered.last);

    for (size_t i = 0; i < byCashier.size(); ++i)
        figures.byCashier << byCashier[i].figures(qtext(cashiers.texts()[i]));
    std::sort(figures.byCashier.begin(), figures.byCashier.end(),
              [](const ReportFigures::Group &a, const ReportFigures::Group &b) { return a.key < b.key; });

    for (int hour = 0; hour < 24; ++hour) {
        const GroupSums &sums = byHour[size_t(hour + 1)];
        if (sums.lines > 0)
            figures.byHour << sums.figures(QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0')));
    }
    if (byHour[0].lines > 0)
        figures.byHour << byHour[0].figures(ReportFigures::kUnknownHour);

    // Dates in order (their text sorts as the dates do); days without sales
    // between two dates are shown as such.
    std::vector<size_t> dayOrder(byDay.size());
    for (size_t i = 0; i < dayOrder.size(); ++i)
        dayOrder[i] = i;
    std::sort(dayOrder.begin(), dayOrder.end(), [&](size_t a, size_t b) { return days.texts()[a] < days.texts()[b]; });
    QDate previous;
    for (const size_t i : dayOrder) {
        const QString text = qtext(days.texts()[i]);
        const QDate date = ReportRange::parseDate(text);
        if (date.isValid() && previous.isValid()) {
            for (QDate gap = previous.addDays(1); gap < date; gap = gap.addDays(1))
                figures.byDay << ReportFigures::Group{ReportRange::dateText(gap)};
        }
        figures.byDay << byDay[i].figures(text);
        if (date.isValid())
            previous = date;
    }

    for (ProductSums &p : products) {
        p.quantityValue = p.quantity.value();
        p.takingsValue = p.takings.value();
    }
    std::vector<int> order(products.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    auto topBy = [&](double ProductSums::*primary, double ProductSums::*secondary) {
        const size_t n = std::min<size_t>(order.size(), ReportFigures::TopCount);
        std::partial_sort(order.begin(), order.begin() + qsizetype(n), order.end(), [&](int a, int b) {
            const ProductSums &x = products[size_t(a)];
            const ProductSums &y = products[size_t(b)];
            if (x.*primary != y.*primary)
                return x.*primary > y.*primary;
            if (x.*secondary != y.*secondary)
                return x.*secondary > y.*secondary;
            return std::tie(x.code, x.name) < std::tie(y.code, y.name);
        });
        QList<ReportFigures::Product> top;
        for (size_t i = 0; i < n; ++i)
            top << productFigures(products[size_t(order[i])]);
        return top;
    };
    figures.topByTakings = topBy(&ProductSums::takingsValue, &ProductSums::quantityValue);
    figures.topByQuantity = topBy(&ProductSums::quantityValue, &ProductSums::takingsValue);
    // A Z report's lines are no dates' lines: it has no margins.
    if (range.lines == ReportRange::Lines::OfDates)
        addMargins(db, range, products, figures);
    return figures;
}

QString SalesReport::averagePerReceipt(const QString &takings, qint64 receipts)
{
    if (receipts <= 0)
        return QStringLiteral("0");
    // The general text holds the exact decimal: digits, at most one point,
    // a sign; only very large or very small sums come in scientific form.
    QString digits = takings;
    const bool negative = digits.startsWith(QLatin1Char('-'));
    if (negative)
        digits.remove(0, 1);
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const int scale = point < 0 ? 0 : int(digits.size() - point - 1);
    digits.remove(QLatin1Char('.'));
    bool plain = !digits.isEmpty() && digits.size() <= 30;
    __int128 mantissa = 0;
    for (const QChar c : digits) {
        if (!plain || !c.isDigit() || c.unicode() > '9') {
            plain = false;
            break;
        }
        mantissa = mantissa * 10 + (c.unicode() - '0');
    }
    if (!plain) {
        const double cents = std::round(takings.toDouble() / double(receipts) * 100);
        return formatGeneral(cents / 100);
    }
    // cents = mantissa × 100 / (10^scale × receipts), rounded half up.
    __int128 divisor = receipts;
    for (int i = 0; i < scale; ++i)
        divisor *= 10;
    const __int128 cents = (mantissa * 200 + divisor) / (divisor * 2);
    const double value = double(static_cast<long long>(cents / 100)) + double(static_cast<int>(cents % 100)) / 100;
    return formatGeneral(negative ? -value : value);
}
