#include "dayend.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "base/decimalsum.h"
#include "base/numbertext.h"
#include "reports/salesreport.h"
#include "storage/shopsettings.h"
#include "receipt/receiptsink.h"
#include "reports/reportlayout.h"

#include <algorithm>

namespace {

QString minuteText(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
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
    const ReportFigures figures = SalesReport::compute(m_db, range);
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

DayClosings::Closing DayEnd::closeDay(const ReportRange &range, const QString &countedCash, ReceiptSink &printer,
                                      const QDateTime &now)
{
    checkClosing(range, countedCash);
    const double counted = textToNumber(countedCash);

    // Reading the last closing, the lines after it and writing the new
    // closing in one transaction: a second till closing at the same moment
    // cannot take the same number or the same lines.
    Transaction transaction(m_db);
    DayClosings closings(m_db);
    const std::optional<DayClosings::Closing> previous = closings.last();
    // Only the lines recorded after the last closing.
    ReportRange covered = range;
    if (previous)
        covered.afterLine = std::max(range.afterLine, previous->lastLine);
    const ReportFigures figures = SalesReport::compute(m_db, covered);

    DecimalSum difference;
    difference.add(counted);
    difference.add(-textToNumber(figures.takings));

    DayClosings::Closing closing;
    closing.number = previous ? previous->number + 1 : 1;
    closing.closedAt = now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    closing.fromDate = ReportRange::dateText(range.from);
    closing.toDate = ReportRange::dateText(range.to);
    closing.afterLine = covered.afterLine;
    closing.lastLine = std::max(covered.afterLine, figures.lastLine);
    closing.receipts = figures.receipts;
    closing.lines = figures.lines;
    closing.items = figures.items;
    closing.takings = figures.takings;
    closing.counted = formatGeneral(counted);
    closing.difference = difference.text();
    closings.record(closing);

    ReportLayout::Heading zHeading = heading(ReportLayout::Kind::Z, now);
    zHeading.closingNumber = closing.number;
    if (previous)
        zHeading.previousClosing = QStringLiteral("No.%1 %2").arg(previous->number).arg(previous->closedAt.left(16));
    zHeading.counted = closing.counted;
    zHeading.difference = closing.difference;
    printer.print(ReportLayout::lines(figures, zHeading));

    transaction.commit();
    return closing;
}
