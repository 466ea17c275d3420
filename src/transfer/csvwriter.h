#pragma once

#include <QSaveFile>
#include <QString>
#include <QStringList>

// Writes a CSV file a Chinese-language spreadsheet program opens without
// garbling: UTF-8 with a byte order mark, CR LF between records, fields
// quoted where they hold a separator, a quote, a line break or blanks at an
// end; a text that would start a formula gets a ' before it. The file
// appears only when commit() succeeds: until then the rows go to a temporary
// file beside it, and an existing file stays as it was. The file is its
// owner's only; a database file is never written over.
class CsvWriter final
{
    Q_DISABLE_COPY_MOVE(CsvWriter)

public:
    // Throws FileError when the file cannot be made, Refusal for a database file.
    explicit CsvWriter(const QString &path);

    void writeRow(const QStringList &fields);
    // Throws FileError when the rows could not all be written (a full disk says so).
    void commit();

private:
    void flush();

    QSaveFile m_file;
    QByteArray m_buffer;
    QString m_writeError;
};
