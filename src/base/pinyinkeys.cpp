#include "pinyinkeys.h"

#include "base/pinyintable.h"

#include <algorithm>

namespace {

// Each character of the name as the choices it can be spelled with.
QList<QStringList> choicesOf(const QString &name, PinyinKeys::Kind kind)
{
    QList<QStringList> choices;
    for (const char32_t c : name.toUcs4()) {
        if (c < 0x80) {
            if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
                choices.append({QString(QChar(c))});
            else if (c >= 'A' && c <= 'Z')
                choices.append({QString(QChar(c + ('a' - 'A')))});
            continue;
        }
        QStringList readings = PinyinKeys::readings(c);
        if (readings.isEmpty())
            continue;
        if (kind == PinyinKeys::Kind::Initials) {
            for (QString &r : readings)
                r = r.left(1);
            readings.removeDuplicates();
        }
        choices.append(readings);
    }
    return choices;
}

// Every way of spelling the choices in turn, common readings first, at most
// kMostOfAKind of them.
QStringList spellingsOf(const QList<QStringList> &choices)
{
    QStringList spellings{QString()};
    for (const QStringList &choice : choices) {
        QStringList next;
        for (const QString &start : std::as_const(spellings))
            for (const QString &reading : choice)
                if (next.size() < PinyinKeys::kMostOfAKind)
                    next << start + reading;
        spellings = next;
    }
    spellings.removeDuplicates();
    return spellings;
}

} // namespace

QStringList PinyinKeys::readings(char32_t character)
{
    const PinyinTable::Entry *end = PinyinTable::kEntries + PinyinTable::kCount;
    const PinyinTable::Entry *found = std::lower_bound(
        PinyinTable::kEntries, end, character,
        [](const PinyinTable::Entry &entry, char32_t c) { return entry.character < c; });
    if (found == end || found->character != character)
        return {};
    return QString::fromLatin1(found->readings).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QList<PinyinKeys::Spelling> PinyinKeys::of(const QString &name)
{
    QList<Spelling> out;
    for (const Kind kind : {Kind::Initials, Kind::Full}) {
        const QList<QStringList> choices = choicesOf(name, kind);
        if (choices.isEmpty())
            return {};
        for (const QString &text : spellingsOf(choices))
            out.append({kind, text});
    }
    return out;
}

QString PinyinKeys::typed(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80 || !c.isLetterOrNumber())
            return {};
        out += c.toLower();
    }
    return out;
}
