#include "receipt/cupsrawlink.h"

#include "receipt/cupsqueue.h"
#include "receipt/printererror.h"

#include <cups/cups.h>

namespace {

QString spoolerError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

} // namespace

CupsRawLink::CupsRawLink(QString queue)
    : m_queue(std::move(queue))
{
}

QString CupsRawLink::target() const
{
    return m_resolved.isEmpty() ? m_queue : m_resolved;
}

void CupsRawLink::open()
{
    // The default is looked up at every job: the shop may change it while the program runs.
    m_resolved = m_queue;
    if (m_resolved.isEmpty()) {
        m_resolved = CupsQueue::defaultName();
        if (m_resolved.isEmpty())
            throw PrinterError(QStringLiteral("There is no default printer currently selected"));
    }
}

void CupsRawLink::send(const QByteArray &bytes)
{
    const QByteArray queue = m_resolved.toUtf8();
    const char *title = "Fenwo";
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, queue.constData(), title, 0, nullptr);
    if (job <= 0) {
        throw PrinterError(QStringLiteral("Printer selected is not valid\n%1: %2").arg(m_resolved, spoolerError()));
    }
    const auto failed = [&] {
        const QString reason = spoolerError();
        cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.constData(), job, 0);
        return PrinterError(QStringLiteral("The receipt could not be sent to %1: %2").arg(m_resolved, reason));
    };
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, queue.constData(), job, title, CUPS_FORMAT_RAW, 1)
        != HTTP_STATUS_CONTINUE)
        throw failed();
    if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, bytes.constData(), size_t(bytes.size())) != HTTP_STATUS_CONTINUE)
        throw failed();
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.constData()) > IPP_STATUS_OK_EVENTS_COMPLETE)
        throw failed();
    m_lastJob = job;
}

void CupsRawLink::close() noexcept
{
}
