#pragma once

#include "receipt/painterprintsurface.h"

#include <QString>

#include <functional>
#include <memory>

class QPdfWriter;
class QTemporaryFile;

// The system's default printer (a CUPS queue). The default is looked up
// afresh for every job, as a shop may change printers while the program
// runs. Each job is drawn into a PDF document with an empty name and handed
// to the spooler when it ends; the job counts as printed only when the
// spooler answers with a job number.
class SystemPrintSurface final : public PainterPrintSurface
{
public:
    // Names the default printer; empty when there is none. May throw
    // PrinterError (the one named is gone).
    using PrinterLookup = std::function<QString()>;

    explicit SystemPrintSurface(PrinterLookup lookup = defaultPrinter);
    ~SystemPrintSurface() override;

    void beginJob() override;
    void endJob() override;
    void abortJob() noexcept override;
    void newPage() override;

    // The spooler's default destination now (see CupsQueue::defaultName).
    static QString defaultPrinter();

private:
    void dropDocument() noexcept;

    PrinterLookup m_lookup;
    QString m_printerName;
    std::unique_ptr<QTemporaryFile> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
};
