#pragma once

#include <QByteArray>
#include <QString>

// The code page receipt text is sent in. GBK gives every Chinese character
// two bytes; GB18030 adds four-byte codes for what GBK lacks (rare
// characters in names, emoji).
enum class TextEncoding { Gbk, Gb18030 };

// Receipt text in the chosen code page. Widths on the receipt are counted in
// these bytes, so everything that measures, cuts or sends receipt text goes
// through one of these. A character the code page has no code for becomes a
// single "?", never a broken byte sequence.
class ReceiptCodec final
{
public:
    explicit ReceiptCodec(TextEncoding encoding = TextEncoding::Gbk);

    TextEncoding encoding() const { return m_encoding; }

    static constexpr char Unencodable = '?';

    QByteArray encode(const QString &text) const;
    // A byte sequence that is no character becomes U+FFFD.
    QString decode(const QByteArray &bytes) const;
    qsizetype byteLength(const QString &text) const;
    // Length in bytes (1, 2 or 4) of the character that starts at pos.
    int characterLength(const QByteArray &bytes, qsizetype pos) const;
    // The longest start of the bytes, at most maxBytes long, that ends on a
    // character boundary.
    QByteArray cut(const QByteArray &bytes, qsizetype maxBytes) const;

private:
    TextEncoding m_encoding;
};
