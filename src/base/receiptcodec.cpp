#include "base/receiptcodec.h"

#include "base/gbkcodec.h"

#include <iconv.h>

#include <cstring>

namespace {

bool isLeadByte(uchar byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

bool isFourByteSecond(uchar byte)
{
    return byte >= 0x30 && byte <= 0x39;
}

// A GB18030 conversion, one character at a time, so that a character iconv
// refuses costs only itself.
class Gb18030Converter final
{
public:
    Gb18030Converter(const char *to, const char *from)
        : m_handle(iconv_open(to, from))
    {
    }
    ~Gb18030Converter()
    {
        if (valid())
            iconv_close(m_handle);
    }
    Gb18030Converter(const Gb18030Converter &) = delete;
    Gb18030Converter &operator=(const Gb18030Converter &) = delete;

    bool valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    bool convert(const QByteArray &input, QByteArray *output)
    {
        char in[8];
        char out[16];
        if (!valid() || input.size() > qsizetype(sizeof in))
            return false;
        memcpy(in, input.constData(), size_t(input.size()));
        char *inPtr = in;
        char *outPtr = out;
        size_t inLeft = size_t(input.size());
        size_t outLeft = sizeof out;
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_handle, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0)
            return false;
        output->append(out, qsizetype(outPtr - out));
        return true;
    }

private:
    iconv_t m_handle;
};

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

QByteArray encodeGb18030(const QString &text)
{
    QByteArray result;
    result.reserve(text.size() * 2);
    Gb18030Converter toGb("GB18030", "UTF-8");
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
            result.append(ReceiptCodec::Unencodable);
            continue;
        }
        QByteArray code;
        if (toGb.convert(character.toUtf8(), &code) && isGb18030Character(code))
            result.append(code);
        else
            result.append(ReceiptCodec::Unencodable);
    }
    return result;
}

QString decodeGb18030(const QByteArray &bytes, const ReceiptCodec &codec)
{
    QString result;
    result.reserve(bytes.size());
    Gb18030Converter fromGb("UTF-8", "GB18030");
    for (qsizetype pos = 0; pos < bytes.size();) {
        const uchar byte = uchar(bytes[pos]);
        if (byte < 0x80) {
            result.append(QChar(byte));
            ++pos;
            continue;
        }
        const int length = codec.characterLength(bytes, pos);
        QByteArray utf8;
        if (length > 1 && fromGb.convert(bytes.mid(pos, length), &utf8))
            result.append(QString::fromUtf8(utf8));
        else
            result.append(QChar::ReplacementCharacter);
        pos += length;
    }
    return result;
}

} // namespace

ReceiptCodec::ReceiptCodec(TextEncoding encoding)
    : m_encoding(encoding)
{
}

QByteArray ReceiptCodec::encode(const QString &text) const
{
    if (m_encoding == TextEncoding::Gbk)
        return GbkCodec::encode(text);
    return encodeGb18030(text);
}

QString ReceiptCodec::decode(const QByteArray &bytes) const
{
    if (m_encoding == TextEncoding::Gbk)
        return GbkCodec::decode(bytes);
    return decodeGb18030(bytes, *this);
}

qsizetype ReceiptCodec::byteLength(const QString &text) const
{
    // GBK counts from its tables without making the bytes: text is measured
    // many times while a line is wrapped.
    if (m_encoding == TextEncoding::Gbk)
        return GbkCodec::byteLength(text);
    return encode(text).size();
}

int ReceiptCodec::characterLength(const QByteArray &bytes, qsizetype pos) const
{
    if (m_encoding == TextEncoding::Gbk)
        return GbkCodec::characterLength(bytes, pos);
    if (pos + 1 >= bytes.size() || !isLeadByte(uchar(bytes[pos])))
        return 1;
    if (isFourByteSecond(uchar(bytes[pos + 1])))
        return pos + 3 < bytes.size() ? 4 : 1;
    return 2;
}

QByteArray ReceiptCodec::cut(const QByteArray &bytes, qsizetype maxBytes) const
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
