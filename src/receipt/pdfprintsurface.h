#pragma once

#include "receipt/painterprintsurface.h"

#include <QString>

#include <memory>

class QPdfWriter;

// Prints each job into a PDF file of its own in a folder, on pages as wide
// as the receipt paper: for a shop without a printer, or to keep a copy.
class PdfPrintSurface final : public PainterPrintSurface
{
public:
    PdfPrintSurface(QString folder, int paperMillimetres);
    ~PdfPrintSurface() override;

    void beginJob() override;
    void endJob() override;
    void abortJob() noexcept override;
    void newPage() override;

    // The file of the last job that was completed.
    const QString &lastFile() const { return m_lastFile; }

private:
    QString nextFileName() const;

    QString m_folder;
    int m_paperMillimetres;
    std::unique_ptr<QPdfWriter> m_writer;
    QString m_file;
    QString m_lastFile;
};
