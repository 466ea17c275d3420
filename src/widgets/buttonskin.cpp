#include "buttonskin.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>

namespace {

const QString kSkinResource = QStringLiteral(":/skins/XPBUTTON.bmp");
const QString kHandResource = QStringLiteral(":/cursors/XPHANDCUR.png");

QColor mix(const QColor &a, const QColor &b, double t)
{
    auto channel = [t](int x, int y) { return int(x + (y - x) * t + 0.5); };
    return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()));
}

struct Look
{
    QColor border;
    QColor faceTop;
    QColor faceMiddle;
    QColor faceBottom;
    bool ring = false;
    QColor ringTop = {};
    QColor ringBottom = {};
};

Look lookOf(int n)
{
    const QColor blue(0, 60, 116);
    const QColor top(255, 255, 255), middle(243, 243, 239), bottom(214, 208, 197);
    switch (n) {
    case ButtonSkin::Pressed:
        return {blue, QColor(209, 204, 193), QColor(226, 225, 218), QColor(241, 241, 237), false};
    case ButtonSkin::Disabled: {
        const QColor face(245, 244, 234);
        return {QColor(201, 199, 186), face, face, face, false};
    }
    case ButtonSkin::Hot:
        return {blue, top, middle, bottom, true, QColor(255, 240, 207), QColor(229, 151, 0)};
    case ButtonSkin::Focused:
        return {blue, top, middle, bottom, true, QColor(206, 231, 255), QColor(105, 130, 238)};
    default:
        return {blue, top, middle, bottom, false};
    }
}

// One 18 × 21 image: a rounded one-pixel border, a face shaded from top to
// bottom and, for the hot and focused images, a two-pixel coloured ring
// inside the border. Column 9 and row 10 are plain face, as they are the
// ones stretched over large buttons.
void drawImage(QImage &strip, int n)
{
    const int w = ButtonSkin::kImageWidth;
    const int h = ButtonSkin::kImageHeight;
    const int x0 = w * (n - 1);
    const Look look = lookOf(n);
    const QColor outside(236, 238, 232);
    const int middleRow = h / 2;

    for (int y = 0; y < h; ++y) {
        const QColor face = y <= middleRow
            ? mix(look.faceTop, look.faceMiddle, double(y - 1) / (middleRow - 1))
            : mix(look.faceMiddle, look.faceBottom, double(y - middleRow) / (h - 2 - middleRow));
        const QColor ringSide = mix(look.ringTop, look.ringBottom, double(y) / (h - 1));
        for (int x = 0; x < w; ++x) {
            const int fromEdgeX = std::min(x, w - 1 - x);
            const int fromEdgeY = std::min(y, h - 1 - y);
            const int fromEdge = std::min(fromEdgeX, fromEdgeY);
            QColor c = face;
            if (fromEdgeX == 0 && fromEdgeY == 0)
                c = mix(outside, look.border, 0.3);
            else if (fromEdge == 0 && (fromEdgeX == 1 || fromEdgeY == 1))
                c = mix(face, look.border, 0.7);
            else if (fromEdge == 0)
                c = look.border;
            else if (look.ring && fromEdge <= 2) {
                const QColor ring = fromEdgeY == fromEdge ? (y < middleRow ? look.ringTop : look.ringBottom) : ringSide;
                c = fromEdge == 1 ? ring : mix(ring, face, 0.45);
            } else if (fromEdgeX == 1 && n != ButtonSkin::Pressed) {
                c = mix(face, look.faceBottom, 0.35);   // a soft edge on the sides
            }
            strip.setPixelColor(x0 + x, y, c);
        }
    }
}

QImage loadStrip()
{
    QImage skin(kSkinResource);
    if (skin.size() != QSize(ButtonSkin::kImageWidth * ButtonSkin::kImageCount, ButtonSkin::kImageHeight))
        return ButtonSkin::drawStrip();
    return skin.convertToFormat(QImage::Format_RGB32);
}

// Which skin column fills face column x (skin width w, face width W): the
// right half is laid first, then the left half over it, then the middle
// column repeated between them.
int columnSource(int x, int w, int W)
{
    const int half = w / 2;
    if (x < half)
        return x;
    if (x >= W - half)
        return x - W + w;
    return half;
}

