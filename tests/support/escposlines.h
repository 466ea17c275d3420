#pragma once

#include "base/textcodec.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// The text bytes of each line of an ESC/POS stream: the commands this
// program sends are taken out, LF ends a line. Anything else unexpected
// clears *ok.
inline QList<QByteArray> printedLineBytes(const QByteArray &stream, bool *ok)
{
    *ok = true;
    QList<QByteArray> lines;
    QByteArray line;
    for (qsizetype i = 0; i < stream.size();) {
        const char byte = stream[i];
        const char next = i + 1 < stream.size() ? stream[i + 1] : 0;
        if (byte == 0x1B && (next == '@' || next == '2')) {
            i += 2;
        } else if (byte == 0x1B && next == '3') {
            i += 3;
        } else if (byte == 0x1C && next == '&') {
            i += 2;
        } else if ((byte == 0x1C || byte == 0x1D) && next == '!') {
            i += 3;
        } else if ((byte == 0x1B && next == 'a') || (byte == 0x1D && (next == 'h' || next == 'w' || next == 'H'))) {
            i += 3;
        } else if (byte == 0x1D && next == 'k' && i + 3 < stream.size()) {
            // A barcode block: printedBarcodes() reads it.
            i += 4 + uchar(stream[i + 3]);
        } else if (byte == 0x1D && next == 'V') {
            i += 4;
        } else if (byte == '\n') {
            lines.append(line);
            line.clear();
            ++i;
        } else if (uchar(byte) < 0x20) {
            *ok = false;
            return lines;
        } else {
            line += byte;
            ++i;
        }
    }
    if (!line.isEmpty())
        *ok = false;
    return lines;
}

// The same lines read as GBK text.
inline QStringList printedLines(const QByteArray &stream, bool *ok)
{
    QStringList lines;
    for (const QByteArray &line : printedLineBytes(stream, ok))
        lines.append(TextCodec(TextEncoding::Gbk).decode(line));
    return lines;
}

// The data of each CODE128 barcode (GS k 73) in the stream, in order, as a
// scanner would read it: the subset B symbols without their "{B" selector.
inline QStringList printedBarcodes(const QByteArray &stream)
{
    QStringList codes;
    for (qsizetype i = 0; i + 3 < stream.size(); ++i) {
        if (stream[i] != 0x1D || stream[i + 1] != 'k' || stream[i + 2] != 73)
            continue;
        const QByteArray symbol = stream.mid(i + 4, uchar(stream[i + 3]));
        if (symbol.startsWith("{B"))
            codes << QString::fromLatin1(symbol.mid(2));
        i += 3 + symbol.size();
    }
    return codes;
}
