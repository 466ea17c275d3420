#pragma once

#include <QList>
#include <QString>

// A receipt number as a CODE128 barcode (subset B: printable ASCII), so a
// scanner at the return window reads it back. The symbol is given as the
// widths of its bars and spaces in modules, a bar first, start, check and
// stop symbols included; a quiet zone of ten modules belongs on each side.
class Code128 final
{
public:
    Code128() = delete;

    // Whether every character of the text has a place in subset B.
    static bool encodes(const QString &text);
    // Bar and space widths, or none for text that is empty or not encodable.
    static QList<int> widths(const QString &text);
    // The check symbol's value for the text.
    static int checkValue(const QString &text);
};
