#include "reportcharts.h"

#include "windows/windowparts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCategoryAxis>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace {

const QColor kBars(0x0F, 0x97, 0x04);   // the program's green
constexpr int kFirstHourShown = 8;
constexpr int kLastHourShown = 20;

void prepare(QChart *chart, const QString &title)
{
    chart->setTitle(title);
    chart->setTitleFont(WindowParts::pixelFont(13, true));
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 8, 4));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
}

QValueAxis *takingsAxis(QChart *chart)
{
    auto *axis = new QValueAxis(chart);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    axis->setLabelsFont(WindowParts::pixelFont(10));
    axis->setRange(0, 1);
    chart->addAxis(axis, Qt::AlignLeft);
    return axis;
}

void fitTakings(QValueAxis *axis, double highest)
{
    // A little room above the highest value, so that a day's dot at the top
    // is drawn whole.
    axis->setRange(0, highest > 0 ? highest * 1.05 : 1);
    axis->applyNiceNumbers();
}

QValueAxis *verticalAxis(QChart *chart)
{
    const QList<QAbstractAxis *> axes = chart->axes(Qt::Vertical);
    return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis *>(axes.first());
}

} // namespace

QString ReportCharts::hourTitle()
{
    return QStringLiteral("按小时营业额");
}

QString ReportCharts::dayTitle()
{
    return QStringLiteral("按日营业额");
}

QString ReportCharts::methodTitle()
{
    return QStringLiteral("按付款方式营业额");
}

QChart *ReportCharts::makeHourChart()
{
    auto *chart = new QChart;
    prepare(chart, hourTitle());
    auto *takings = new QBarSet(QStringLiteral("营业额"));
    takings->setColor(kBars);
    takings->setBorderColor(kBars.darker(120));
    for (int hour = 0; hour < 24; ++hour)
        takings->append(0);
    auto *series = new QBarSeries(chart);
    series->setBarWidth(0.8);
    series->append(takings);
    chart->addSeries(series);
    // Bar n stands at n on a number axis, so the hour of each bar is its
    // place, and every other hour is labelled.
    auto *hoursAxis = new QValueAxis(chart);
    hoursAxis->setLabelFormat(QStringLiteral("%d"));
    hoursAxis->setTickType(QValueAxis::TicksDynamic);
    hoursAxis->setTickAnchor(0);
    hoursAxis->setTickInterval(2);
    hoursAxis->setMinorTickCount(1);
    hoursAxis->setLabelsFont(WindowParts::pixelFont(10));
    chart->addAxis(hoursAxis, Qt::AlignBottom);
    series->attachAxis(hoursAxis);
    series->attachAxis(takingsAxis(chart));
    return chart;
}

QChart *ReportCharts::makeDayChart()
{
    auto *chart = new QChart;
    prepare(chart, dayTitle());
    auto *series = new QLineSeries(chart);
    series->setColor(kBars);
    series->setPointsVisible(true);
    series->setMarkerSize(7);
    chart->addSeries(series);
    // Day n of the range stands at n; the dates are written under some of
    // them, exactly under their points.
    auto *days = new QCategoryAxis(chart);
    days->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    days->setLabelsFont(WindowParts::pixelFont(10));
    chart->addAxis(days, Qt::AlignBottom);
    series->attachAxis(days);
    series->attachAxis(takingsAxis(chart));
    return chart;
}

void ReportCharts::showHours(QChart *chart, const ReportFigures &figures)
{
    const auto *series = qobject_cast<QBarSeries *>(chart->series().value(0));
    if (!series || series->barSets().isEmpty())
        return;
    QBarSet *takings = series->barSets().first();
    // The shop's usual day, widened to every hour with sales.
    int first = kFirstHourShown;
    int last = kLastHourShown;
    QList<double> byHour(24, 0.0);
    for (const ReportFigures::Group &hour : figures.byHour) {
        bool known = false;
        const int h = hour.key.toInt(&known);
        if (!known)
            continue;   // the row of times the program did not write
        byHour[h] = hour.takings.toDouble();
        first = std::min(first, h);
        last = std::max(last, h);
    }
    for (int hour = 0; hour < 24; ++hour)
        takings->replace(hour, byHour[hour]);
    const QList<QAbstractAxis *> axes = chart->axes(Qt::Horizontal);
    if (auto *hoursAxis = axes.isEmpty() ? nullptr : qobject_cast<QValueAxis *>(axes.first()))
        hoursAxis->setRange(first - 0.5, last + 0.5);
    if (QValueAxis *axis = verticalAxis(chart))
        fitTakings(axis, *std::max_element(byHour.begin(), byHour.end()));
}

