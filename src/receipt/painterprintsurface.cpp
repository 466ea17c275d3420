#include "receipt/painterprintsurface.h"

#include "receipt/code128.h"

#include <QPaintDevice>
#include <QStringList>

PainterPrintSurface::~PainterPrintSurface()
{
    if (m_painter.isActive())
        m_painter.end();
}

QStringList PainterPrintSurface::receiptFaces()
{
    return {QStringLiteral("WenQuanYi Zen Hei Mono"), QStringLiteral("Noto Sans Mono CJK SC"),
            QStringLiteral("Sarasa Mono SC"), QStringLiteral("AR PL UMing CN")};
}

QFont PainterPrintSurface::receiptFont(int points, int dotsPerInch)
{
    QFont font;
    font.setFamilies(receiptFaces());
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(qMax(2, 2 * qRound(points * dotsPerInch / 144.0)));
    return font;
}

int PainterPrintSurface::printableWidth() const
{
    return m_device ? m_device->width() : 0;
}

int PainterPrintSurface::printableHeight() const
{
    return m_device ? m_device->height() : 0;
}

void PainterPrintSurface::setFontSize(int points)
{
    m_points = points;
    applyFont();
}

void PainterPrintSurface::applyFont()
{
    // Measured once per size, not at every measurement: a long run is
    // measured many times while it is wrapped.
    if (!m_device) {
        m_metrics.reset();
        return;
    }
    const QFont font = receiptFont(m_points, m_device->logicalDpiY());
    m_metrics.emplace(font, m_device);
    if (m_painter.isActive())
        m_painter.setFont(font);
}

QSize PainterPrintSurface::textExtent(const QString &text) const
{
    if (!m_metrics)
        return QSize();
    return QSize(m_metrics->horizontalAdvance(text), m_metrics->height());
}

int PainterPrintSurface::averageCharWidth() const
{
    return m_metrics ? m_metrics->averageCharWidth() : 0;
}

int PainterPrintSurface::charHeight() const
{
    return m_metrics ? m_metrics->height() : 0;
}

void PainterPrintSurface::drawText(int x, int y, const QString &text)
{
    m_painter.drawText(x, y + m_metrics->ascent(), text);
}

int PainterPrintSurface::barcodeHeight() const
{
    return 3 * charHeight();
}

void PainterPrintSurface::drawBarcode(int y, const QString &data)
{
    const QList<int> widths = Code128::widths(data);
    int modules = 20;   // the quiet zones
    for (const int w : widths)
        modules += w;
    const int module = qMax(1, printableWidth() / modules);
    const int height = 2 * charHeight();
    int x = (printableWidth() - module * (modules - 20)) / 2;
    m_painter.save();
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(Qt::black);
    for (qsizetype i = 0; i < widths.size(); ++i) {
        if (i % 2 == 0)
            m_painter.drawRect(x, y + charHeight() / 2, module * widths.at(i), height);
        x += module * widths.at(i);
    }
    m_painter.restore();
}

bool PainterPrintSurface::beginPainting(QPaintDevice *device)
{
    m_device = device;
    if (!m_painter.begin(device)) {
        m_device = nullptr;
        m_metrics.reset();
        return false;
    }
    m_painter.setPen(Qt::black);
    applyFont();
    return true;
}

bool PainterPrintSurface::endPainting()
{
    bool ended = true;
    if (m_painter.isActive())
        ended = m_painter.end();
    m_device = nullptr;
    m_metrics.reset();
    return ended;
}
