#include "dayend.h"

#include "base/apperror.h"
#include "storage/auditlog.h"
#include "storage/database.h"
#include "storage/localcopy.h"
#include "base/decimalsum.h"
#include "base/numbertext.h"
#include "reports/salesreport.h"
#include "storage/shopsettings.h"
#include "storage/statements.h"
#include "receipt/receiptsink.h"
#include "reports/reportlayout.h"

#include <QSqlQuery>

#include <algorithm>

namespace {

QString minuteText(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

// The drawer holds the tills' opening cash and the cash taken: those not yet
// counted by a Z report, or those a closing counted.
void addOpeningCash(Database &db, ReportFigures &figures, std::optional<int> closing)
{
    DecimalSum opening;
    QSqlQuery floats = db.run(Statements::cashFloatsOf(closing));
    while (floats.next())
        opening.add(textToNumber(floats.value(0).toString()));
    DecimalSum expected = opening;
    expected.add(textToNumber(figures.cashTaken));
    figures.openingFloat = opening.text();
    figures.expectedCash = expected.text();
}

} // namespace

DayEnd::DayEnd(Database &db)
    : m_db(db)
{
}

std::optional<DayClosings::Closing> DayEnd::lastClosing() const
{
    return DayClosings(m_db).last();
}

void DayEnd::checkClosing(const ReportRange &range, const QString &countedCash)
{
    if (!range.cashier.isEmpty())
        throw Refusal(QStringLiteral("Z报表是全店的日结，请选“全部收银员”"));
    if (range.till != 0)
        throw Refusal(QStringLiteral("Z报表是全店的日结，请选“全部收银台”"));
    if (countedCash.trimmed().isEmpty())
        throw Refusal(QStringLiteral("请填上清点的现金金额!"));
}

ReportFigures DayEnd::printXReport(const ReportRange &range, ReceiptSink &printer, const QDateTime &now)
{
    ReportFigures figures = SalesReport::compute(m_db, range);
    addOpeningCash(m_db, figures, std::nullopt);
    printer.print(ReportLayout::lines(figures, heading(ReportLayout::Kind::X, now)));
    return figures;
}

ReportLayout::Heading DayEnd::heading(ReportLayout::Kind kind, const QDateTime &now) const
{
    ReportLayout::Heading heading;
    heading.kind = kind;
    heading.shopName = ShopSettings::load(m_db).shopName;
    heading.printedAt = minuteText(now);
    return heading;
}

ReportFigures DayEnd::sinceLastClosing()
{
    ReportRange open;
    open.lines = ReportRange::Lines::NotClosed;
    ReportFigures figures = SalesReport::compute(m_db, open);
    addOpeningCash(m_db, figures, std::nullopt);
    return figures;
}

ReportLayout::Heading DayEnd::closingHeading(const DayClosings::Closing &closing, const QString &printedAt) const
{
    ReportLayout::Heading zHeading;
    zHeading.kind = ReportLayout::Kind::Z;
    zHeading.shopName = ShopSettings::load(m_db).shopName;
    zHeading.printedAt = printedAt;
    zHeading.closingNumber = closing.number;
    if (const auto previous = DayClosings(m_db).find(closing.number - 1))
        zHeading.previousClosing = QStringLiteral("No.%1 %2").arg(previous->number).arg(previous->closedAt.left(16));
    zHeading.counted = closing.counted;
    zHeading.difference = closing.difference;
    return zHeading;
}

namespace {

// A Z report's dates are those of the lines it closed: the first and last
// date with sales, or the day it was taken when there were none.
void spanDates(ReportFigures &figures, const QDate &today)
{
    figures.range.from = figures.range.to = today;
    QDate first, last;
    for (const ReportFigures::Group &day : std::as_const(figures.byDay)) {
        const QDate date = ReportRange::parseDate(day.key);
        if (!date.isValid())
            continue;
        if (!first.isValid() || date < first)
            first = date;
        if (!last.isValid() || date > last)
            last = date;
    }
    if (first.isValid()) {
        figures.range.from = first;
        figures.range.to = last;
    }
}

} // namespace

DayClosings::Closing DayEnd::closeDay(const ReportRange &range, const QString &countedCash, ReceiptSink &printer,
                                      const QDateTime &now, std::optional<int> lastShown)
{
    checkClosing(range, countedCash);
    // A Z closes what the server holds: sales still in this till's outbox would be left out.
    if (m_db.isOffline())
        throw Refusal(QStringLiteral("提示：收银机正在离线收银，连上数据库服务器、离线的销售都送上去以后才能做Z报表。"));
    if (const int waiting = LocalCopy::waitingCount(m_db); waiting > 0)
        throw Refusal(QStringLiteral("提示：还有 %1 单离线时的销售正在送往数据库服务器，全部送完以后才能做Z报表，请稍候再试。")
                          .arg(waiting));
    const double counted = textToNumber(countedCash);

    DayClosings closings(m_db);
    DayClosings::Closing closing;
    {
        // One closing at a time across the tills; the lines are marked in
        // one statement and the figures read from what it marked, so a sale
        // is in exactly one Z report.
        Transaction transaction(m_db);
        closings.hold();
        const std::optional<DayClosings::Closing> previous = closings.last();
        const int previousNumber = previous ? previous->number : 0;
        if (lastShown && *lastShown != previousNumber)
            throw Refusal(QStringLiteral("另一台收银机刚刚做了Z报表 No.%1（%2），这次没有日结，也没有打印。\n"
                                         "请看过新的日结范围后再决定是否日结。")
                              .arg(previousNumber)
                              .arg(previous ? previous->closedAt.left(16) : QString()));
        closing.number = previousNumber + 1;
        closings.closeOpenLines(closing.number);
        ReportRange covered;
        covered.lines = ReportRange::Lines::OfClosing;
        covered.closing = closing.number;
        ReportFigures figures = SalesReport::compute(m_db, covered);
        spanDates(figures, now.date());
        addOpeningCash(m_db, figures, closing.number);

        // Only cash is in the drawer: what phones and cards took is not counted there.
        DecimalSum difference;
        difference.add(counted);
        difference.add(-textToNumber(figures.expectedCash));

        closing.closedAt = now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        closing.fromDate = ReportRange::dateText(figures.range.from);
        closing.toDate = ReportRange::dateText(figures.range.to);
        closing.afterLine = previous ? previous->lastLine : 0;
        closing.lastLine = std::max(closing.afterLine, figures.lastLine);
        closing.receipts = figures.receipts;
        closing.lines = figures.lines;
        closing.items = figures.items;
        closing.takings = figures.takings;
        closing.counted = formatGeneral(counted);
        closing.difference = difference.text();
        closing.printed = ReportLayout::lines(figures, closingHeading(closing, minuteText(now)));
        closings.record(closing);
        transaction.commit();
    }

    // Recorded first, as a sale is: a Z report on paper always has its
    // closing. One that does not come out is taken back; should that fail
    // too, it stays closed and can be printed again.
    try {
        printer.print(closing.printed);
    } catch (const AppError &) {
        try {
            closings.withdraw(closing.number);
        } catch (const AppError &) {
        }
        throw;
    }
    AuditLog::write(m_db, {AuditLog::Kind::ZReport, ShopSettings::load(m_db).cashier,
                           QStringLiteral("Z%1").arg(closing.number),
                           QStringLiteral("No.%1 %2 至 %3，点钞 %4，差额 %5")
                               .arg(closing.number)
                               .arg(closing.fromDate, closing.toDate, closing.counted, closing.difference),
                           closing.takings});
    return closing;
}

void DayEnd::reprintClosing(int number, ReceiptSink &printer)
{
    const std::optional<DayClosings::Closing> closing = DayClosings(m_db).find(number);
    if (!closing)
        throw Refusal(QStringLiteral("没有 No.%1 号Z报表。").arg(number));
    QList<ReceiptLine> lines = closing->printed;
    if (lines.isEmpty()) {
        // Made before the printed lines were kept: again from the lines it closed.
        ReportRange covered;
        covered.lines = ReportRange::Lines::OfClosing;
        covered.closing = number;
        ReportFigures figures = SalesReport::compute(m_db, covered);
        addOpeningCash(m_db, figures, number);
        figures.range.from = ReportRange::parseDate(closing->fromDate);
        figures.range.to = ReportRange::parseDate(closing->toDate);
        lines = ReportLayout::lines(figures, closingHeading(*closing, closing->closedAt.left(16)));
    }
    printer.print(lines);
    AuditLog::write(m_db, {AuditLog::Kind::Reprint, ShopSettings::load(m_db).cashier, QStringLiteral("Z%1").arg(number),
                           QStringLiteral("Z报表 No.%1").arg(number), closing->takings});
}
