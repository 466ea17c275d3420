#include "base/iconvconverter.h"

#include <iconv.h>

#include <cerrno>

namespace {

const auto kNotOpen = reinterpret_cast<iconv_t>(-1);

} // namespace

IconvConverter::IconvConverter(const char *to, const char *from)
    : m_handle(iconv_open(to, from))
{
}

IconvConverter::~IconvConverter()
{
    if (isOpen())
        iconv_close(static_cast<iconv_t>(m_handle));
}

bool IconvConverter::isOpen() const
{
    return static_cast<iconv_t>(m_handle) != kNotOpen;
}

IconvConverter::Stop IconvConverter::convert(const char *&in, size_t &inLeft, char *&out, size_t &outLeft)
{
    if (!isOpen())
        return Stop::NotACharacter;
    // iconv never writes through its input pointer; the interface just predates const.
    char *input = const_cast<char *>(in);
    const size_t result = iconv(static_cast<iconv_t>(m_handle), &input, &inLeft, &out, &outLeft);
    in = input;
    if (result != size_t(-1))
        return Stop::Done;
    switch (errno) {
    case EINVAL: return Stop::Incomplete;
    case E2BIG: return Stop::OutputFull;
    default: return Stop::NotACharacter;
    }
}

bool IconvConverter::convertWhole(QByteArrayView input, QByteArray *output)
{
    if (!isOpen())
        return false;
    iconv(static_cast<iconv_t>(m_handle), nullptr, nullptr, nullptr, nullptr);
    char converted[16];
    const char *in = input.data();
    size_t inLeft = size_t(input.size());
    char *out = converted;
    size_t outLeft = sizeof converted;
    if (convert(in, inLeft, out, outLeft) != Stop::Done || inLeft != 0)
        return false;
    output->append(converted, qsizetype(out - converted));
    return true;
}
