#include "base/textcodec.h"

#include "base/iconvconverter.h"
#include "base/textdecoder.h"

#include <vector>

namespace {

bool isLeadByte(uchar byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

bool isFourByteSecond(uchar byte)
{
    return byte >= 0x30 && byte <= 0x39;
}

// Both directions of GBK as tables, made once from glibc's GBK converter by
// reading every two-byte code: receipt text is measured and cut character by
// character, so each step must be a lookup, not a converter call. (In glibc
// no two codes name the same character, so the encoding table is exactly the
// reading table turned round.)
class GbkTables final
{
public:
    static const GbkTables &get()
    {
        static const GbkTables tables;
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

    GbkTables()
        : m_toGbk(0x10000, 0)
        , m_fromGbk(0x7E * TrailCount, 0)
    {
        // Without the converter every character other than ASCII prints as "?".
        IconvConverter fromGbk("UCS-4LE", "GBK");
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = FirstTrail; trail <= LastTrail; ++trail) {
                const char pair[2] = {char(lead), char(trail)};
                QByteArray out;
                if (!fromGbk.convertWhole(QByteArrayView(pair, 2), &out) || out.size() != 4)
                    continue;
                const auto byte = [&](int i) { return char32_t(uchar(out[i])); };
                const char32_t c = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
                if (c < 0x80 || c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF))
                    continue;
                m_fromGbk[(lead - 0x81) * TrailCount + (trail - FirstTrail)] = char16_t(c);
                if (m_toGbk[c] == 0)
                    m_toGbk[c] = quint16(lead << 8 | trail);
            }
        }
    }

    std::vector<quint16> m_toGbk;
    std::vector<char16_t> m_fromGbk;
};

// Calls f(code) for each character of the text: its two GBK bytes, or 0 for
// a character that is written as one byte (ASCII as itself, anything GBK
// cannot write as "?").
template<typename F>
void forEachGbkCharacter(const QString &text, F &&f)
{
    const GbkTables &tables = GbkTables::get();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            // Outside the plane GBK covers: one "?" for the pair.
            ++i;
            f(QChar(TextCodec::Unencodable), 0);
            continue;
        }
        if (c.unicode() < 0x80)
            f(c, 0);
        else if (const quint16 code = tables.toGbk(c.unicode()))
            f(c, code);
        else
            f(QChar(TextCodec::Unencodable), 0);
    }
}

QByteArray encodeGbk(const QString &text)
{
    QByteArray result;
    result.reserve(text.size() * 2);
    forEachGbkCharacter(text, [&](QChar single, quint16 code) {
        if (code != 0) {
            result.append(char(code >> 8));
            result.append(char(code & 0xFF));
        } else {
            result.append(char(single.unicode()));
        }
    });
    return result;
}

QString decodeGbk(const QByteArray &gbk, const TextCodec &codec)
{
    const GbkTables &tables = GbkTables::get();
    QString result;
    result.reserve(gbk.size());
    for (qsizetype pos = 0; pos < gbk.size();) {
        const uchar byte = uchar(gbk[pos]);
        if (byte < 0x80) {
            result.append(QChar(byte));
            ++pos;
            continue;
        }
        const int length = codec.characterLength(gbk, pos);
        const char16_t c = length == 2 ? tables.fromGbk(byte, uchar(gbk[pos + 1])) : 0;
        result.append(c != 0 ? QChar(c) : QChar(QChar::ReplacementCharacter));
        pos += length;
    }
    return result;
}

// A well-formed GB18030 code: two bytes, or four with digits second and fourth.
bool isGb18030Character(const QByteArray &code)
{
    const auto byte = [&](int i) { return uchar(code[i]); };
    if (code.size() == 2)
        return isLeadByte(byte(0)) && byte(1) >= 0x40 && byte(1) != 0x7F && byte(1) <= 0xFE;
    if (code.size() == 4)
        return isLeadByte(byte(0)) && isFourByteSecond(byte(1)) && isLeadByte(byte(2)) && isFourByteSecond(byte(3));
    return false;
}

// One character at a time, so that a character iconv refuses costs only itself.
QByteArray encodeGb18030(const QString &text)
{
    QByteArray result;
    result.reserve(text.size() * 2);
    IconvConverter toGb("GB18030", "UTF-8");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            result.append(char(c.unicode()));
            continue;
        }
        // A surrogate without its partner is no character: it would reach
        // iconv as U+FFFD or as garbage, so it is refused here.
        QString character(c);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            character.append(text.at(++i));
        } else if (c.isSurrogate()) {
            result.append(TextCodec::Unencodable);
            continue;
        }
        QByteArray code;
        if (toGb.convertWhole(character.toUtf8(), &code) && isGb18030Character(code))
            result.append(code);
        else
            result.append(TextCodec::Unencodable);
    }
    return result;
}

QString decodeGb18030(const QByteArray &bytes)
{
    TextDecoder decoder(TextDecoder::Encoding::Gb18030);
    QString text;
    decoder.decode(bytes.constData(), bytes.size(), &text);
    decoder.finish(&text);
    return text;
}

} // namespace

TextCodec::TextCodec(TextEncoding encoding)
    : m_encoding(encoding)
{
}

QByteArray TextCodec::encode(const QString &text) const
{
    return m_encoding == TextEncoding::Gbk ? encodeGbk(text) : encodeGb18030(text);
}

QString TextCodec::decode(const QByteArray &bytes) const
{
    return m_encoding == TextEncoding::Gbk ? decodeGbk(bytes, *this) : decodeGb18030(bytes);
}

qsizetype TextCodec::byteLength(const QString &text) const
{
    if (m_encoding == TextEncoding::Gb18030)
        return encode(text).size();
    // GBK counts from its tables without making the bytes: text is measured
    // many times while a line is wrapped.
    qsizetype length = 0;
    forEachGbkCharacter(text, [&](QChar, quint16 code) { length += code != 0 ? 2 : 1; });
    return length;
}

int TextCodec::characterLength(const QByteArray &bytes, qsizetype pos) const
{
    if (pos + 1 >= bytes.size() || !isLeadByte(uchar(bytes[pos])))
        return 1;
    if (m_encoding == TextEncoding::Gb18030 && isFourByteSecond(uchar(bytes[pos + 1])))
        return pos + 3 < bytes.size() ? 4 : 1;
    return 2;
}

QByteArray TextCodec::cut(const QByteArray &bytes, qsizetype maxBytes) const
{
    qsizetype end = 0;
    while (end < bytes.size()) {
        const int length = characterLength(bytes, end);
        if (end + length > maxBytes)
            break;
        end += length;
    }
    return bytes.left(end);
}
