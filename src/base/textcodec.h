#pragma once

#include <QByteArray>
#include <QString>

// The code page receipt text is sent in. GBK (code page 936) gives an ASCII
// character one byte and every other character two; GB18030 adds four-byte
// codes for what GBK lacks (rare characters in names, emoji).
enum class TextEncoding { Gbk, Gb18030 };

// Receipt text in the chosen code page. Widths on the receipt are counted in
// these bytes, so everything that measures, cuts or sends receipt text goes
// through here. A character the code page has no code for (in GBK an emoji,
// an accented Latin letter, the euro sign, which GBK would squeeze into one
// byte) becomes a single "?", never a broken byte sequence: every byte at or
// above 0x80 is part of a character of its code page.
class TextCodec final
{
public:
    explicit TextCodec(TextEncoding encoding = TextEncoding::Gbk);

    TextEncoding encoding() const { return m_encoding; }

    // The byte written for a character the code page has no code for.
    static constexpr char Unencodable = '?';

    QByteArray encode(const QString &text) const;
    // Bytes back to text; a byte sequence that is no character becomes U+FFFD.
    QString decode(const QByteArray &bytes) const;
    // Width of the text in bytes of the code page, the unit of every receipt column.
    qsizetype byteLength(const QString &text) const;
    // Length in bytes (1, 2 or 4) of the character that starts at pos.
    int characterLength(const QByteArray &bytes, qsizetype pos) const;
    // The longest start of the bytes, at most maxBytes long, that ends on a
    // character boundary.
    QByteArray cut(const QByteArray &bytes, qsizetype maxBytes) const;

private:
    TextEncoding m_encoding;
};
