#include "base/gbkcodec.h"

#include <iconv.h>

#include <vector>

namespace {

bool isLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

// Both directions of the code page as tables, made once from glibc's GBK
// converter by reading every two-byte code: receipt text is measured and cut
// character by character, so each step must be a lookup, not a converter
// call. (In glibc no two codes name the same character, so the encoding
// table is exactly the reading table turned round.)
class CodeTables final
{
public:
    static const CodeTables &get()
    {
        static const CodeTables tables;
        return tables;
    }

    // The two bytes for a character, or 0 when GBK has no two-byte code.
    quint16 toGbk(char16_t c) const { return m_toGbk[c]; }
    // The character of a two-byte code, or 0 when it names none.
    char16_t fromGbk(uchar lead, uchar trail) const
    {
        if (!isLeadByte(lead) || trail < FirstTrail || trail == 0x7F || trail > LastTrail)
            return 0;
        return m_fromGbk[(lead - 0x81) * TrailCount + (trail - FirstTrail)];
    }

private:
    static constexpr uchar FirstTrail = 0x40;
    static constexpr uchar LastTrail = 0xFE;
    static constexpr int TrailCount = LastTrail - FirstTrail + 1;

    CodeTables()
        : m_toGbk(0x10000, 0)
        , m_fromGbk(0x7E * TrailCount, 0)
    {
        const iconv_t fromGbk = iconv_open("UCS-4LE", "GBK");
        if (fromGbk == reinterpret_cast<iconv_t>(-1))
            return;   // no converter: every character other than ASCII prints as "?"
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = FirstTrail; trail <= LastTrail; ++trail) {
                char pair[2] = {char(lead), char(trail)};
                unsigned char out[4] = {};
                char *in = pair;
                char *outPtr = reinterpret_cast<char *>(out);
                size_t inLeft = 2;
                size_t outLeft = 4;
                iconv(fromGbk, nullptr, nullptr, nullptr, nullptr);
                if (iconv(fromGbk, &in, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0 || outLeft != 0)
                    continue;
                const char32_t c = char32_t(out[0]) | char32_t(out[1]) << 8 | char32_t(out[2]) << 16
                                   | char32_t(out[3]) << 24;
                if (c < 0x80 || c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF))
                    continue;
                m_fromGbk[(lead - 0x81) * TrailCount + (trail - FirstTrail)] = char16_t(c);
                if (m_toGbk[c] == 0)
                    m_toGbk[c] = quint16(lead << 8 | trail);
            }
        }
        iconv_close(fromGbk);
    }

    std::vector<quint16> m_toGbk;
    std::vector<char16_t> m_fromGbk;
};

// Calls f(code) for each character of the text: its two GBK bytes, or 0 for
// a character that is written as one byte (ASCII as itself, anything GBK
// cannot write as "?").
template<typename F>
void forEachCharacter(const QString &text, F &&f)
{
    const CodeTables &tables = CodeTables::get();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            // Outside the plane GBK covers: one "?" for the pair.
            ++i;
            f(QChar(GbkCodec::Unencodable), 0);
            continue;
        }
        if (c.unicode() < 0x80)
            f(c, 0);
        else if (const quint16 code = tables.toGbk(c.unicode()))
            f(c, code);
        else
            f(QChar(GbkCodec::Unencodable), 0);
    }
}

} // namespace

QByteArray GbkCodec::encode(const QString &text)
{
    QByteArray result;
    result.reserve(text.size() * 2);
    forEachCharacter(text, [&](QChar single, quint16 code) {
        if (code != 0) {
            result.append(char(code >> 8));
            result.append(char(code & 0xFF));
        } else {
            result.append(char(single.unicode()));
        }
    });
    return result;
}

QString GbkCodec::decode(const QByteArray &gbk)
{
    const CodeTables &tables = CodeTables::get();
    QString result;
    result.reserve(gbk.size());
    for (qsizetype pos = 0; pos < gbk.size();) {
        const uchar byte = uchar(gbk[pos]);
        if (byte < 0x80) {
            result.append(QChar(byte));
            ++pos;
            continue;
        }
        const int length = characterLength(gbk, pos);
        const char16_t c = length == 2 ? tables.fromGbk(byte, uchar(gbk[pos + 1])) : 0;
        result.append(c != 0 ? QChar(c) : QChar(QChar::ReplacementCharacter));
        pos += length;
    }
    return result;
}

qsizetype GbkCodec::byteLength(const QString &text)
{
    qsizetype length = 0;
    forEachCharacter(text, [&](QChar, quint16 code) { length += code != 0 ? 2 : 1; });
    return length;
}


int GbkCodec::characterLength(const QByteArray &gbk, qsizetype pos)
{
    if (pos + 1 < gbk.size() && isLeadByte(uchar(gbk[pos])))
        return 2;
    return 1;
}
