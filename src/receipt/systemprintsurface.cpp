#include "receipt/systemprintsurface.h"

#include "receipt/printererror.h"

#include <QPrinter>

SystemPrintSurface::SystemPrintSurface(PrinterLookup lookup)
    : m_lookup(std::move(lookup))
{
}

SystemPrintSurface::~SystemPrintSurface()
{
    // A job still open here was never finished: it is dropped, not printed,
    // and the painter lets go of the printer before the printer goes.
    abortJob();
}

void SystemPrintSurface::beginJob()
{
    if (!m_printer) {
        const QPrinterInfo info = m_lookup ? m_lookup() : QPrinterInfo();
        if (info.isNull())
            throw PrinterError(QStringLiteral("There is no default printer currently selected"));
        m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    if (!m_printer->isValid())
        throw PrinterError(QStringLiteral("Printer selected is not valid"));
    m_printer->setDocName(QString());
    m_printer->setFullPage(false);
    if (!beginPainting(m_printer.get()))
        throw PrinterError(QStringLiteral("Printer selected is not valid"));
}

void SystemPrintSurface::endJob()
{
    if (!endPainting())
        throw PrinterError(QStringLiteral("The receipt could not be sent to the printer %1")
                               .arg(printerName()));
}

void SystemPrintSurface::abortJob() noexcept
{
    if (m_printer && isPainting())
        m_printer->abort();
    endPainting();
}

void SystemPrintSurface::newPage()
{
    m_printer->newPage();
}

QString SystemPrintSurface::printerName() const
{
    return m_printer ? m_printer->printerName() : QString();
}
