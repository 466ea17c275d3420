#include "csvreader.h"

#include "base/apperror.h"

#include <QIODevice>

#include <array>
#include <cstring>

namespace {

constexpr qint64 kPiece = 64 * 1024;
// A field longer than this, or a row of more fields (a spreadsheet's
// columns), is no product list: the reader stops rather than hold the rest
// of the file. In quotes it is a quote that was never closed.
constexpr qsizetype kLongestField = 1024 * 1024;
constexpr qsizetype kMostFields = 16384;

const QString kEmpty = QStringLiteral("文件是空的，没有可导入的内容。");
const QString kSpreadsheet = QStringLiteral("这是表格程序自己的文件（xlsx/xls），不是 CSV 文本：请在表格程序里用“另存为”"
                                            "保存成 CSV 文件，再导入。");
const QString kNotText = QStringLiteral("这不是文本（CSV）文件，无法导入。");
const QString kNonsense =
    QStringLiteral("文件里大多数行的文字认不出来（既不是有效的 UTF-8，也不是有效的 GBK/GB18030），"
                   "没有导入。请在表格程序里把它另存为“CSV UTF-8”文件，再导入。");

// How the lines of a file read as UTF-8 and as GB18030, counted in one pass
// over its bytes (a line ends with LF; a line break in quotes starts a line
// too, which does not matter for counting). A byte sequence that is no
// character makes its line bad in that encoding.
class LineTally final
{
public:
    void add(const uchar *p, qsizetype n)
    {
        for (qsizetype i = 0; i < n; ++i) {
            const uchar c = p[i];
            if (c == '\n') {
                endLine();
                continue;
            }
            m_text = m_text || (c > ' ' && c != 0x7F);
            m_high = m_high || c >= 0x80;
            takeUtf8(c);
            takeGb18030(c);
        }
    }
    void finish() { endLine(); }

    qint64 lines = 0;   // lines with more than blanks
    qint64 nonAscii = 0;   // of which hold bytes above 127
    qint64 badUtf8 = 0;   // of which are no UTF-8
    qint64 badGb18030 = 0;   // of which are no GB18030

private:
    void takeUtf8(uchar c)
    {
        if (m_utf8Need > 0) {
            if ((c & 0xC0) == 0x80) {
                --m_utf8Need;
                return;
            }
            m_utf8Bad = true;
            m_utf8Need = 0;
        }
        if (c < 0x80)
            return;
        if (c >= 0xC2 && c <= 0xDF)
            m_utf8Need = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            m_utf8Need = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            m_utf8Need = 3;
        else
            m_utf8Bad = true;
    }

    // Two bytes (lead 81–FE, then 40–7E or 80–FE) or four (lead, digit,
    // lead, digit); a single byte below 80.
    void takeGb18030(uchar c)
    {
        const bool lead = c >= 0x81 && c <= 0xFE;
        const bool digit = c >= 0x30 && c <= 0x39;
        switch (m_gbState) {
        case 1:
            if ((c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE)) {
                m_gbState = 0;
                return;
            }
            if (digit) {
                m_gbState = 2;
                return;
            }
            break;
        case 2:
            if (lead) {
                m_gbState = 3;
                return;
            }
            break;
        case 3:
            if (digit) {
                m_gbState = 0;
                return;
            }
            break;
        default:
            if (c < 0x80)
                return;
            if (lead) {
                m_gbState = 1;
                return;
            }
            break;
        }
        m_gbBad = true;
        m_gbState = c < 0x80 ? 0 : (lead ? 1 : 0);
    }

    void endLine()
    {
        if (m_text) {
            ++lines;
            nonAscii += m_high;
            badUtf8 += m_utf8Bad || m_utf8Need > 0;
            badGb18030 += m_gbBad || m_gbState != 0;
        }
        m_text = m_high = m_utf8Bad = m_gbBad = false;
        m_utf8Need = m_gbState = 0;
    }

