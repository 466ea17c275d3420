#include "displayframes.h"

#include "base/apperror.h"
#include "base/numbertext.h"

#include <initializer_list>

namespace {

constexpr char kEsc = 0x1B;
constexpr char kCr = 0x0D;
constexpr char kClr = 0x0C;
constexpr int kLedDigits = 8;
constexpr int kVfdWidth = 20;

QByteArray bytes(std::initializer_list<char> list)
{
    return QByteArray(list.begin(), qsizetype(list.size()));
}

char lamp(DisplayFigure figure)
{
    switch (figure) {
    case DisplayFigure::Price: return '1';
    case DisplayFigure::Total: return '2';
    case DisplayFigure::Received: return '3';
    case DisplayFigure::Change: return '4';
    }
    return '0';
}

double amountValue(const QString &amount)
{
    try {
        return amount.trimmed().isEmpty() ? 0.0 : textToNumber(amount.trimmed());
    } catch (const AppError &) {
        return 0.0;
    }
}

// Two decimals, fewer when the digits would not fit.
QByteArray fitted(double value, int digits)
{
    for (int decimals = 2; decimals >= 0; --decimals) {
        const QByteArray text = QByteArray::number(value, 'f', decimals);
        const qsizetype used = text.size() - (text.contains('.') ? 1 : 0);
        if (used <= digits)
            return text;
    }
    return QByteArray(digits, '-');   // too large for the display: dashes, never a wrong number
}

} // namespace

DisplayFrames::DisplayFrames(DisplayProtocol protocol)
    : m_protocol(protocol)
    , m_codec(TextEncoding::Gbk)
{
}

QByteArray DisplayFrames::clear() const
{
    QByteArray out = bytes({kEsc, '@'});
    if (m_protocol == DisplayProtocol::Vfd2x20)
        out += kClr;
    return out;
}

QByteArray DisplayFrames::ledDigits(const QString &amount)
{
    return fitted(amountValue(amount), kLedDigits);
}

QString DisplayFrames::caption(DisplayFigure figure)
{
    switch (figure) {
    case DisplayFigure::Price: return QStringLiteral("单价");
    case DisplayFigure::Total: return QStringLiteral("总计");
    case DisplayFigure::Received: return QStringLiteral("收款");
    case DisplayFigure::Change: return QStringLiteral("找零");
    }
    return {};
}

QByteArray DisplayFrames::figure(DisplayFigure figure, const QString &amount, const QString &name) const
{
    if (m_protocol == DisplayProtocol::Led8) {
        QByteArray out = bytes({kEsc, 's', lamp(figure)});
        out += bytes({kEsc, 'Q', 'A'}) + ledDigits(amount) + kCr;
        return out;
    }
    const QString upper = name.isEmpty() ? caption(figure) : name;
    return vfdLines(upper, caption(figure) + QLatin1Char(':') + QString::fromLatin1(fitted(amountValue(amount), 16)));
}

QByteArray DisplayFrames::payment(const QString &received, const QString &change) const
{
    if (m_protocol == DisplayProtocol::Led8)
        return figure(DisplayFigure::Change, change);
    QByteArray out = bytes({kEsc, 'Q', 'A'});
    out += vfdLine(caption(DisplayFigure::Received) + QLatin1Char(':'),
                   QString::fromLatin1(fitted(amountValue(received), 14)))
        + kCr;
    out += bytes({kEsc, 'Q', 'B'});
    out += vfdLine(caption(DisplayFigure::Change) + QLatin1Char(':'), QString::fromLatin1(fitted(amountValue(change), 14)))
        + kCr;
    return out;
}

QByteArray DisplayFrames::vfdLines(const QString &upper, const QString &lower) const
{
    QByteArray out = bytes({kEsc, 'Q', 'A'});
    out += vfdLine(upper, {}) + kCr;
    out += bytes({kEsc, 'Q', 'B'});
    // The caption on the left, the number on the right of the lower line.
    const qsizetype colon = lower.indexOf(QLatin1Char(':'));
    out += (colon < 0 ? vfdLine(lower, {}) : vfdLine(lower.left(colon + 1), lower.mid(colon + 1))) + kCr;
    return out;
}

// Twenty bytes exactly: the left text cut on a character boundary, the right
// text against the right edge.
QByteArray DisplayFrames::vfdLine(const QString &left, const QString &right) const
{
    const QByteArray tail = m_codec.encode(right);
    QByteArray head = m_codec.cut(m_codec.encode(left), kVfdWidth - tail.size());
    return head + QByteArray(kVfdWidth - head.size() - tail.size(), ' ') + tail;
}
