#pragma once

#include "receipt/receiptdata.h"

#include <QList>

// Where the lines of one receipt copy go: one call is one print job. Throws
// PrinterError (or another AppError) when the copy could not be printed.
class ReceiptSink
{
public:
    virtual ~ReceiptSink() = default;
    virtual void print(const QList<ReceiptLine> &lines) = 0;
};
