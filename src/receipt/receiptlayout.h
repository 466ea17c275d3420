#pragma once

#include "base/textcodec.h"
#include "receipt/receiptdata.h"

#include <QList>
#include <QString>

// Composes the lines of one receipt. Item columns are made of blanks counted
// in GBK bytes, so they line up under the header on a printer face that
// gives a Chinese character twice the width of an ASCII one.
class ReceiptLayout final
{
public:
    ReceiptLayout() = delete;

    static constexpr int TitlePointSize = 12;
    static constexpr int BodyPointSize = 10;
    // A line of this size is no text: its one write is the receipt number,
    // printed as a CODE128 barcode for the return window's scanner.
    static constexpr int BarcodePointSize = 0;
    // Bytes of a product name that are printed; the rest is cut off.
    static constexpr int NameBytes = 16;

    // Every line of the receipt, in print order. Columns are counted in
    // bytes of the encoding the receipt is sent in. Control characters of the
    // input are left out; the remark keeps its line ends, tabs and form
    // feeds, which the printer text device lays out itself.
    static QList<ReceiptLine> lines(const ReceiptInput &input, ReceiptCopy copy,
                                    TextEncoding encoding = TextEncoding::Gbk);

    // A receipt printed again from the sales record: the first copy's lines
    // with the reprint mark under the title.
    // One print job a copy: the first copy, and the second when two are asked for.
    static QList<QList<ReceiptLine>> copies(const ReceiptInput &input, int count, TextEncoding encoding);
    static QList<ReceiptLine> reprintLines(const ReceiptInput &input, TextEncoding encoding = TextEncoding::Gbk);
    static QString reprintMark();
    // A return's paper (退货单): the receipt's lines with its title and the
    // sold receipt's number (none: returned without a receipt).
    static QList<ReceiptLine> returnLines(const ReceiptInput &input, const QString &soldReceipt,
                                          TextEncoding encoding = TextEncoding::Gbk);

    // One blank followed by n more when n is 1 or more; a single blank
    // otherwise. Never empty.
    static QString padSpaces(int n);

    static QString separator();
    // The feed that ends every printed document, so its last line clears the
    // cutter: three lines ". ", one ".", two of one blank.
    static QList<ReceiptLine> feedLines();
    // A line at the body size.
    static ReceiptLine bodyLine(const QString &text);
    static ReceiptLine barcodeLine(const QString &data);
    // The shop's name at the title size, as every printed document starts.
    static ReceiptLine titleLine(const QString &shopName);
    static QString columnHeader(ReceiptCopy copy);

    // The name part of an item line: the first 16 bytes of the name (a
    // two-byte character the cut would split is left out) and blanks up to
    // the name column, 17 bytes in the first copy and 18 in the second.
    static QString namePart(const QString &name, ReceiptCopy copy, TextEncoding encoding = TextEncoding::Gbk);

    // The quantity, never cut, followed by blanks up to 5 bytes, or by one
    // blank when it is 5 bytes or longer.
    static QString quantityPart(const QString &quantity, TextEncoding encoding = TextEncoding::Gbk);
};
