#pragma once

#include "reports/reportfigures.h"

#include <QString>

// A report as a PDF file on A4 pages: the figures, the cashiers and both
// charts on the first page, the two best-seller lists on the next, then the
// hours and days, over as many pages as they need.
class ReportPdf final
{
public:
    ReportPdf() = delete;

    // Throws AppError when the file cannot be written.
    static void write(const ReportFigures &figures, const QString &shopName, const QString &printedAt,
                      const QString &filePath);
};
