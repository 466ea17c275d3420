#include "receipt/printertextdevice.h"

#include "receipt/printererror.h"
#include "receipt/printsurface.h"

#include <utility>

PrinterTextDevice::PrinterTextDevice(std::unique_ptr<PrintSurface> surface, TextEncoding encoding)
    : m_surface(std::move(surface))
    , m_codec(encoding)
{
}

PrinterTextDevice::~PrinterTextDevice()
{
    abortJob();
}

void PrinterTextDevice::openJob()
{
    if (m_printing)
        throw PrinterError(QStringLiteral("Printing in progress"));
    m_surface->setFontSize(m_fontSize);
    m_surface->beginJob();
    m_printing = true;
    m_x = 0;
    m_y = 0;
    m_lineHeight = 0;
    m_width = m_surface->printableWidth();
    m_height = m_surface->printableHeight();
}

void PrinterTextDevice::setFontSize(int points)
{
    m_fontSize = points;
    m_surface->setFontSize(points);
}

void PrinterTextDevice::write(const QString &text)
{
    requireJob();
    writeBytes(m_codec.encode(text));
}

void PrinterTextDevice::endLine()
{
    requireJob();
    writeBytes(QByteArrayLiteral("\r\n"));
}

void PrinterTextDevice::writeBarcode(const QString &data)
{
    requireJob();
    if (m_x != 0)
        lineBreak();
    const int height = m_surface->barcodeHeight();
    if (height <= 0)
        return;
    if (m_y + height > m_height)
        newPage();
    m_surface->drawBarcode(m_y, data);
    m_y += height;
    m_lineHeight = 0;
    m_surface->lineEnded(m_y);
}

bool PrinterTextDevice::fitsOnALine(const QString &text) const
{
    requireJob();
    // As it will be drawn: what the code page lacks becomes "?".
    return m_surface->textExtent(m_codec.decode(m_codec.encode(text))).width() <= m_width;
}

void PrinterTextDevice::closeJob()
{
    requireJob();
    m_printing = false;
    try {
        m_surface->endJob();
    } catch (...) {
        m_surface->abortJob();
        throw;
    }
}

void PrinterTextDevice::abortJob() noexcept
{
    if (!m_printing)
        return;
    m_printing = false;
    m_surface->abortJob();
}

void PrinterTextDevice::requireJob() const
{
    if (!m_printing)
        throw PrinterError(QStringLiteral("Printer is not printing"));
}

void PrinterTextDevice::writeBytes(const QByteArray &gbk)
{
    // Control bytes are all below 0x30, the smallest byte inside a GBK or
    // GB18030 character, so a byte-wise scan never mistakes part of a
    // character for one.
    QByteArray run;
    for (const char byte : gbk) {
        switch (byte) {
        case '\n':
            drawRun(std::exchange(run, {}));
            lineBreak();
            break;
        case '\r':
            drawRun(std::exchange(run, {}));
            break;
        case '\f':
            drawRun(std::exchange(run, {}));
            newPage();
            break;
        case '\t':
            drawRun(std::exchange(run, {}));
            tab();
            break;
        default:
            run.append(byte);
        }
    }
    drawRun(run);
}

void PrinterTextDevice::drawRun(const QByteArray &run)
{
    if (run.isEmpty())
        return;
    // Every character of the decoded run is one character of the encoding
    // (encode() made anything else a "?"), so a cut between two of them never
    // splits one; a character outside the BMP is kept with its pair.
    const QString text = m_codec.decode(run);
    QStringView rest(text);
    while (!rest.isEmpty()) {
        QSize extent;
        qsizetype keep = fittingStart(rest, m_width - m_x, &extent);
        if (keep == rest.size()) {
            drawPart(rest, extent);
            m_x += extent.width();
            return;
        }
        // A character wider than a whole line still has to go somewhere:
        // it takes a line of its own rather than stalling the job.
        if (keep == 0 && m_x == 0) {
            keep = rest.size() > 1 && rest.at(0).isHighSurrogate() ? 2 : 1;
            extent = m_surface->textExtent(rest.left(keep).toString());
        }
        if (keep > 0)
            drawPart(rest.left(keep), extent);
        lineBreak();
        rest = rest.mid(keep);
    }
}

qsizetype PrinterTextDevice::fittingStart(QStringView text, int room, QSize *extent) const
{
    // The longest start of the text no wider than the room: what shortening
    // it one character at a time from its end would leave. Widths grow with
    // the length, so the start is found by doubling a probe until it no
    // longer fits and halving the gap; a run costs about its own length in
    // measuring, whatever its length, never its square.
    qsizetype fits = 0;
    qsizetype tooWide = -1;
    *extent = QSize();
    for (qsizetype probe = 1;; probe *= 2) {
        const qsizetype length = qMin(probe, text.size());
        const QSize probed = m_surface->textExtent(text.left(length).toString());
        if (probed.width() > room) {
            tooWide = length;
            break;
        }
        fits = length;
        *extent = probed;
        if (length == text.size())
            return fits;
    }
    while (tooWide - fits > 1) {
        const qsizetype middle = fits + (tooWide - fits) / 2;
        const QSize probed = m_surface->textExtent(text.left(middle).toString());
        if (probed.width() > room) {
            tooWide = middle;
        } else {
            fits = middle;
            *extent = probed;
        }
    }
    // Never between the two halves of a surrogate pair.
    if (fits > 0 && text.at(fits - 1).isHighSurrogate()) {
        --fits;
        *extent = fits > 0 ? m_surface->textExtent(text.left(fits).toString()) : QSize();
    }
    return fits;
}

void PrinterTextDevice::drawPart(QStringView part, const QSize &extent)
{
    m_surface->drawText(m_x, m_y, part.toString());
    if (extent.height() > m_lineHeight)
        m_lineHeight = extent.height() + 2;
}

void PrinterTextDevice::tab()
{
    const int stop = 8 * m_surface->averageCharWidth();
    if (stop > 0)
        m_x += stop - ((m_x + stop + 1) % stop) + 1;
    if (m_x > m_width)
        lineBreak();
}

void PrinterTextDevice::lineBreak()
{
    const int ended = m_lineHeight;
    m_x = 0;
    m_y += ended == 0 ? m_surface->charHeight() : ended;
    if (m_y > m_height - 2 * ended)
        newPage();
    m_lineHeight = 0;
    m_surface->lineEnded(m_y);
}

void PrinterTextDevice::newPage()
{
    m_surface->newPage();
    m_x = 0;
    m_y = 0;
}
