#include "receipt/systemprinterlist.h"

#include <cups/cups.h>

#include <algorithm>

QList<SystemPrinterList::Queue> SystemPrinterList::read()
{
    cups_dest_t *dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    QList<Queue> queues;
    for (int i = 0; i < count; ++i) {
        const cups_dest_t &dest = dests[i];
        // Instances are option sets of a queue, not printers of their own.
        if (dest.instance)
            continue;
        const char *info = cupsGetOption("printer-info", dest.num_options, dest.options);
        queues.append({QString::fromUtf8(dest.name), info ? QString::fromUtf8(info) : QString(),
                       dest.is_default != 0});
    }
    cupsFreeDests(count, dests);
    return queues;
}

bool SystemPrinterList::contains(const QString &name)
{
    const QList<Queue> queues = read();
    return std::any_of(queues.begin(), queues.end(), [&](const Queue &queue) { return queue.name == name; });
}