void ReportCharts::showDays(QChart *chart, const ReportFigures &figures)
{
    auto *series = qobject_cast<QLineSeries *>(chart->series().value(0));
    if (!series)
        return;
    const QDate from = figures.range.from;
    const int length = int(from.daysTo(figures.range.to)) + 1;
    QList<QPointF> points;
    double highest = 0;
    for (const ReportFigures::Group &day : figures.byDay) {
        const QDate date = ReportRange::parseDate(day.key);
        if (!date.isValid())
            continue;   // a date typed by hand in some other form
        const double takings = day.takings.toDouble();
        points << QPointF(double(from.daysTo(date)), takings);
        highest = std::max(highest, takings);
    }
    series->replace(points);
    // A long range shows as a line, a short one with its days marked.
    series->setPointsVisible(points.size() <= 62);
    const QList<QAbstractAxis *> axes = chart->axes(Qt::Horizontal);
    if (auto *days = axes.isEmpty() ? nullptr : qobject_cast<QCategoryAxis *>(axes.first())) {
        for (const QString &label : days->categoriesLabels())
            days->remove(label);
        // At most seven dates, evenly spaced.
        const int step = std::max(1, (length + 6) / 7);
        const QString format = length > 366 ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("MM-dd");
        days->setStartValue(-0.5);
        for (int day = 0; day < length; day += step)
            days->append(from.addDays(day).toString(format), day);
        days->setRange(-0.5, length - 0.5);
    }
    if (QValueAxis *axis = verticalAxis(chart))
        fitTakings(axis, highest);
}

QChart *ReportCharts::makeMethodChart()
{
    auto *chart = new QChart;
    prepare(chart, methodTitle());
    auto *takings = new QBarSet(QStringLiteral("营业额"));
    takings->setColor(kBars);
    takings->setBorderColor(kBars.darker(120));
    takings->setLabelColor(Qt::black);
    takings->setLabelFont(WindowParts::pixelFont(10));
    auto *series = new QBarSeries(chart);
    series->setBarWidth(0.6);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->append(takings);
    chart->addSeries(series);
    auto *methods = new QBarCategoryAxis(chart);
    methods->setLabelsFont(WindowParts::pixelFont(11));
    chart->addAxis(methods, Qt::AlignBottom);
    series->attachAxis(methods);
    series->attachAxis(takingsAxis(chart));
    return chart;
}

void ReportCharts::showMethods(QChart *chart, const ReportFigures &figures)
{
    const auto *series = qobject_cast<QBarSeries *>(chart->series().value(0));
    if (!series || series->barSets().isEmpty())
        return;
    QBarSet *takings = series->barSets().first();
    takings->remove(0, takings->count());
    QStringList names;
    double highest = 0;
    for (const ReportFigures::Takings &method : figures.byMethod) {
        names << method.method;
        takings->append(method.amount.toDouble());
        highest = std::max(highest, method.amount.toDouble());
    }
    const QList<QAbstractAxis *> axes = chart->axes(Qt::Horizontal);
    if (auto *methods = axes.isEmpty() ? nullptr : qobject_cast<QBarCategoryAxis *>(axes.first())) {
        methods->clear();
        methods->append(names);
    }
    // Refunds above a method's takings leave it below zero: shown, not cut off.
    double lowest = 0;
    for (int i = 0; i < takings->count(); ++i)
        lowest = std::min(lowest, takings->at(i));
    if (QValueAxis *axis = verticalAxis(chart)) {
        fitTakings(axis, highest);
        if (lowest < 0) {
            axis->setMin(lowest * 1.05);
            axis->applyNiceNumbers();
        }
    }
}
