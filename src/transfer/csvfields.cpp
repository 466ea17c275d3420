#include "csvfields.h"

#include "base/apperror.h"
#include "base/controlcharacters.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace CsvFields {

// Blanks (full-width ones too) and control characters around a field are no
// part of it, as the till ignores them around typed text.
QString trimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    auto blank = [](QChar c) { return c.unicode() <= 0x20 || c.isSpace() || c == QChar(0xFEFF); };
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

// A column title as compared: no blanks, lower case, without a remark in
// brackets ("编码(条形码)" is 编码).
QString titleKey(const QString &title)
{
    static const QRegularExpression remark(QStringLiteral("[(（].*[)）]"));
    QString key = trimmed(title);
    key.remove(remark);
    key.remove(QRegularExpression(QStringLiteral("\\s")));
    return key.toLower();
}


// The export's guard against spreadsheet formulas ('=…) comes off again,
// one quote, whatever the text holds after it.
QString withoutFormulaGuard(const QString &text)
{
    qsizetype quotes = 0;
    while (quotes < text.size() && text.at(quotes) == QLatin1Char('\''))
        ++quotes;
    if (quotes > 0 && quotes < text.size() && QStringLiteral("=+-@").contains(text.at(quotes)))
        return text.mid(1);
    return text;
}

// Control characters other than tabs and line breaks carry nothing a
// catalogue can hold (a NUL, a BEL): they are dropped.
QString withoutStrayControls(const QString &text)
{
    if (std::none_of(text.cbegin(), text.cend(),
                     [](QChar c) { return ControlCharacters::isControl(c) && c != u'\t' && c != u'\n' && c != u'\r'; }))
        return text;
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (!ControlCharacters::isControl(c) || c == u'\t' || c == u'\n' || c == u'\r')
            out.append(c);
    return out;
}

// A field as the catalogue keeps it. In quotes it is taken as it stands
// (an exported name with blanks at its ends comes back with them); without,
// blanks around it are no part of it. A code never holds blanks around it
// nor a control character, as the till looks it up.
QString field(const CsvReader &reader, const QStringList &fields, int column, bool isCode)
{
    if (column < 0 || column >= fields.size())
        return {};
    if (isCode)
        return withoutFormulaGuard(trimmed(ControlCharacters::removed(fields[column])));
    const QString text = reader.wasQuoted(column) ? fields[column] : trimmed(fields[column]);
    return withoutFormulaGuard(withoutStrayControls(text));
}

// A byte sequence that was no character of the file's encoding.
bool undecodable(const QStringList &fields)
{
    return std::any_of(fields.cbegin(), fields.cend(),
                       [](const QString &f) { return f.contains(QChar::ReplacementCharacter); });
}

QString undecodableReason(const CsvFormat &format)
{
    QString encoding = format.encodingName;
    if (format.encoding == TextDecoder::Encoding::Utf8)
        encoding = QStringLiteral("UTF-8");
    else if (format.encoding == TextDecoder::Encoding::Gb18030)
        encoding = QStringLiteral("GBK/GB18030");
    return QStringLiteral("字节不是有效的 %1").arg(encoding);
}

bool allBlank(const QStringList &fields)
{
    for (const QString &f : fields)
        if (!trimmed(f).isEmpty())
            return false;
    return true;
}

QFile *openFile(QFile &file)
{
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("无法打开文件 %1：%2").arg(file.fileName(), file.errorString()));
    return &file;
}

const QStringList &codeTitles()
{
    static const QStringList code{QStringLiteral("编码"), QStringLiteral("条码"), QStringLiteral("条形码"),
                                  QStringLiteral("商品编码"), QStringLiteral("商品条码"), QStringLiteral("barcode"),
                                  QStringLiteral("code")};
    return code;
}

QList<int> columnsByTitle(const QStringList &titleRow, const QList<QStringList> &titlesOfRoles)
{
    QList<int> found(titlesOfRoles.size(), -1);
    for (int column = 0; column < titleRow.size(); ++column) {
        const QString key = titleKey(titleRow[column]);
        for (qsizetype role = 0; role < titlesOfRoles.size(); ++role) {
            if (found[role] < 0 && titlesOfRoles[role].contains(key)) {
                found[role] = column;
                break;
            }
        }
    }
    return found;
}

void refuseUnreadableTitles(const CsvReader &reader, const CsvFormat &format, const QString &columns)
{
    throw Refusal(QStringLiteral("第 %1 行（第一行）的文字认不出来（%2），看不出哪一列是%3，没有导入。"
                                 "请在表格程序里把文件另存为“CSV UTF-8”文件，再导入。")
                      .arg(reader.recordLine())
                      .arg(undecodableReason(format), columns));
}

QStringList firstRow(const QString &path, CsvFormat *format, const QString &columns)
{
    QFile file(path);
    openFile(file);
    *format = CsvReader::detect(file);
    CsvReader reader(file, *format);
    QStringList first;
    // Blank lines before the titles are passed over.
    while (reader.next(&first) && allBlank(first)) {
    }
    // Titles that cannot be read tell nothing of which column is which.
    if (undecodable(first))
        refuseUnreadableTitles(reader, *format, columns);
    return first;
}

} // namespace CsvFields
