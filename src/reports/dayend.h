#pragma once

#include "reports/dayclosings.h"
#include "reports/reportfigures.h"
#include "reports/reportlayout.h"

#include <QDateTime>
#include <QString>

#include <optional>

class Database;
class ReceiptSink;

// The end of a shop's day on the receipt printer. An X report prints the
// figures of a range and changes nothing. A Z report closes the day: it
// closes every line no earlier Z report closed, whatever its date, records a
// numbered closing with the cash the owner counted and what it prints, then
// prints it; a Z report that does not come out closes nothing.
class DayEnd final
{
public:
    explicit DayEnd(Database &db);

    // Prints the X report of the range and returns its figures.
    ReportFigures printXReport(const ReportRange &range, ReceiptSink &printer,
                               const QDateTime &now = QDateTime::currentDateTime());

    // What the next Z report would close: the lines no Z report closed yet.
    ReportFigures sinceLastClosing();

    // Records the closing and prints the Z report; when printing fails the
    // closing is taken back. Refuses a range of one cashier (a closing is for
    // the whole shop) and counted cash that is not a number. lastShown: the
    // number of the last closing the owner saw (0 for none) when asked;
    // refused when another till closed since.
    DayClosings::Closing closeDay(const ReportRange &range, const QString &countedCash, ReceiptSink &printer,
                                  const QDateTime &now = QDateTime::currentDateTime(),
                                  std::optional<int> lastShown = std::nullopt);

    // Prints a recorded Z report again, as it was printed.
    void reprintClosing(int number, ReceiptSink &printer);

    std::optional<DayClosings::Closing> lastClosing() const;

    // Throws Refusal when a Z report of the range cannot be made with this
    // counted cash (one cashier chosen, nothing typed), before anything is asked.
    static void checkClosing(const ReportRange &range, const QString &countedCash);

private:
    ReportLayout::Heading heading(ReportLayout::Kind kind, const QDateTime &now) const;
    ReportLayout::Heading closingHeading(const DayClosings::Closing &closing, const QString &printedAt) const;

    Database &m_db;
};
