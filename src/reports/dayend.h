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
// covers the range less what earlier Z reports covered, records a numbered
// closing with the cash the owner counted, and prints it, all or nothing.
class DayEnd final
{
public:
    explicit DayEnd(Database &db);

    // Prints the X report of the range and returns its figures.
    ReportFigures printXReport(const ReportRange &range, ReceiptSink &printer,
                               const QDateTime &now = QDateTime::currentDateTime());

    // Records the closing and prints the Z report; when printing fails
    // nothing is recorded. Refuses a range of one cashier (a closing is for
    // the whole shop) and counted cash that is not a number.
    DayClosings::Closing closeDay(const ReportRange &range, const QString &countedCash, ReceiptSink &printer,
                                  const QDateTime &now = QDateTime::currentDateTime());

    std::optional<DayClosings::Closing> lastClosing() const;

    // Throws Refusal when a Z report of the range cannot be made with this
    // counted cash (one cashier chosen, nothing typed), before anything is asked.
    static void checkClosing(const ReportRange &range, const QString &countedCash);

private:
    ReportLayout::Heading heading(ReportLayout::Kind kind, const QDateTime &now) const;

    Database &m_db;
};
