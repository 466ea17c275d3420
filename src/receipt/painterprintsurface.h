#pragma once

#include "receipt/printsurface.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <optional>

class QPaintDevice;

// A surface that paints text with QPainter on a paint device at the
// device's own resolution: the common part of the system printer and the
// PDF file outputs.
class PainterPrintSurface : public PrintSurface
{
public:
    ~PainterPrintSurface() override;

    int printableWidth() const override;
    int printableHeight() const override;
    void setFontSize(int points) override;
    QSize textExtent(const QString &text) const override;
    int averageCharWidth() const override;
    int charHeight() const override;
    void drawText(int x, int y, const QString &text) override;
    int barcodeHeight() const override;
    void drawBarcode(int y, const QString &data) override;

    // The receipt face at a size in points on a device of the given
    // resolution: a fixed-pitch face whose Chinese characters are exactly
    // two ASCII characters wide, so one GBK byte is one column and the item
    // columns line up. The size is rounded to an even number of pixels, so
    // that half of it, the ASCII width, is whole too.
    static QFont receiptFont(int points, int dotsPerInch);
    // The faces asked for, best first. The first is named outright, never
    // through a family the application substitutes (those are proportional).
    static QStringList receiptFaces();

protected:
    PainterPrintSurface() = default;

    // Starts painting a job on the device; false when the device refuses.
    bool beginPainting(QPaintDevice *device);
    // Ends painting; false when the device reports a failure.
    bool endPainting();
    bool isPainting() const { return m_painter.isActive(); }

private:
    void applyFont();

    QPaintDevice *m_device = nullptr;
    QPainter m_painter;
    int m_points = 10;
    std::optional<QFontMetrics> m_metrics;
};
