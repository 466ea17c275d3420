#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The spellings a product name is found by when typed in pinyin: the
// initials of its characters ("kkkl330ml" for 可口可乐330ml) and its full
// pinyin ("kekoukele330ml"), for every reading of a character that has more
// than one (银行: "yh" and "yx"). Letters and digits in the name stand for
// themselves, in lower case; other characters are left out.
class PinyinKeys final
{
public:
    enum class Kind { Initials = 1, Full = 2 };
    struct Spelling
    {
        Kind kind;
        QString text;
        bool operator==(const Spelling &) const = default;
    };

    // A name with many polyphones has many spellings: past this many of a
    // kind the rarer readings of the later characters are dropped.
    static constexpr int kMostOfAKind = 16;

    // Every spelling of the name, initials first, each once; none for a name
    // with no letter, digit or Han character.
    static QList<Spelling> of(const QString &name);

    // The typed text as the spellings are compared with: lower case; empty
    // when it holds anything but ASCII letters and digits (a name, a blank
    // or a pattern: not pinyin).
    static QString typed(const QString &text);

    // The readings of one character, the common one first; empty when it has none.
    static QStringList readings(char32_t character);
};
