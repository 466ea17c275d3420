#pragma once

#include "receipt/painterprintsurface.h"

#include <QPrinterInfo>

#include <functional>
#include <memory>

class QPrinter;

// The system's default printer (a CUPS queue on Linux). The printer is
// chosen when the first job opens and kept for the rest of the run; each
// job is one document with an empty name.
class SystemPrintSurface final : public PainterPrintSurface
{
public:
    // Finds the default printer; a null QPrinterInfo means there is none.
    using PrinterLookup = std::function<QPrinterInfo()>;

    explicit SystemPrintSurface(PrinterLookup lookup = &QPrinterInfo::defaultPrinter);
    ~SystemPrintSurface() override;

    void beginJob() override;
    void endJob() override;
    void abortJob() noexcept override;
    void newPage() override;

    // Name of the chosen printer; empty until a job has chosen one.
    QString printerName() const;

private:
    PrinterLookup m_lookup;
    std::unique_ptr<QPrinter> m_printer;
};
