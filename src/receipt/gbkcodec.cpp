#include "receipt/gbkcodec.h"

#include <QList>

#include <iconv.h>

#include <cstring>

namespace {

bool isLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

// One iconv conversion handle, closed when it goes out of scope.
class IconvHandle final
{
public:
    IconvHandle(const char *to, const char *from)
        : m_handle(iconv_open(to, from))
    {
    }
    ~IconvHandle()
    {
        if (valid())
            iconv_close(m_handle);
    }
    IconvHandle(const IconvHandle &) = delete;
    IconvHandle &operator=(const IconvHandle &) = delete;

    bool valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input; false when iconv refuses any of it.
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

} // namespace

QByteArray GbkCodec::encode(const QString &text)
{
    QByteArray result;
    result.reserve(text.size() * 2);
    IconvHandle toGbk("GBK", "UTF-8");
    const QList<uint> codePoints = text.toUcs4();
    for (const uint codePoint : codePoints) {
        if (codePoint < 0x80) {
            result.append(char(codePoint));
            continue;
        }
        const QByteArray utf8 = QString::fromUcs4(reinterpret_cast<const char32_t *>(&codePoint), 1).toUtf8();
        QByteArray gbk;
        if (toGbk.convert(utf8, &gbk) && gbk.size() == 2 && isLeadByte(uchar(gbk[0])))
            result.append(gbk);
        else
            result.append(Unencodable);
    }
    return result;
}

QString GbkCodec::decode(const QByteArray &gbk)
{
    QString result;
    result.reserve(gbk.size());
    IconvHandle fromGbk("UTF-8", "GBK");
    for (qsizetype pos = 0; pos < gbk.size();) {
        const uchar byte = uchar(gbk[pos]);
        if (byte < 0x80) {
            result.append(QChar(byte));
            ++pos;
            continue;
        }
        const int length = characterLength(gbk, pos);
        QByteArray utf8;
        if (length == 2 && fromGbk.convert(gbk.mid(pos, 2), &utf8))
            result.append(QString::fromUtf8(utf8));
        else
            result.append(QChar::ReplacementCharacter);
        pos += length;
    }
    return result;
}

qsizetype GbkCodec::byteLength(const QString &text)
{
    return encode(text).size();
}

int GbkCodec::characterLength(const QByteArray &gbk, qsizetype pos)
{
    if (pos + 1 < gbk.size() && isLeadByte(uchar(gbk[pos])))
        return 2;
    return 1;
}

QByteArray GbkCodec::cut(const QByteArray &gbk, qsizetype maxBytes)
{
    qsizetype end = 0;
    while (end < gbk.size()) {
        const int length = characterLength(gbk, end);
        if (end + length > maxBytes)
            break;
        end += length;
    }
    return gbk.left(end);
}
