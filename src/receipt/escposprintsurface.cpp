#include "receipt/escposprintsurface.h"

#include "receipt/escposlink.h"

#include <QtGlobal>

namespace {

constexpr char ESC = 0x1B;
constexpr char FS = 0x1C;
constexpr char GS = 0x1D;

// A roll has no page end; this is far beyond any receipt.
constexpr int RollDots = 1 << 28;
// The largest feed one line spacing command can give.
constexpr int MaxSpacing = 255;

QByteArray command(std::initializer_list<char> bytes)
{
    return QByteArray(bytes.begin(), qsizetype(bytes.size()));
}

} // namespace

EscPosPrintSurface::EscPosPrintSurface(std::unique_ptr<EscPosLink> link, int columns, TextEncoding encoding)
    : m_link(std::move(link))
    , m_columns(columns)
    , m_codec(encoding)
{
}

EscPosPrintSurface::~EscPosPrintSurface()
{
    abortJob();
}

void EscPosPrintSurface::beginJob()
{
    m_link->open();
    m_open = true;
    // Initialise, then Chinese character mode so that two-byte GBK codes
    // print as one character.
    m_job = command({ESC, '@', FS, '&'});
    m_line.clear();
    m_printerDouble = false;
    m_printerSpacing = -1;
    m_lineTop = 0;
    m_cursor = 0;
}

void EscPosPrintSurface::endJob()
{
    if (!m_line.isEmpty())
        printLine(CharacterDots * scale());
    if (m_printerDouble)
        m_job += command({GS, '!', 0x00, FS, '!', 0x00});
    // Default line spacing, then feed to the cutter and cut partially.
    m_job += command({ESC, '2', GS, 'V', 66, 0});
    m_open = false;
    try {
        m_link->send(m_job);
    } catch (...) {
        m_link->close();
        throw;
    }
    m_link->close();
    m_job.clear();
}

void EscPosPrintSurface::abortJob() noexcept
{
    if (!m_open)
        return;
    m_open = false;
    m_link->close();
    m_job.clear();
    m_line.clear();
}

void EscPosPrintSurface::newPage()
{
    // On a roll a new page is simply the next line, started afresh.
    if (!m_line.isEmpty())
        printLine(CharacterDots * scale());
    m_lineTop = 0;
    m_cursor = 0;
}

int EscPosPrintSurface::printableWidth() const
{
    return m_columns * DotsPerColumn;
}

int EscPosPrintSurface::printableHeight() const
{
    return RollDots;
}

void EscPosPrintSurface::setFontSize(int points)
{
    m_double = points >= 12;
}

QSize EscPosPrintSurface::textExtent(const QString &text) const
{
    const int bytes = int(m_codec.byteLength(text));
    return QSize(bytes * DotsPerColumn * scale(), CharacterDots * scale());
}

int EscPosPrintSurface::averageCharWidth() const
{
    return DotsPerColumn * scale();
}

int EscPosPrintSurface::charHeight() const
{
    return CharacterDots * scale();
}

void EscPosPrintSurface::drawText(int x, int y, const QString &text)
{
    if (y != m_lineTop)
        feedTo(y);
    if (m_double != m_printerDouble) {
        // GS ! sizes the ASCII characters, FS ! the Chinese ones.
        const char size = m_double ? 0x11 : 0x00;
        const char chineseSize = m_double ? 0x0C : 0x00;
        m_line += command({GS, '!', size, FS, '!', chineseSize});
        m_printerDouble = m_double;
    }
    // Horizontal positions (after a tab) become blanks of the current size.
    const int blankWidth = DotsPerColumn * scale();
    if (x > m_cursor) {
        const int blanks = (x - m_cursor + blankWidth / 2) / blankWidth;
        m_line += QByteArray(blanks, ' ');
        m_cursor += blanks * blankWidth;
    }
    // A control byte in the stream is a command to the printer: text never
    // carries one. No byte of a GBK or GB18030 character is below 0x30, so a
    // byte-wise filter cannot split a character.
    QByteArray bytes = m_codec.encode(text);
    bytes.removeIf([](char byte) { return uchar(byte) < 0x20 || uchar(byte) == 0x7F; });
    m_line += bytes;
    m_cursor += textExtent(text).width();
}

int EscPosPrintSurface::barcodeHeight() const
{
    return BarcodeDots;
}

void EscPosPrintSurface::drawBarcode(int y, const QString &data)
{
    if (y != m_lineTop)
        feedTo(y);
    if (!m_line.isEmpty())
        printLine(CharacterDots * scale());
    const QByteArray symbol = QByteArrayLiteral("{B") + data.toLatin1();
    // Centred, 64 dots high, modules of 2 dots, no text under it; the
    // printer starts the next line under it by itself.
    m_job += command({ESC, 'a', 1, GS, 'h', char(BarcodeDots), GS, 'w', 2, GS, 'H', 0});
    m_job += command({GS, 'k', 73, char(symbol.size())}) + symbol;
    m_job += command({ESC, 'a', 0});
    m_lineTop = y + barcodeHeight();
    m_cursor = 0;
}

void EscPosPrintSurface::lineEnded(int nextY)
{
    feedTo(nextY);
}

void EscPosPrintSurface::feedTo(int y)
{
    int feed = y - m_lineTop;
    if (feed <= 0) {
        // Back at the top: the device started a new page.
        if (!m_line.isEmpty())
            printLine(CharacterDots * scale());
    }
    while (feed > 0) {
        const int step = qMin(feed, MaxSpacing);
        printLine(step);
        feed -= step;
    }
    m_lineTop = y;
    m_cursor = 0;
}

void EscPosPrintSurface::printLine(int feedDots)
{
    // The buffered text, then LF at a line spacing of exactly the advance
    // the device asked for: LF prints the line and feeds by the spacing.
    m_job += m_line;
    m_line.clear();
    if (feedDots != m_printerSpacing) {
        m_job += command({ESC, '3', char(feedDots)});
        m_printerSpacing = feedDots;
    }
    m_job += '\n';
}
