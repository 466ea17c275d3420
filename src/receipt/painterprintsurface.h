#pragma once

#include "receipt/printsurface.h"

#include <QFont>
#include <QPainter>

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

    // The receipt face: "SimSun" (宋体), which is substituted on systems
    // without it by an installed CJK face that gives a Chinese character
    // twice the width of an ASCII one, so the item columns line up.
    static QFont receiptFont(int points);

protected:
    PainterPrintSurface() = default;

    // Starts painting a job on the device; false when the device refuses.
    bool beginPainting(QPaintDevice *device);
    // Ends painting; false when the device reports a failure.
    bool endPainting();
    bool isPainting() const { return m_painter.isActive(); }

private:
    QPaintDevice *m_device = nullptr;
    QPainter m_painter;
    int m_points = 10;
};
