#include "csvwriter.h"

#include "base/apperror.h"
#include "base/diskfull.h"
#include "base/filemodes.h"
#include "base/numbertext.h"
#include "transfer/csvtarget.h"

namespace {

constexpr qsizetype kFlushAt = 256 * 1024;

QString cannotWrite(const QString &path, const QString &reason)
{
    return QStringLiteral("无法写入文件 %1：%2").arg(path, reason);
}

// A text a spreadsheet program would run as a formula (=, +, -, @ first)
// gets a quote before it, which the spreadsheet shows as text and the
// product import takes off again. Numbers ("-5") and the code "-" stay. A
// text that already begins with quotes before such a sign gets one more,
// so that taking one off gives it back as it was.
QString spreadsheetSafe(const QString &text)
{
    static const QString kFormulaStarts = QStringLiteral("=+-@");
    qsizetype quotes = 0;
    while (quotes < text.size() && text.at(quotes) == QLatin1Char('\''))
        ++quotes;
    if (quotes == text.size() || !kFormulaStarts.contains(text.at(quotes)))
        return text;
    if (quotes == 0) {
        double number = 0;
        if (text.size() < 2 || tryTextToNumber(text, &number))
            return text;
    }
    return QLatin1Char('\'') + text;
}

bool needsQuotes(const QString &field)
{
    if (field.isEmpty())
        return false;
    if (field.front().isSpace() || field.back().isSpace())
        return true;
    for (const QChar c : field) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n') || c == QLatin1Char('\r')
            || c == QLatin1Char(';') || c == QLatin1Char('\t'))
            return true;
    }
    return false;
}

} // namespace

CsvWriter::CsvWriter(const QString &path)
    : m_file(path)
{
    CsvTarget::refuseDatabase(path);
    if (!m_file.open(QIODevice::WriteOnly))
        throw FileError(cannotWrite(path, m_file.errorString()));
    // Sales and catalogues are the shop's own: owner-only, or as strict as the file replaced.
    m_file.setPermissions(FileModes::ownerOnly(path));
    m_buffer = "\xEF\xBB\xBF";
}

void CsvWriter::writeRow(const QStringList &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            m_buffer += ',';
        const QString field = spreadsheetSafe(fields[i]);
        if (needsQuotes(field)) {
            QString quoted = field;
            quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            m_buffer += '"';
            m_buffer += quoted.toUtf8();
            m_buffer += '"';
        } else {
            m_buffer += field.toUtf8();
        }
    }
    m_buffer += "\r\n";
    if (m_buffer.size() >= kFlushAt)
        flush();
}

void CsvWriter::flush()
{
    if (m_writeError.isEmpty() && m_file.write(m_buffer) != m_buffer.size()) {
        m_writeError = m_file.errorString();
        m_file.cancelWriting();
    }
    m_buffer.clear();
}

void CsvWriter::commit()
{
    flush();
    if (m_writeError.isEmpty() && !m_file.commit())
        m_writeError = m_file.errorString();
    if (m_writeError.isEmpty())
        return;
    if (DiskFull::explains(m_writeError))
        throw FileError(DiskFull::message(m_file.fileName()));
    throw FileError(cannotWrite(m_file.fileName(), m_writeError));
}
