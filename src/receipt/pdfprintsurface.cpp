#include "receipt/pdfprintsurface.h"

#include "receipt/printererror.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMarginsF>
#include <QPageSize>
#include <QPdfWriter>

namespace {

// A page long enough for any ordinary receipt; longer ones go on.
constexpr double PageLengthMillimetres = 297.0;
constexpr double MarginMillimetres = 3.0;
constexpr int Resolution = 300;

} // namespace

PdfPrintSurface::PdfPrintSurface(QString folder, int paperMillimetres)
    : m_folder(std::move(folder))
    , m_paperMillimetres(paperMillimetres)
{
}

PdfPrintSurface::~PdfPrintSurface()
{
    abortJob();
}

QString PdfPrintSurface::nextFileName() const
{
    const QDir folder(m_folder);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1;; ++n) {
        const QString path = folder.filePath(QStringLiteral("receipt-%1-%2.pdf").arg(stamp).arg(n));
        if (!QFile::exists(path))
            return path;
    }
}

void PdfPrintSurface::beginJob()
{
    if (!QDir().mkpath(m_folder)) {
        throw PrinterError(QStringLiteral("Printer selected is not valid\n"
                                          "The folder %1 cannot be created.")
                               .arg(QDir::toNativeSeparators(m_folder)));
    }
    m_file = nextFileName();
    m_writer = std::make_unique<QPdfWriter>(m_file);
    m_writer->setResolution(Resolution);
    m_writer->setPageSize(QPageSize(QSizeF(m_paperMillimetres, PageLengthMillimetres),
                                    QPageSize::Millimeter, QStringLiteral("Receipt")));
    m_writer->setPageMargins(QMarginsF(MarginMillimetres, MarginMillimetres,
                                       MarginMillimetres, MarginMillimetres),
                             QPageLayout::Millimeter);
    m_writer->setTitle(QString());
    m_writer->setCreator(QStringLiteral("Fenwo"));
    if (!beginPainting(m_writer.get())) {
        m_writer.reset();
        throw PrinterError(QStringLiteral("Printer selected is not valid\n"
                                          "The file %1 cannot be written.")
                               .arg(QDir::toNativeSeparators(m_file)));
    }
}

void PdfPrintSurface::endJob()
{
    const bool ended = endPainting();
    m_writer.reset();
    if (!ended) {
        QFile::remove(m_file);
        throw PrinterError(QStringLiteral("The file %1 cannot be written.")
                               .arg(QDir::toNativeSeparators(m_file)));
    }
    m_lastFile = m_file;
}

void PdfPrintSurface::abortJob() noexcept
{
    endPainting();
    if (m_writer) {
        m_writer.reset();
        QFile::remove(m_file);
    }
}

void PdfPrintSurface::newPage()
{
    m_writer->newPage();
}
