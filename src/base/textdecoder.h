#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <memory>

class IconvConverter;

// The bytes of a text to text, one piece at a time: a character split
// between two pieces is put together. Chinese spreadsheet programs often save
// GBK; GB18030 contains it, so both go through glibc's GB18030 converter.
class TextDecoder final
{
    Q_DISABLE_COPY_MOVE(TextDecoder)

public:
    enum class Encoding { Utf8, Utf16LE, Utf16BE, Gb18030 };

    // Throws FileError when the system has no GB18030 converter.
    explicit TextDecoder(Encoding encoding);
    ~TextDecoder();

    // Appends the text of the bytes to out. Bytes of a character that is not
    // complete yet wait for the next piece; a byte that starts no character
    // becomes U+FFFD.
    void decode(const char *data, qsizetype size, QString *out);
    // The end of the input: bytes still waiting become U+FFFD.
    void finish(QString *out);

private:
    void decodeGb18030(const QByteArray &bytes, QString *out);

    Encoding m_encoding;
    QStringDecoder m_qt;                       // UTF-8 and UTF-16
    std::unique_ptr<IconvConverter> m_iconv;   // GB18030
    QByteArray m_waiting;
};
