#pragma once

#include <QByteArray>
#include <QString>

// Receipt text travels in GBK (code page 936): an ASCII character is one
// byte, every other character two. Widths on the receipt are counted in
// these bytes, so everything that measures or cuts receipt text goes
// through here.
class GbkCodec final
{
public:
    GbkCodec() = delete;

    // The byte written for a character GBK has no code for.
    static constexpr char Unencodable = '?';

    // Text to GBK bytes. A character without a two-byte GBK code (an emoji,
    // an accented Latin letter outside GBK, the euro sign, which GBK would
    // squeeze into one byte) becomes a single "?", so every byte at or above
    // 0x80 is always half of a two-byte character.
    static QByteArray encode(const QString &text);

    // GBK bytes back to text. A byte that does not start a valid character
    // becomes U+FFFD.
    static QString decode(const QByteArray &gbk);

    // Width of the text in GBK bytes, the unit of every receipt column.
    static qsizetype byteLength(const QString &text);

    // Length in bytes (1 or 2) of the character that starts at pos.
    static int characterLength(const QByteArray &gbk, qsizetype pos);
};
