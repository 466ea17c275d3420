#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>

// One of glibc's iconv conversions, open for the life of the object: the one
// place where the text codecs reach the system's converters.
class IconvConverter final
{
    Q_DISABLE_COPY_MOVE(IconvConverter)

public:
    // Why a conversion stopped: all of the input was taken, a byte sequence
    // is no character, the input ends inside a character, no room is left.
    enum class Stop { Done, NotACharacter, Incomplete, OutputFull };

    // to, from: iconv's names ("GB18030", "UTF-8" …).
    IconvConverter(const char *to, const char *from);
    ~IconvConverter();

    // False when the system has no such conversion.
    bool isOpen() const;

    // Converts as much of the input as it can into the output, moving both
    // on, and says why it stopped. The state carries over between calls.
    Stop convert(const char *&in, size_t &inLeft, char *&out, size_t &outLeft);

    // One short piece (a character or two) as a whole, from a fresh state:
    // its conversion is appended to output. False, with nothing appended,
    // when any of it does not convert.
    bool convertWhole(QByteArrayView input, QByteArray *output);

private:
    void *m_handle;
};
