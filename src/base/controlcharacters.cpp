#include "controlcharacters.h"

#include <algorithm>

namespace {

QString without(const QString &text, bool keepLayout)
{
    // Nearly all text holds none: it is handed back as it is, uncopied.
    if (std::none_of(text.cbegin(), text.cend(), ControlCharacters::isControl))
        return text;
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const bool layout = c == u'\n' || c == u'\r' || c == u'\t' || c == u'\f';
        if (!ControlCharacters::isControl(c) || (keepLayout && layout))
            out.append(c);
    }
    return out;
}

} // namespace

namespace ControlCharacters {

bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

QString removed(const QString &text)
{
    return without(text, false);
}

QString removedExceptLayout(const QString &text)
{
    return without(text, true);
}

} // namespace ControlCharacters
