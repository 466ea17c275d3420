#pragma once

#include "reports/reportfigures.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A report's figures as rows of cells, section after section (figures, by
// cashier, by hour, by day, the two top lists), an empty row between them:
// the plain text the command line prints and the CSV file a spreadsheet opens.
class ReportSheet final
{
public:
    ReportSheet() = delete;

    static QList<QStringList> rows(const ReportFigures &figures);
    // Cells separated by a tab, rows by LF.
    static QString plainText(const ReportFigures &figures);
    // The rows as a CSV file (see CsvWriter). Throws FileError when it
    // cannot be written.
    static void writeCsv(const ReportFigures &figures, const QString &path);
};
