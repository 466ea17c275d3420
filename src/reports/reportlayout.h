#pragma once

#include "reports/reportfigures.h"
#include "receipt/receiptdata.h"

#include <QList>
#include <QString>

// The X and Z reports on the receipt printer, by the receipt's own rules: the
// title at 12 points, labels with a colon and no blank, the dotted separator,
// and the columns of the item lines (names cut at 16 GBK bytes, blanks
// counted in bytes) for the cashiers and the best sellers.
class ReportLayout final
{
public:
    ReportLayout() = delete;

    enum class Kind { X, Z };

    struct Heading
    {
        Kind kind = Kind::X;
        QString shopName;
        QString printedAt;         // "yyyy-MM-dd HH:mm"
        // A Z report only:
        int closingNumber = 0;
        QString previousClosing;   // "No.2 2026-12-07 21:30"; empty for the first
        QString counted;           // cash counted in the drawer
        QString difference;        // counted less the cash expected in the drawer
    };

    // Best sellers by takings on the paper (the window and the files list more).
    static constexpr int TopLines = 10;

    static QList<ReceiptLine> lines(const ReportFigures &figures, const Heading &heading);

    static QString cashierHeader();
};
