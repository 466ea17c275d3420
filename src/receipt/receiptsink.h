#pragma once

#include "base/textcodec.h"
#include "receipt/receiptdata.h"

#include <QList>

// Where the lines of one receipt copy go: one call is one print job. Throws
// PrinterError (or another AppError) when the copy could not be printed.
class ReceiptSink
{
public:
    virtual ~ReceiptSink() = default;
    virtual void print(const QList<ReceiptLine> &lines) = 0;
    // The code page the lines are sent in; their columns are laid out in its bytes.
    virtual TextEncoding encoding() const { return TextEncoding::Gbk; }
};
