#pragma once

#include "base/textcodec.h"

#include <QByteArray>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringView>

#include <memory>

class PrintSurface;

// Lays written text on pages from the top-left corner down, the way a plain
// text printer does: text runs are drawn at the current position, wrapped
// at the right edge without ever splitting a two-byte character, and lines
// and pages advance by the height of what was drawn. Text is handled as
// bytes of its code page (GBK unless set); LF ends a line, CR only ends a run, FF starts a new page and TAB
// moves to the next tab stop.
class PrinterTextDevice final
{
public:
    explicit PrinterTextDevice(std::unique_ptr<PrintSurface> surface,
                               TextEncoding encoding = TextEncoding::Gbk);
    ~PrinterTextDevice();

    PrinterTextDevice(const PrinterTextDevice &) = delete;
    PrinterTextDevice &operator=(const PrinterTextDevice &) = delete;

    // Starts a document and its first page at position 0, 0. Throws
    // PrinterError "Printing in progress" when a job is already open, and
    // whatever the surface throws when the printer cannot be used.
    void openJob();
    // Sets the size for all text written after it; it stays in force into
    // later jobs until it is set again.
    void setFontSize(int points);
    void write(const QString &text);
    // Writes CR LF.
    void endLine();
    // A CODE128 barcode of the text on lines of its own, where the surface
    // can print one (else nothing).
    void writeBarcode(const QString &data);
    // Whether text, written at the start of a line in the current size,
    // fits on that line. Only within a job.
    bool fitsOnALine(const QString &text) const;
    // Ends the last page and the document.
    void closeJob();
    // Drops the open job, if any, after an error. Never throws.
    void abortJob() noexcept;

    TextEncoding encoding() const { return m_codec.encoding(); }
    bool isPrinting() const { return m_printing; }
    int fontSize() const { return m_fontSize; }
    QPoint position() const { return QPoint(m_x, m_y); }
    int lineHeight() const { return m_lineHeight; }
    PrintSurface &surface() { return *m_surface; }

private:
    void requireJob() const;
    void writeBytes(const QByteArray &gbk);
    void drawRun(const QByteArray &run);
    qsizetype fittingStart(QStringView text, int room, QSize *extent) const;
    void drawPart(QStringView part, const QSize &extent);
    void tab();
    void lineBreak();
    void newPage();

    std::unique_ptr<PrintSurface> m_surface;
    TextCodec m_codec;
    bool m_printing = false;
    int m_fontSize = 10;
    int m_x = 0;
    int m_y = 0;
    int m_lineHeight = 0;
    int m_width = 0;
    int m_height = 0;
};
