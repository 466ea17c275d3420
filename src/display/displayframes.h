#pragma once

#include "base/textcodec.h"

#include <QByteArray>
#include <QString>

// The two kinds of customer display sold for tills, by what they understand.
enum class DisplayProtocol {
    // Eight seven-segment digits with four lamps under them (单价, 总计,
    // 收款, 找零): ESC s n lights a lamp, ESC Q A digits CR shows a number.
    Led8,
    // Two lines of twenty characters (GBK: ten Chinese characters a line):
    // ESC Q A text CR the upper line, ESC Q B text CR the lower, CLR clears.
    Vfd2x20,
};

// What the display is showing; the LED display lights the lamp of it.
enum class DisplayFigure { Price, Total, Received, Change };

// The bytes a display of one protocol is sent. Amounts come as the till's
// number text and are shown with two decimals; one that does not fit the
// eight digits shows as many decimals as fit.
class DisplayFrames final
{
public:
    explicit DisplayFrames(DisplayProtocol protocol);

    DisplayProtocol protocol() const { return m_protocol; }

    // ESC @, and on the VFD CLR: a blank display, lamps off.
    QByteArray clear() const;
    // One figure; the VFD shows the product's name (or the figure's name)
    // above it.
    QByteArray figure(DisplayFigure figure, const QString &amount, const QString &name = {}) const;
    // After the amount received is typed: the LED shows the change, the VFD
    // both.
    QByteArray payment(const QString &received, const QString &change) const;

    // The amount as the eight digits show it (the point takes no digit).
    static QByteArray ledDigits(const QString &amount);
    static QString caption(DisplayFigure figure);

private:
    QByteArray vfdLines(const QString &upper, const QString &lower) const;
    QByteArray vfdLine(const QString &left, const QString &right) const;

    DisplayProtocol m_protocol;
    TextCodec m_codec;
};
