#pragma once

#include <QSize>
#include <QString>

// What the printer text device draws on: one print job at a time, made of
// pages, measured in device units (pixels of the printer, dots of a receipt
// printer). Errors are thrown as PrinterError.
class PrintSurface
{
public:
    virtual ~PrintSurface() = default;

    // Starts a document with its first page.
    virtual void beginJob() = 0;
    // Ends the last page and the document; the job goes to the printer.
    virtual void endJob() = 0;
    // Gives up the open job after an error; must not throw.
    virtual void abortJob() noexcept = 0;
    virtual void newPage() = 0;

    // Size of the printable area of a page; read when a job begins.
    virtual int printableWidth() const = 0;
    virtual int printableHeight() const = 0;

    // Font size in points for the text measured and drawn after it. May be
    // called outside a job; the surface keeps it for the next one.
    virtual void setFontSize(int points) = 0;
    virtual QSize textExtent(const QString &text) const = 0;
    virtual int averageCharWidth() const = 0;
    virtual int charHeight() const = 0;

    // Draws text with its top-left corner at x, y.
    virtual void drawText(int x, int y, const QString &text) = 0;

    // A CODE128 barcode of the data across the width, its top at y, and the
    // height it takes with its margins; 0: this surface prints none.
    virtual int barcodeHeight() const { return 0; }
    virtual void drawBarcode(int y, const QString &data)
    {
        Q_UNUSED(y);
        Q_UNUSED(data);
    }

    // Told after every line end where the next line starts. Surfaces that
    // stream lines (a receipt printer) feed paper here; page surfaces ignore it.
    virtual void lineEnded(int nextY) { Q_UNUSED(nextY); }
};