    bool m_text = false;
    bool m_high = false;
    bool m_utf8Bad = false;
    bool m_gbBad = false;
    int m_utf8Need = 0;
    int m_gbState = 0;
};

// Every line of the device, or its start when it cannot go back.
LineTally tallyLines(QIODevice &device, const QByteArray &start)
{
    LineTally tally;
    if (device.isSequential()) {
        tally.add(reinterpret_cast<const uchar *>(start.constData()), start.size());
    } else {
        device.seek(0);
        QByteArray piece(kPiece, Qt::Uninitialized);
        for (;;) {
            const qint64 got = device.read(piece.data(), kPiece);
            if (got < 0)
                throw FileError(device.errorString());
            if (got == 0)
                break;
            tally.add(reinterpret_cast<const uchar *>(piece.constData()), got);
        }
    }
    tally.finish();
    return tally;
}

// GB18030 adds four-byte characters to GBK: a lead byte then a digit.
bool hasFourByteCharacters(const QByteArray &bytes)
{
    for (qsizetype i = 0; i + 1 < bytes.size();) {
        const uchar c = uchar(bytes[i]);
        if (c < 0x81 || c == 0xFF) {
            ++i;
            continue;
        }
        const uchar second = uchar(bytes[i + 1]);
        if (second >= 0x30 && second <= 0x39)
            return true;
        i += 2;
    }
    return false;
}

// Control characters other than tabs and line breaks are no part of a list
// of products: a row that holds one is judged on its own, but a file with
// many of them at its start (a picture, a program, a database) is no text.
bool isStrayControl(uint u)
{
    return (u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0x7F;
}

bool plainlyNotText(qsizetype control, qsizetype size)
{
    return control >= 8 && control * 20 > size;
}

bool plainlyNotText(const QByteArray &bytes)
{
    qsizetype control = 0;
    for (const char c : bytes)
        control += isStrayControl(uchar(c));
    return plainlyNotText(control, bytes.size());
}

bool plainlyNotText(const QString &text)
{
    qsizetype control = 0;
    for (const QChar c : text)
        control += isStrayControl(c.unicode());
    return plainlyNotText(control, text.size());
}

// The separator that splits the first lines most evenly: each candidate is
// counted outside quotes on each of up to twenty lines. One that gives every
// line the same number of fields wins over one that does not; then the
// larger count; then comma, tab, semicolon in that order.
QChar separatorOf(const QString &text, bool cut)
{
    static const std::array<QChar, 3> candidates{QLatin1Char(','), QLatin1Char('\t'), QLatin1Char(';')};
    QList<std::array<int, 3>> lines;
    std::array<int, 3> current{};
    bool quoted = false;
    bool lineHasText = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            lineHasText = true;
        } else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r'))) {
            if (lineHasText)
                lines << current;
            current = {};
            lineHasText = false;
            if (lines.size() >= 20)
                break;
        } else if (!quoted) {
            for (int k = 0; k < 3; ++k)
                current[k] += c == candidates[k];
            lineHasText = true;
        }
    }
    // A last line cut off by the end of the sample is not counted.
    if (lineHasText && (!cut || lines.isEmpty()))
        lines << current;
    if (lines.isEmpty())
        return candidates[0];

    int best = -1;
    bool bestEven = false;
    for (int k = 0; k < 3; ++k) {
        const int first = lines[0][k];
        if (first == 0)
            continue;
        bool even = true;
        for (const auto &line : lines)
            even = even && line[k] == first;
        if (best < 0 || (even && !bestEven) || (even == bestEven && first > lines[0][best])) {
            best = k;
            bestEven = even;
        }
    }
    return candidates[best < 0 ? 0 : best];
}

} // namespace

QString CsvFormat::separatorName() const
{
    if (separator == QLatin1Char('\t'))
        return QStringLiteral("制表符");
    if (separator == QLatin1Char(';'))
        return QStringLiteral("分号");
    return QStringLiteral("逗号");
}

CsvFormat CsvReader::detect(QIODevice &device)
{
    if (!device.isSequential())
        device.seek(0);
    const QByteArray start = device.isSequential() ? device.peek(kPiece) : device.read(kPiece);
    if (start.isEmpty())
        throw Refusal(kEmpty);

    CsvFormat format;
    if (start.startsWith("\xEF\xBB\xBF")) {
        format.encodingName = QStringLiteral("UTF-8 (BOM)");
        format.bomSize = 3;
    } else if (start.startsWith("\xFF\xFE") || start.startsWith("\xFE\xFF")) {
        format.encoding = uchar(start[0]) == 0xFF ? TextDecoder::Encoding::Utf16LE : TextDecoder::Encoding::Utf16BE;
        format.encodingName = QStringLiteral("UTF-16");
        format.bomSize = 2;
    } else if (start.startsWith("PK\x03\x04") || start.startsWith("\xD0\xCF\x11\xE0")) {
        throw Refusal(kSpreadsheet);
    }
    if (format.encoding == TextDecoder::Encoding::Utf8 && format.bomSize == 0) {
        // UTF-8 all through, or with a few lines that are not (a row pasted
        // in from elsewhere: those rows are reported, the rest read as
        // UTF-8). A file whose lines are mostly no UTF-8 is GBK/GB18030,
        // which a stray UTF-8 line seldom fits by chance. A file with most
        // lines neither is refused before anything is written.
        const LineTally tally = tallyLines(device, start);
        qint64 bad = tally.badUtf8;
        if (tally.badUtf8 == 0 || tally.nonAscii - tally.badUtf8 > tally.badUtf8 || tally.badUtf8 <= tally.badGb18030) {
            format.encodingName = QStringLiteral("UTF-8");
        } else {
            format.encoding = TextDecoder::Encoding::Gb18030;
            format.encodingName = hasFourByteCharacters(start) ? QStringLiteral("GB18030") : QStringLiteral("GBK");
            bad = tally.badGb18030;
        }
        if (bad * 2 > tally.lines && !plainlyNotText(start))
            throw Refusal(kNonsense);
    }
    if (!device.isSequential())
        device.seek(0);

    TextDecoder decoder(format.encoding);
    QString text;
    decoder.decode(start.constData() + format.bomSize, start.size() - format.bomSize, &text);
    if (text.trimmed().isEmpty())
        throw Refusal(kEmpty);
    if (plainlyNotText(text))
        throw Refusal(kNotText);
    format.separator = separatorOf(text, start.size() == kPiece);
    return format;
}

