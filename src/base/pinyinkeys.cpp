#include "pinyinkeys.h"

#include "base/pinyintable.h"

#include <QLatin1StringView>
#include <QVarLengthArray>

#include <algorithm>

namespace {

// A character's readings as views of the table's text, the common one first.
using Choice = QVarLengthArray<QLatin1StringView, 4>;

const char kLettersAndDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";

const char *readingsText(char32_t character)
{
    const PinyinTable::Entry *end = PinyinTable::kEntries + PinyinTable::kCount;
    const PinyinTable::Entry *found = std::lower_bound(
        PinyinTable::kEntries, end, character,
        [](const PinyinTable::Entry &entry, char32_t c) { return entry.character < c; });
    return found == end || found->character != character ? nullptr : found->readings;
}

// What a character of a name can be spelled with: a letter or digit itself
// (in lower case), a Han character its readings; nothing for the rest.
Choice choiceOf(char32_t c)
{
    Choice out;
    if (c < 0x80) {
        if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        if (c >= 'a' && c <= 'z')
            out << QLatin1StringView(kLettersAndDigits + (c - 'a'), 1);
        else if (c >= '0' && c <= '9')
            out << QLatin1StringView(kLettersAndDigits + 26 + (c - '0'), 1);
        return out;
    }
    const char *p = readingsText(c);
    if (!p)
        return out;
    while (*p) {
        while (*p == ' ')
            ++p;
        const char *start = p;
        while (*p && *p != ' ')
            ++p;
        if (p > start)
            out << QLatin1StringView(start, p - start);
    }
    return out;
}

// Every way of spelling the choices in turn, common readings first, at most
// kMostOfAKind of them. A character of one reading is added in place.
QStringList spellingsOf(const QList<Choice> &choices, PinyinKeys::Kind kind)
{
    QStringList spellings{QString()};
    for (const Choice &readings : choices) {
        Choice choice;
        if (kind == PinyinKeys::Kind::Initials) {
            for (const QLatin1StringView reading : readings)
                if (!choice.contains(reading.first(1)))
                    choice << reading.first(1);
        } else {
            choice = readings;
        }
        if (choice.size() == 1) {
            for (QString &start : spellings)
                start += choice.first();
            continue;
        }
        QStringList next;
        for (const QString &start : std::as_const(spellings))
            for (const QLatin1StringView reading : choice)
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
    QStringList out;
    for (const QLatin1StringView reading : choiceOf(character))
        out << reading;
    return character < 0x80 ? QStringList() : out;
}

QList<PinyinKeys::Spelling> PinyinKeys::of(const QString &name)
{
    QList<Choice> choices;
    choices.reserve(name.size());
    // Most names have one reading a character: their two spellings are made
    // in place, without the list of every way of spelling them.
    bool oneWay = true;
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t c = name[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(name[i], name[i + 1]);
            ++i;
        }
        if (Choice choice = choiceOf(c); !choice.isEmpty()) {
            oneWay = oneWay && choice.size() == 1;
            choices.append(choice);
        }
    }
    if (choices.isEmpty())
        return {};
    if (oneWay) {
        QString initials;
        QString full;
        initials.reserve(choices.size());
        full.reserve(choices.size() * 4);
        for (const Choice &choice : std::as_const(choices)) {
            initials += choice.first().front();
            full += choice.first();
        }
        return {{Kind::Initials, initials}, {Kind::Full, full}};
    }
    QList<Spelling> out;
    for (const Kind kind : {Kind::Initials, Kind::Full})
        for (const QString &text : spellingsOf(choices, kind))
            out.append({kind, text});
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