// Which skin row fills face row y (skin height h, face height H): rows
// h / 2 .. h - 1 fill the last h / 2 + 1 rows (stretched if the counts
// differ) and win over the top half; row h / 2 is repeated between.
int rowSource(int y, int h, int H)
{
    const int half = h / 2;
    const int bottomRows = half + 1;
    if (y >= H - bottomRows)
        return half + (y - (H - bottomRows)) * (h - half) / bottomRows;
    if (y < half)
        return y;
    return half;
}

} // namespace

namespace ButtonSkin {

QImage drawStrip()
{
    QImage strip(kImageWidth * kImageCount, kImageHeight, QImage::Format_RGB32);
    for (int n = 1; n <= kImageCount; ++n)
        drawImage(strip, n);
    return strip;
}

QImage strip()
{
    static const QImage skin = loadStrip();
    return skin;
}

QImage imageOf(const QImage &strip, int n)
{
    return strip.copy(kImageWidth * (n - 1), 0, kImageWidth, strip.height());
}

// Columns: the last w / 2 go to the right edge, the first w / 2 to the left
// edge, column w / 2 fills between. Rows: the first h / 2 go to the top, rows
// h / 2 .. h - 1 to the last h / 2 + 1 rows, row h / 2 fills between.
QImage stretch(const QImage &image, const QSize &size)
{
    QImage result(size, QImage::Format_RGB32);
    if (size.isEmpty() || image.isNull())
        return result;
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    const int w = src.width();
    const int h = src.height();
    QList<int> columns(size.width());
    for (int x = 0; x < size.width(); ++x)
        columns[x] = std::clamp(columnSource(x, w, size.width()), 0, w - 1);
    for (int y = 0; y < size.height(); ++y) {
        const int sy = std::clamp(rowSource(y, h, size.height()), 0, h - 1);
        const auto *in = reinterpret_cast<const QRgb *>(src.constScanLine(sy));
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            out[x] = in[columns[x]];
    }
    return result;
}

QImage silhouette(const QImage &picture, const QColor &face)
{
    if (picture.isNull())
        return picture;
    QImage result = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb reference = result.pixel(0, result.height() - 1);
    const QRgb faceRgb = face.rgb();
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if (line[x] != reference)
                line[x] = faceRgb;
    }
    return result;
}

} // namespace ButtonSkin

namespace HandCursor {

// A white hand with a black outline, the index finger up; the hot spot is
// the tip of that finger.
QImage drawHand(QPoint *hotSpot)
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill);   // the parts overlap; their union is the hand
    hand.addRoundedRect(QRectF(9.5, 1.5, 5, 16), 2.5, 2.5);     // index finger
    hand.addRoundedRect(QRectF(14.5, 9.5, 4.5, 9), 2.2, 2.2);   // middle finger
    hand.addRoundedRect(QRectF(19, 10.5, 4.5, 8), 2.2, 2.2);    // ring finger
    hand.addRoundedRect(QRectF(23.5, 12, 4, 7), 2, 2);          // little finger
    QPainterPath thumb;
    thumb.setFillRule(Qt::WindingFill);
    thumb.moveTo(10, 17);
    thumb.lineTo(6.5, 13);
    thumb.quadTo(3.5, 12.5, 4, 16);
    thumb.lineTo(9, 23);
    hand.addPath(thumb);
    hand.addRoundedRect(QRectF(8.5, 15, 19, 11), 3, 3);         // palm
    hand = hand.simplified();

    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    p.setPen(QPen(Qt::black, 0.8));
    for (qreal x : {14.5, 19.0, 23.5})
        p.drawLine(QPointF(x, 14), QPointF(x, 17.5));
    p.end();

    if (hotSpot)
        *hotSpot = QPoint(12, 1);
    img.setText(QStringLiteral("HotSpotX"), QString::number(12));
    img.setText(QStringLiteral("HotSpotY"), QString::number(1));
    return img;
}

QCursor cursorById(int id)
{
    if (id != kHandCursorId)
        return QCursor(Qt::ArrowCursor);
    static const QImage hand = [] {
        QImage img(kHandResource);
        if (img.isNull())
            img = drawHand(nullptr);
        return img;
    }();
    const QPoint hot(hand.text(QStringLiteral("HotSpotX")).toInt(), hand.text(QStringLiteral("HotSpotY")).toInt());
    return QCursor(QPixmap::fromImage(hand), hot.x(), hot.y());
}

} // namespace HandCursor
