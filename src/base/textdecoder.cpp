#include "base/textdecoder.h"

#include "base/apperror.h"
#include "base/iconvconverter.h"

#include <QSysInfo>

namespace {

QStringConverter::Encoding qtEncoding(TextDecoder::Encoding encoding)
{
    switch (encoding) {
    case TextDecoder::Encoding::Utf16LE: return QStringConverter::Utf16LE;
    case TextDecoder::Encoding::Utf16BE: return QStringConverter::Utf16BE;
    default: return QStringConverter::Utf8;
    }
}

// iconv writes UTF-16 in the machine's own order straight into a QString.
const char *const kNativeUtf16 = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

} // namespace

TextDecoder::TextDecoder(Encoding encoding)
    : m_encoding(encoding)
    , m_qt(qtEncoding(encoding))
{
    if (m_encoding == Encoding::Gb18030) {
        m_iconv = std::make_unique<IconvConverter>(kNativeUtf16, "GB18030");
        if (!m_iconv->isOpen())
            throw FileError(QStringLiteral("This system cannot read GB18030 text (iconv)"));
    }
}

TextDecoder::~TextDecoder() = default;

void TextDecoder::decode(const char *data, qsizetype size, QString *out)
{
    if (m_encoding != Encoding::Gb18030) {
        out->append(m_qt.decode(QByteArrayView(data, size)));
        return;
    }
    if (m_waiting.isEmpty()) {
        decodeGb18030(QByteArray::fromRawData(data, size), out);
    } else {
        QByteArray joined = m_waiting;
        joined.append(data, size);
        decodeGb18030(joined, out);
    }
}

void TextDecoder::decodeGb18030(const QByteArray &bytes, QString *out)
{
    // Each byte gives at most one UTF-16 unit (a four-byte character gives two).
    const qsizetype start = out->size();
    out->resize(start + bytes.size());
    char16_t *const base = reinterpret_cast<char16_t *>(out->data());
    const char *in = bytes.constData();
    size_t inLeft = size_t(bytes.size());
    char *to = reinterpret_cast<char *>(base + start);
    size_t toLeft = size_t(bytes.size()) * sizeof(char16_t);
    while (inLeft > 0) {
        if (m_iconv->convert(in, inLeft, to, toLeft) != IconvConverter::Stop::NotACharacter)
            break;   // done, or the piece ends inside a character, which waits
        // Not a character: one U+FFFD for the byte, then on with the next.
        *reinterpret_cast<char16_t *>(to) = 0xFFFD;
        to += sizeof(char16_t);
        toLeft -= sizeof(char16_t);
        ++in;
        --inLeft;
    }
    m_waiting = QByteArray(in, qsizetype(inLeft));
    out->resize(reinterpret_cast<char16_t *>(to) - base);
}

void TextDecoder::finish(QString *out)
{
    if (m_encoding != Encoding::Gb18030)
        return;   // the reader checked UTF-8 through; a lone last UTF-16 byte is no character
    if (!m_waiting.isEmpty())
        out->append(QString(m_waiting.size(), QChar::ReplacementCharacter));
    m_waiting.clear();
}
