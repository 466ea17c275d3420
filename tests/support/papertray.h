#pragma once

#include "receipt/printererror.h"
#include "receipt/receiptsink.h"

#include <QStringList>

// A printer that keeps every job's text, line by line, or refuses every job
// with the given message.
class PaperTray final : public ReceiptSink
{
public:
    void print(const QList<ReceiptLine> &lines) override
    {
        if (!refusal.isEmpty())
            throw PrinterError(refusal);
        QStringList job;
        for (const ReceiptLine &line : lines)
            job << line.text();
        jobs << job;
    }

    QList<QStringList> jobs;
    QString refusal;
};
