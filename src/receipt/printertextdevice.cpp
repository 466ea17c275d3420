#include "receipt/printertextdevice.h"

#include "receipt/printererror.h"
#include "receipt/printsurface.h"

#include <QList>

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

void PrinterTextDevice::drawRun(QByteArray run)
{
    while (!run.isEmpty()) {
        const int room = m_width - m_x;
        QSize extent = m_surface->textExtent(m_codec.decode(run));
        if (extent.width() <= room) {
            drawPart(run, extent);
            m_x += extent.width();
            return;
        }

        // Shorten the run one character at a time from its end until it
        // fits; a two-byte character goes whole or not at all.
        QList<qsizetype> characterEnds;
        for (qsizetype pos = 0; pos < run.size(); pos += m_codec.characterLength(run, pos))
            characterEnds.append(pos + m_codec.characterLength(run, pos));
        qsizetype keep = 0;
        for (qsizetype i = characterEnds.size() - 2; i >= 0; --i) {
            extent = m_surface->textExtent(m_codec.decode(run.left(characterEnds[i])));
            if (extent.width() <= room) {
                keep = characterEnds[i];
                break;
            }
        }
        // A character wider than a whole line still has to go somewhere:
        // it takes a line of its own rather than stalling the job.
        if (keep == 0 && m_x == 0) {
            keep = characterEnds.first();
            extent = m_surface->textExtent(m_codec.decode(run.left(keep)));
        }
        if (keep > 0)
            drawPart(run.left(keep), extent);
        lineBreak();
        run.remove(0, keep);
    }
}

void PrinterTextDevice::drawPart(const QByteArray &part, const QSize &extent)
{
    m_surface->drawText(m_x, m_y, m_codec.decode(part));
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
