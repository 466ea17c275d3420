#pragma once

#include <QDate>
#include <QString>

// Which recorded lines a report covers: the sale dates from and to (both
// included, as the lines were recorded: a sale rung up after midnight on a
// screen still showing yesterday's date belongs to yesterday), optionally one
// cashier or one till, and for a Z report only the lines recorded after the
// last closing.
struct ReportRange
{
    enum class Preset { Today, Yesterday, ThisWeek, ThisMonth };

    QDate from;
    QDate to;
    QString cashier;        // empty: every cashier
    int till = 0;           // 0: every till
    qint64 afterLine = 0;   // only lines with a higher row key; 0: all of them
    // A Z report's lines are not chosen by date: those no Z report closed
    // yet, or those one closed (its number in closing), whatever their dates.
    enum class Lines { OfDates, NotClosed, OfClosing };
    Lines lines = Lines::OfDates;
    int closing = 0;

    // The dates of a preset seen from the given day; a week starts on Monday.
    static ReportRange preset(Preset preset, const QDate &today);
    // Dates as the sales record writes them.
    static QString dateText(const QDate &date);
    // A date typed as yyyy-mm-dd; an invalid date when the text is anything else.
    static QDate parseDate(const QString &text);

    bool isValid() const { return from.isValid() && to.isValid() && from <= to; }
};
