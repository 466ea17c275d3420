#include "bevel.h"

#include "widgets/colors.h"

#include <QPainter>
#include <QWidget>

void drawBevelFrame(QPainter &painter, const QRect &rect, const QColor &topLeft, const QColor &bottomRight,
                    int width)
{
    // Inclusive corners; each ring is a polyline up the left side and along the
    // top, then down the right side and back along the bottom, so the bottom-left
    // and top-right corner pixels belong to the bottom-right colour.
    int l = rect.left();
    int t = rect.top();
    int r = rect.right();
    int b = rect.bottom();
    for (int i = 0; i < width && l <= r && t <= b; ++i) {
        painter.fillRect(QRect(QPoint(l, t), QPoint(l, b)), topLeft);
        painter.fillRect(QRect(QPoint(l, t), QPoint(r, t)), topLeft);
        painter.fillRect(QRect(QPoint(r, t), QPoint(r, b)), bottomRight);
        painter.fillRect(QRect(QPoint(l, b), QPoint(r, b)), bottomRight);
        ++l;
        ++t;
        --r;
        --b;
    }
}

void paintParentBackground(QWidget *control, QPainter &painter)
{
    QWidget *parent = control->parentWidget();
    if (!parent)
        return;
    const QRect area = control->geometry() & parent->rect();
    if (area.isEmpty())
        return;
    // The parent draws its background and its own face (not its other
    // children) into an image of the part the control covers.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    QImage beneath((QSizeF(area.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    beneath.setDevicePixelRatio(ratio);
    beneath.fill(Qt::transparent);
    parent->render(&beneath, QPoint(), QRegion(area), QWidget::DrawWindowBackground);
    painter.save();
    painter.drawImage(area.topLeft() - control->pos(), beneath);
    painter.restore();
}

QImage makeDisabledGlyph(const QImage &glyph)
{
    const QImage source = glyph.convertToFormat(QImage::Format_ARGB32);
    QImage result(source.size(), QImage::Format_RGB32);
    result.fill(Colors::buttonFace());
    const QRgb highlight = Colors::buttonHighlight().rgb();
    const QRgb shadow = Colors::buttonShadow().rgb();
    auto isDark = [&](int x, int y) {
        const QRgb p = source.pixel(x, y);
        return qAlpha(p) >= 128 && qGray(p) < 128;
    };
    const int w = source.width();
    const int h = source.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (isDark(x, y) && x + 1 < w && y + 1 < h)
                result.setPixel(x + 1, y + 1, highlight);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (isDark(x, y))
                result.setPixel(x, y, shadow);
    return result;
}
