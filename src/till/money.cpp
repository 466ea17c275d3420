#include "money.h"

#include "base/numbertext.h"

#include <cmath>

std::optional<qint64> Money::fenOf(const QString &typed)
{
    double value = 0;
    if (!tryTextToNumber(typed, &value) || !std::isfinite(value) || std::fabs(value) >= 1e13)
        return std::nullopt;
    // The digits the program shows for the value, read exactly: 0.285 is 28.5
    // fen and so 29, where the double below it would round down.
    const QString shown = formatGeneral(std::fabs(value));
    if (shown.contains(QLatin1Char('E')))
        return value < 0 ? -std::llround(std::fabs(value) * 100) : std::llround(value * 100);
    const qsizetype point = shown.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? shown : shown.left(point);
    const QString parts = point < 0 ? QString() : shown.mid(point + 1);
    qint64 fen = whole.toLongLong() * 100 + (parts + QStringLiteral("00")).left(2).toLongLong();
    if (parts.size() > 2 && parts.at(2) >= QLatin1Char('5'))
        ++fen;
    return value < 0 ? -fen : fen;
}

QString Money::text(qint64 fen)
{
    const qint64 whole = std::llabs(fen) / 100;
    const qint64 parts = std::llabs(fen) % 100;
    QString out = QString::number(whole);
    if (parts != 0) {
        out += QLatin1Char('.') + QStringLiteral("%1").arg(parts, 2, 10, QLatin1Char('0'));
        if (out.endsWith(QLatin1Char('0')))
            out.chop(1);
    }
    return fen < 0 ? QLatin1Char('-') + out : out;
}
