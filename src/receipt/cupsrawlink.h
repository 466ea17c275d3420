#pragma once

#include "receipt/escposlink.h"

#include <QByteArray>
#include <QString>

// Raw bytes to a receipt printer that is set up as a system (CUPS) queue:
// each send is one job that the spooler passes to the printer unfiltered.
// Only for a queue whose printer speaks ESC/POS; any other printer would
// print the bytes as text or reject them.
class CupsRawLink final : public EscPosLink
{
public:
    // queue: the queue's name; empty for the system's default printer.
    explicit CupsRawLink(QString queue);

    void open() override;
    void send(const QByteArray &bytes) override;
    void close() noexcept override;
    QString target() const override;

    // The spooler's number of the last job sent; 0 before the first.
    int lastJob() const { return m_lastJob; }

private:
    QString m_queue;
    QString m_resolved;
    int m_lastJob = 0;
};
