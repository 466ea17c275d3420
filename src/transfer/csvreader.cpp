#include "csvreader.h"

#include "base/apperror.h"

#include <QIODevice>

#include <array>
#include <cstring>

namespace {

constexpr qint64 kPiece = 64 * 1024;
// A quoted field longer than this is a quote that was never closed: the
// reader stops rather than hold the rest of the file.
constexpr qsizetype kLongestField = 1024 * 1024;

const QString kEmpty = QStringLiteral("文件是空的，没有可导入的内容。");
const QString kSpreadsheet = QStringLiteral("这是表格程序自己的文件（xlsx/xls），不是 CSV 文本：请在表格程序里用“另存为”"
                                            "保存成 CSV 文件，再导入。");
const QString kNotText = QStringLiteral("这不是文本（CSV）文件，无法导入。");

// UTF-8 checked piece by piece; `need` carries the continuation bytes a
// character split between two pieces still owes.
bool validUtf8(const uchar *p, qsizetype n, int &need)
{
    qsizetype i = 0;
    while (i < n) {
        if (need == 0) {
            // Plain ASCII eight bytes at a time.
            while (i + 8 <= n) {
                quint64 word;
                std::memcpy(&word, p + i, 8);
                if (word & 0x8080808080808080ULL)
                    break;
                i += 8;
            }
            if (i >= n)
                break;
        }
        const uchar c = p[i++];
        if (need > 0) {
            if ((c & 0xC0) != 0x80)
                return false;
            --need;
        } else if (c >= 0x80) {
            if (c >= 0xC2 && c <= 0xDF)
                need = 1;
            else if (c >= 0xE0 && c <= 0xEF)
                need = 2;
            else if (c >= 0xF0 && c <= 0xF4)
                need = 3;
            else
                return false;
        }
    }
    return true;
}

// The whole device is UTF-8 (a device that cannot go back: its start is).
bool isUtf8(QIODevice &device, const QByteArray &start)
{
    int need = 0;
    if (device.isSequential())
        return validUtf8(reinterpret_cast<const uchar *>(start.constData()), start.size(), need);
    device.seek(0);
    QByteArray piece(kPiece, Qt::Uninitialized);
    for (;;) {
        const qint64 got = device.read(piece.data(), kPiece);
        if (got < 0)
            throw FileError(device.errorString());
        if (got == 0)
            return need == 0;
        if (!validUtf8(reinterpret_cast<const uchar *>(piece.constData()), got, need))
            return false;
    }
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
    if (format.encoding == TextDecoder::Encoding::Utf8) {
        // Text never holds a NUL; most other files do early on.
        if (start.contains('\0'))
            throw Refusal(kNotText);
        if (format.bomSize == 0) {
            if (isUtf8(device, start)) {
                format.encodingName = QStringLiteral("UTF-8");
            } else {
                format.encoding = TextDecoder::Encoding::Gb18030;
                format.encodingName = hasFourByteCharacters(start) ? QStringLiteral("GB18030") : QStringLiteral("GBK");
            }
        }
    }
    if (!device.isSequential())
        device.seek(0);

    TextDecoder decoder(format.encoding);
    QString text;
    decoder.decode(start.constData() + format.bomSize, start.size() - format.bomSize, &text);
    if (text.trimmed().isEmpty())
        throw Refusal(kEmpty);
    // Control characters other than tabs and line breaks are no part of a list of products.
    qsizetype control = 0;
    for (const QChar c : text)
        control += c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r');
    if (control * 100 > text.size())
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

void CsvReader::takeLineBreak(QChar c)
{
    // CR LF, LF and a lone CR each end one line.
    ++m_line;
    if (c == QLatin1Char('\r') && !atEnd() && m_text.at(m_pos) == QLatin1Char('\n'))
        ++m_pos;
}

bool CsvReader::next(QStringList *fields)
{
    fields->clear();
    if (atEnd())
        return false;
    m_recordLine = m_line;

    enum class State { FieldStart, Plain, Quoted, QuoteInQuoted };
    State state = State::FieldStart;
    QString field;
    for (;;) {
        if (atEnd()) {
            if (state == State::Quoted)
                throw Refusal(QStringLiteral("第 %1 行的引号没有配对，文件读到末尾也没有找到结束的引号。").arg(m_recordLine));
            fields->append(field);
            return true;
        }
        const QChar c = m_text.at(m_pos++);
        const bool lineBreak = c == QLatin1Char('\n') || c == QLatin1Char('\r');
        switch (state) {
        case State::FieldStart:
            if (c == QLatin1Char('"')) {
                state = State::Quoted;
                break;
            }
            state = State::Plain;
            [[fallthrough]];
        case State::Plain:
        case State::QuoteInQuoted:
            if (state == State::QuoteInQuoted && c == QLatin1Char('"')) {
                field += c;   // "" inside quotes is one quote
                state = State::Quoted;
            } else if (c == m_separator) {
                fields->append(field);
                field.clear();
                state = State::FieldStart;
            } else if (lineBreak) {
                takeLineBreak(c);
                fields->append(field);
                return true;
            } else {
                // Text after a closing quote is kept, as spreadsheets do.
                field += c;
                state = State::Plain;
            }
            break;
        case State::Quoted:
            if (c == QLatin1Char('"')) {
                state = State::QuoteInQuoted;
            } else if (lineBreak) {
                takeLineBreak(c);
                field += QLatin1Char('\n');
            } else {
                field += c;
            }
            if (field.size() > kLongestField)
                throw Refusal(QStringLiteral("第 %1 行的引号没有配对（引号里的内容超过一百万个字）。").arg(m_recordLine));
            break;
        }
    }
}
