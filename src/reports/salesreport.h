#pragma once

#include "reports/reportfigures.h"

class Database;

// The figures of a report. Whole days of every cashier are read from the
// sales record's summary by day (SalesSummary), a few rows a day; anything
// else, or days the summary cannot answer exactly, in one walk over the lines
// of the range (along the date index, so a day of a large record is as quick
// as a day of a small one). Either way money and quantities are added
// exactly in decimal and the figures are the same to the last digit.
class SalesReport final
{
public:
    SalesReport() = delete;

    // Throws DatabaseError, or ConversionError for a stored quantity or
    // amount that is not a number.
    static ReportFigures compute(Database &db, const ReportRange &range);

    // Every till number the sales record holds lines of, in order.
    static QList<int> tills(Database &db);

    // Takings per receipt, rounded half away from zero to the cent, from the
    // exact decimal text of the takings; "0" without receipts.
    static QString averagePerReceipt(const QString &takings, qint64 receipts);
};
