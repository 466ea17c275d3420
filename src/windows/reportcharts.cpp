#include "reportcharts.h"

#include "windowparts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace {

const QColor kBars(0x0F, 0x97, 0x04);   // the program's green

void prepare(QChart *chart, const QString &title)
{
    chart->setTitle(title);
    chart->setTitleFont(WindowParts::pixelFont(13, true));
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 8, 4));
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
    axis->setRange(0, highest > 0 ? highest : 1);
    axis->applyNiceNumbers();
}

QValueAxis *verticalAxis(QChart *chart)
{
    const QList<QAbstractAxis *> axes = chart->axes(Qt::Vertical);
    return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis *>(axes.first());
}

qint64 noonOf(const QDate &date)
{
    return QDateTime(date, QTime(12, 0)).toMSecsSinceEpoch();
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

QChart *ReportCharts::makeHourChart()
{
    auto *chart = new QChart;
    prepare(chart, hourTitle());
    auto *takings = new QBarSet(QStringLiteral("营业额"));
    takings->setColor(kBars);
    takings->setBorderColor(kBars.darker(120));
    QStringList hours;
    for (int hour = 0; hour < 24; ++hour) {
        takings->append(0);
        hours << QString::number(hour);
    }
    auto *series = new QBarSeries(chart);
    series->setBarWidth(0.8);
    series->append(takings);
    chart->addSeries(series);
    auto *hoursAxis = new QBarCategoryAxis(chart);
    hoursAxis->append(hours);
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
    chart->addSeries(series);
    auto *days = new QDateTimeAxis(chart);
    days->setFormat(QStringLiteral("MM-dd"));
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
    QList<double> byHour(24, 0.0);
    for (const ReportFigures::Group &hour : figures.byHour)
        byHour[hour.key.toInt()] = hour.takings.toDouble();
    for (int hour = 0; hour < 24; ++hour)
        takings->replace(hour, byHour[hour]);
    if (QValueAxis *axis = verticalAxis(chart))
        fitTakings(axis, *std::max_element(byHour.begin(), byHour.end()));
}

void ReportCharts::showDays(QChart *chart, const ReportFigures &figures)
{
    auto *series = qobject_cast<QLineSeries *>(chart->series().value(0));
    if (!series)
        return;
    QList<QPointF> points;
    double highest = 0;
    for (const ReportFigures::Group &day : figures.byDay) {
        const QDate date = ReportRange::parseDate(day.key);
        if (!date.isValid())
            continue;   // a date typed by hand in some other form
        const double takings = day.takings.toDouble();
        points << QPointF(double(noonOf(date)), takings);
        highest = std::max(highest, takings);
    }
    series->replace(points);
    // A long range shows as a line, a short one with its days marked.
    series->setPointsVisible(points.size() <= 62);
    const QList<QAbstractAxis *> axes = chart->axes(Qt::Horizontal);
    if (auto *days = axes.isEmpty() ? nullptr : qobject_cast<QDateTimeAxis *>(axes.first())) {
        const QDate from = figures.range.from;
        const QDate to = figures.range.to;
        const qint64 length = from.daysTo(to);
        days->setFormat(length > 370 ? QStringLiteral("yyyy-MM") : QStringLiteral("MM-dd"));
        days->setTickCount(int(std::clamp<qint64>(length + 1, 2, 7)));
        days->setRange(QDateTime(from, QTime(0, 0)), QDateTime(to, QTime(23, 59, 59)));
    }
    if (QValueAxis *axis = verticalAxis(chart))
        fitTakings(axis, highest);
}
