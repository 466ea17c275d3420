#include "receipt/cupsqueue.h"

#include "receipt/printererror.h"

#include <QFile>

#include <cups/cups.h>

namespace {

QString spoolerWords()
{
    const char *text = cupsLastErrorString();
    return text && *text ? QString::fromUtf8(text) : QStringLiteral("The print spooler gave no reason.");
}

} // namespace

QString CupsQueue::defaultName()
{
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (dest) {
        const QString name = QString::fromUtf8(dest->name);
        cupsFreeDests(1, dest);
        return name;
    }
    // Either none is named anywhere (the spooler's answer then is "No
    // default destination.", in English unless it translates it), or the one
    // named by LPDEST, PRINTER, lpoptions or the server is not there.
    const char *answer = cupsLastErrorString();
    if (cupsLastError() == IPP_STATUS_OK || qstrcmp(answer, "No default destination.") == 0)
        return QString();
    throw PrinterError(QStringLiteral("Printer selected is not valid\n%1").arg(spoolerWords()));
}

int CupsQueue::submit(const QString &queue, const QString &pdfFile)
{
    const QByteArray name = queue.toUtf8();
    const QByteArray file = QFile::encodeName(pdfFile);
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, name.constData(), file.constData(), "", 0, nullptr);
    if (job <= 0) {
        throw PrinterError(QStringLiteral("The receipt could not be sent to the printer %1: %2")
                               .arg(queue, spoolerWords()));
    }
    return job;
}
