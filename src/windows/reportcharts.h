#pragma once

#include "reports/reportfigures.h"

class QChart;

// The charts of a report: takings by hour of the day (bars, from 8 to
// 20 o'clock and every other hour with sales), by payment method (bars, the
// shop's order, net of change and refunds) and by day over the range (a
// line; days without sales lie on zero). The
// reports window keeps one of each and refills it at every report; the PDF
// export makes its own.
class ReportCharts final
{
public:
    ReportCharts() = delete;

    static QChart *makeHourChart();
    static QChart *makeDayChart();
    static QChart *makeMethodChart();

    // Replaces what the chart shows by the report's figures.
    static void showHours(QChart *chart, const ReportFigures &figures);
    static void showDays(QChart *chart, const ReportFigures &figures);
    static void showMethods(QChart *chart, const ReportFigures &figures);

    static QString hourTitle();
    static QString dayTitle();
    static QString methodTitle();
};
