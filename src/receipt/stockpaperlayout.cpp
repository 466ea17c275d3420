#include "stockpaperlayout.h"

#include "base/controlcharacters.h"
#include "receipt/receiptlayout.h"

QList<ReceiptLine> StockPaperLayout::lines(const StockPaper &paper, const QString &shopName, TextEncoding encoding)
{
    // A supplier's name or a shelf note is typed text: a control character
    // in it would be sent to the printer as a command.
    auto clean = [](const QString &text) { return ControlCharacters::removed(text); };
    QList<ReceiptLine> result;
    result.append(ReceiptLayout::titleLine(clean(shopName)));
    result.append(ReceiptLayout::bodyLine(clean(paper.title)));
    for (const QString &line : paper.heading)
        result.append(ReceiptLayout::bodyLine(clean(line)));
    result.append(ReceiptLayout::bodyLine(ReceiptLayout::separator()));
    result.append(ReceiptLayout::bodyLine(paper.columns));
    for (const ReceiptSaleLine &line : paper.lines)
        result.append(ReceiptLine{QStringList{ReceiptLayout::namePart(clean(line.name), ReceiptCopy::First, encoding),
                                              ReceiptLayout::quantityPart(line.quantity, encoding), line.amount},
                                  ReceiptLayout::BodyPointSize});
    result.append(ReceiptLayout::bodyLine(ReceiptLayout::separator()));
    for (const QString &line : paper.footing)
        result.append(ReceiptLayout::bodyLine(clean(line)));
    // Its last line clears the cutter, as a receipt's does.
    result.append(ReceiptLayout::feedLines());
    return result;
}
