#pragma once

#include "base/textdecoder.h"

#include <QChar>
#include <QString>
#include <QStringList>

class QIODevice;

// How a CSV file is written: its encoding and the character between fields.
struct CsvFormat
{
    TextDecoder::Encoding encoding = TextDecoder::Encoding::Utf8;
    QString encodingName;     // as the shop reads it: "UTF-8", "UTF-8 (BOM)", "GBK", "GB18030", "UTF-16"
    int bomSize = 0;          // bytes of the byte order mark at the start
    QChar separator = QLatin1Char(',');

    QString separatorName() const;   // 逗号, 分号, 制表符
};

// Reads records from a CSV file one at a time (RFC 4180: fields in double
// quotes may hold separators, doubled quotes and line breaks), holding no
// more of the file than a buffer. Fields come back as they stand, untrimmed.
class CsvReader final
{
    Q_DISABLE_COPY_MOVE(CsvReader)

public:
    // Looks at the file for its encoding (UTF-8 with or without BOM, UTF-16
    // with BOM, else GBK/GB18030: a file read from disk whose lines are
    // UTF-8 but for a few counts as UTF-8, and those few are decoded to
    // U+FFFD) and its start for the separator (comma, semicolon or tab), then
    // goes back to the start. Throws Refusal for an empty file, a
    // spreadsheet's own file, one that is plainly no text (many control
    // characters at its start) and one whose lines are mostly neither UTF-8
    // nor GBK/GB18030.
    static CsvFormat detect(QIODevice &device);

    // Reads from the start of the device.
    CsvReader(QIODevice &device, const CsvFormat &format);

    // The next record; false at the end of the file. An empty line is a
    // record of one empty field. Line breaks in quotes are kept as they are.
    // Throws Refusal, naming the line, when a quoted field never ends, a
    // field holds more than a million characters or a row more than 16384
    // fields: memory never grows with a line.
    bool next(QStringList *fields);
    // The line of the file (from 1) on which the last record began.
    qint64 recordLine() const { return m_recordLine; }
    // Whether a field of the last record was in quotes.
    bool wasQuoted(qsizetype field) const { return m_quoted.value(field); }

private:
    bool fill();
    bool atEnd();
    void takeLineBreak(QChar c, QString *field);
    void takeRun(QString *field, qsizetype end, bool quoted);

    QIODevice &m_device;
    QChar m_separator;
    TextDecoder m_decoder;
    QByteArray m_bytes;
    QString m_text;
    qsizetype m_pos = 0;
    bool m_deviceDone = false;
    qint64 m_line = 1;
    qint64 m_recordLine = 0;
    QList<bool> m_quoted;
};
