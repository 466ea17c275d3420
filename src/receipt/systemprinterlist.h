#pragma once

#include <QList>
#include <QString>

// The system's printers (CUPS queues) as the spooler lists them now, the
// default one marked. Read afresh at every call: queues come and go while
// the program runs.
class SystemPrinterList final
{
public:
    struct Queue
    {
        QString name;
        QString description;   // the queue's own text, "printer-info"
        bool isDefault = false;
    };

    SystemPrinterList() = delete;

    // Empty when there is no spooler or no queue.
    static QList<Queue> read();
    // Whether the spooler has a queue of this name now.
    static bool contains(const QString &name);
};
