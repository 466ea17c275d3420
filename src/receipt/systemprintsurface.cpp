#include "receipt/systemprintsurface.h"

#include "receipt/cupsqueue.h"
#include "receipt/printererror.h"

#include <QDir>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

namespace {

// Text is drawn in vectors; the resolution only sets the unit of positions.
constexpr int Resolution = 300;

// The page and margins the queue prints on by default, as its driver tells
// them; A4 with small margins when it tells nothing.
QPageLayout pageLayoutOf(const QString &queue)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(queue);
    if (!info.isNull()) {
        QPrinter printer(info, QPrinter::HighResolution);
        const QPageLayout layout = printer.pageLayout();
        if (layout.isValid())
            return layout;
    }
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(5, 5, 5, 5),
                       QPageLayout::Millimeter);
}

} // namespace

SystemPrintSurface::SystemPrintSurface(PrinterLookup lookup)
    : m_lookup(std::move(lookup))
{
}

SystemPrintSurface::~SystemPrintSurface()
{
    // A job still open here was never finished: it is dropped, not printed.
    abortJob();
}

QString SystemPrintSurface::defaultPrinter()
{
    return CupsQueue::defaultName();
}

void SystemPrintSurface::beginJob()
{
    const QString queue = m_lookup ? m_lookup() : QString();
    if (queue.isEmpty())
        throw PrinterError(QStringLiteral("There is no default printer currently selected"));
    m_printerName = queue;

    m_file = std::make_unique<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("fenwo-receipt-XXXXXX.pdf")));
    if (!m_file->open()) {
        m_file.reset();
        throw PrinterError(QStringLiteral("Printer selected is not valid"));
    }
    m_writer = std::make_unique<QPdfWriter>(m_file.get());
    m_writer->setResolution(Resolution);
    m_writer->setPageLayout(pageLayoutOf(queue));
    m_writer->setTitle(QString());
    m_writer->setCreator(QStringLiteral("Fenwo"));
    if (!beginPainting(m_writer.get())) {
        dropDocument();
        throw PrinterError(QStringLiteral("Printer selected is not valid"));
    }
}

void SystemPrintSurface::endJob()
{
    const bool drawn = endPainting();
    m_writer.reset();
    if (!drawn || !m_file->flush()) {
        dropDocument();
        throw PrinterError(QStringLiteral("The receipt could not be sent to the printer %1").arg(m_printerName));
    }
    try {
        CupsQueue::submit(m_printerName, m_file->fileName());
    } catch (...) {
        dropDocument();
        throw;
    }
    dropDocument();
}

void SystemPrintSurface::abortJob() noexcept
{
    dropDocument();
}

void SystemPrintSurface::dropDocument() noexcept
{
    endPainting();
    m_writer.reset();
    m_file.reset();
}

void SystemPrintSurface::newPage()
{
    m_writer->newPage();
}
