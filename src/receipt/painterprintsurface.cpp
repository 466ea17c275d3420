#include "receipt/painterprintsurface.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QStringList>

namespace {

void insertFaceSubstitutions()
{
    static const bool done = [] {
        const QStringList faces = {
            QStringLiteral("WenQuanYi Zen Hei Mono"),
            QStringLiteral("WenQuanYi Zen Hei"),
            QStringLiteral("Noto Sans Mono CJK SC"),
            QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("Noto Serif CJK SC"),
            QStringLiteral("AR PL UMing CN"),
        };
        QFont::insertSubstitutions(QStringLiteral("SimSun"), faces);
        QFont::insertSubstitutions(QStringLiteral(u"宋体"), faces);
        return true;
    }();
    Q_UNUSED(done);
}

} // namespace

PainterPrintSurface::~PainterPrintSurface()
{
    if (m_painter.isActive())
        m_painter.end();
}

QFont PainterPrintSurface::receiptFont(int points)
{
    insertFaceSubstitutions();
    QFont font(QStringLiteral("SimSun"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(points);
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
    if (m_painter.isActive())
        m_painter.setFont(receiptFont(m_points));
}

QSize PainterPrintSurface::textExtent(const QString &text) const
{
    const QFontMetrics metrics(receiptFont(m_points), m_device);
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

int PainterPrintSurface::averageCharWidth() const
{
    return QFontMetrics(receiptFont(m_points), m_device).averageCharWidth();
}

int PainterPrintSurface::charHeight() const
{
    return QFontMetrics(receiptFont(m_points), m_device).height();
}

void PainterPrintSurface::drawText(int x, int y, const QString &text)
{
    const QFontMetrics metrics(m_painter.font(), m_device);
    m_painter.drawText(x, y + metrics.ascent(), text);
}

bool PainterPrintSurface::beginPainting(QPaintDevice *device)
{
    m_device = device;
    if (!m_painter.begin(device)) {
        m_device = nullptr;
        return false;
    }
    m_painter.setPen(Qt::black);
    m_painter.setFont(receiptFont(m_points));
    return true;
}

bool PainterPrintSurface::endPainting()
{
    bool ended = true;
    if (m_painter.isActive())
        ended = m_painter.end();
    m_device = nullptr;
    return ended;
}