CsvReader::CsvReader(QIODevice &device, const CsvFormat &format)
    : m_device(device)
    , m_separator(format.separator)
    , m_decoder(format.encoding)
    , m_bytes(kPiece, Qt::Uninitialized)
{
    if (!m_device.isSequential())
        m_device.seek(0);
    // The byte order mark is no part of the first field.
    if (format.bomSize > 0)
        m_device.read(m_bytes.data(), format.bomSize);
}

bool CsvReader::fill()
{
    if (m_deviceDone)
        return false;
    m_text.remove(0, m_pos);
    m_pos = 0;
    while (m_text.isEmpty()) {
        const qint64 got = m_device.read(m_bytes.data(), kPiece);
        if (got < 0)
            throw FileError(m_device.errorString());
        if (got == 0) {
            m_decoder.finish(&m_text);
            m_deviceDone = true;
            return !m_text.isEmpty();
        }
        m_decoder.decode(m_bytes.constData(), got, &m_text);
    }
    return true;
}

bool CsvReader::atEnd()
{
    return m_pos >= m_text.size() && !fill();
}

void CsvReader::takeLineBreak(QChar c, QString *field)
{
    // CR LF, LF and a lone CR each end one line; in quotes they are kept as they are.
    ++m_line;
    if (field)
        field->append(c);
    if (c == QLatin1Char('\r') && !atEnd() && m_text.at(m_pos) == QLatin1Char('\n')) {
        ++m_pos;
        if (field)
            field->append(QLatin1Char('\n'));
    }
}

void CsvReader::takeRun(QString *field, qsizetype end, bool quoted)
{
    field->append(QStringView(m_text).mid(m_pos, end - m_pos));
    m_pos = end;
    if (field->size() <= kLongestField)
        return;
    if (quoted)
        throw Refusal(QStringLiteral("第 %1 行的引号没有配对（引号里的内容超过一百万个字）。").arg(m_recordLine));
    throw Refusal(QStringLiteral("第 %1 行有一栏超过一百万个字，这不是商品表，没有导入。").arg(m_recordLine));
}

bool CsvReader::next(QStringList *fields)
{
    fields->clear();
    m_quoted.clear();
    if (atEnd())
        return false;
    m_recordLine = m_line;

    enum class State { FieldStart, Plain, Quoted, QuoteInQuoted };
    State state = State::FieldStart;
    QString field;
    bool quoted = false;
    const auto endField = [&] {
        if (fields->size() >= kMostFields)
            throw Refusal(
                QStringLiteral("第 %1 行超过 %2 栏，这不是商品表，没有导入。").arg(m_recordLine).arg(kMostFields));
        fields->append(field);
        m_quoted.append(quoted);
        field.clear();
        quoted = false;
    };
    const QChar quote = QLatin1Char('"');
    for (;;) {
        if (atEnd()) {
            if (state == State::Quoted)
                throw Refusal(QStringLiteral("第 %1 行的引号没有配对，文件读到末尾也没有找到结束的引号。").arg(m_recordLine));
            endField();
            return true;
        }
        // Runs of plain characters are taken whole; the buffer may move at
        // each atEnd(), so it is looked at afresh each time round.
        const QChar *text = m_text.constData();
        const qsizetype size = m_text.size();
        const auto isLineBreak = [](QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); };
        switch (state) {
        case State::FieldStart:
            if (text[m_pos] == quote) {
                ++m_pos;
                state = State::Quoted;
                quoted = true;
                break;
            }
            state = State::Plain;
            [[fallthrough]];
        case State::Plain: {
            // Text after a closing quote is kept, as spreadsheets do.
            qsizetype end = m_pos;
            while (end < size && text[end] != m_separator && !isLineBreak(text[end]))
                ++end;
            takeRun(&field, end, quoted);
            if (m_pos == size)
                break;
            const QChar c = text[m_pos++];
            if (c == m_separator) {
                endField();
                state = State::FieldStart;
                break;
            }
            takeLineBreak(c, nullptr);
            endField();
            return true;
        }
        case State::Quoted: {
            qsizetype end = m_pos;
            while (end < size && text[end] != quote && !isLineBreak(text[end]))
                ++end;
            takeRun(&field, end, true);
            if (m_pos == size)
                break;
            const QChar c = text[m_pos++];
            if (c == quote)
                state = State::QuoteInQuoted;
            else
                takeLineBreak(c, &field);
            break;
        }
        case State::QuoteInQuoted:
            if (text[m_pos] == quote) {
                field += quote;   // "" inside quotes is one quote
                ++m_pos;
                state = State::Quoted;
            } else {
                state = State::Plain;
            }
            break;
        }
    }
}
