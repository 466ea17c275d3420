#include "reportrange.h"

#include <QRegularExpression>

ReportRange ReportRange::preset(Preset preset, const QDate &today)
{
    ReportRange range;
    switch (preset) {
    case Preset::Today:
        range.from = range.to = today;
        break;
    case Preset::Yesterday:
        range.from = range.to = today.addDays(-1);
        break;
    case Preset::ThisWeek:
        range.from = today.addDays(1 - today.dayOfWeek());
        range.to = today;
        break;
    case Preset::ThisMonth:
        range.from = QDate(today.year(), today.month(), 1);
        range.to = today;
        break;
    }
    return range;
}

QString ReportRange::dateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QDate ReportRange::parseDate(const QString &text)
{
    // Exactly four, two and two digits: "2026-2-30" or "26-02-03" are refused
    // rather than guessed at.
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!form.match(text).hasMatch())
        return {};
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}
