#include "FlatUtilitys.h"

#include "HSLUtils.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace {

QPalette::ColorRole systemColorRole(quint32 index, QPalette::ColorGroup *group)
{
    *group = QPalette::Active;
    switch (index) {
    case 5: return QPalette::Base;               // window background
    case 8: return QPalette::Text;               // window text
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button;            // button face
    case 16: return QPalette::Dark;              // button shadow
    case 17: *group = QPalette::Disabled; return QPalette::Text;   // grey text
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light;             // button highlight
    case 21: return QPalette::Shadow;            // 3D dark shadow
    case 22: return QPalette::Midlight;          // 3D light
    case 23: return QPalette::ToolTipText;
    case 24: return QPalette::ToolTipBase;
    case 7: return QPalette::WindowText;         // menu text
    default: return QPalette::Window;            // window frames, menus, desktop
    }
}

} // namespace

QColor ResolveColorValue(quint32 value)
{
    if ((value >> 24) == 0x80) {
        QPalette::ColorGroup group;
        const QPalette::ColorRole role = systemColorRole(value & 0xFF, &group);
        return QColor(QGuiApplication::palette().color(group, role).rgb());
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QColor AdjustLightness(const QColor &base, const QColor &fallback, int percent, LightnessDirection direction)
{
    if (percent == 0)
        return fallback;
    Hsl240 hsl = ColorToHsl240(base);
    hsl.lightness += 10;
    // The bounds are 100 and 0 on the 240 scale: a light base lightened ends
    // up as a mid-tone, as every derived colour of the control set always has.
    if (direction == LightnessDirection::Lighter)
        hsl.lightness = std::min(hsl.lightness + percent, 100);
    else
        hsl.lightness = std::max(hsl.lightness - percent, 0);
    return Hsl240ToColor(hsl.hue, hsl.saturation, hsl.lightness);
}

void DrawBevelFrame(QPainter &painter, const QRect &rect, const QColor &topLeft, const QColor &bottomRight,
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

void PaintParentBackground(QWidget *control, QPainter &painter)
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

QImage MakeDisabledGlyph(const QImage &glyph)
{
    const QImage source = glyph.convertToFormat(QImage::Format_ARGB32);
    QImage result(source.size(), QImage::Format_RGB32);
    result.fill(ResolveColorValue(0x8000000F));
    const QRgb highlight = ResolveColorValue(0x80000014).rgb();
    const QRgb shadow = ResolveColorValue(0x80000010).rgb();
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

GlyphAndCaption LayoutGlyphAndCaption(const QFont &font, const QRect &client, const QPoint &pressOffset,
                                      const QString &caption, GlyphLayout layout, int margin, int spacing,
                                      const QImage &glyph, int numberOfImages)
{
    const int cw = client.width();
    const int ch = client.height();
    int gw = 0;
    int gh = 0;
    if (!glyph.isNull() && numberOfImages > 0) {
        gw = glyph.width() / numberOfImages;
        gh = glyph.height();
    }
    QRect textRect;
    if (!caption.isEmpty()) {
        const QSize measured = QFontMetrics(font).size(Qt::TextSingleLine | Qt::TextShowMnemonic, caption);
        textRect = QRect(0, 0, measured.width(), measured.height());
    }
    const int tw = textRect.width();
    const int th = textRect.height();

    QPoint glyphPos;
    QPoint textPos;
    const bool horizontal = layout == GlyphLayout::Left || layout == GlyphLayout::Right;
    if (horizontal) {
        glyphPos.setY((ch - gh + 1) / 2);
        textPos.setY((ch - th + 1) / 2);
    } else {
        glyphPos.setX((cw - gw + 1) / 2);
        textPos.setX((cw - tw + 1) / 2);
    }

    if (tw == 0 || gw == 0)
        spacing = 0;
    const int clientAxis = horizontal ? cw : ch;
    const int glyphAxis = horizontal ? gw : gh;
    const int textAxis = horizontal ? tw : th;
    if (margin == -1 && spacing == -1) {
        margin = (clientAxis - glyphAxis - textAxis) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = (clientAxis - (glyphAxis + spacing + textAxis) + 1) / 2;
    } else if (spacing == -1) {
        spacing = ((clientAxis - (margin + glyphAxis)) - textAxis) / 2;
    }

    switch (layout) {
    case GlyphLayout::Left:
        glyphPos.setX(margin);
        textPos.setX(glyphPos.x() + gw + spacing);
        break;
    case GlyphLayout::Right:
        glyphPos.setX(cw - margin - gw);
        textPos.setX(glyphPos.x() - spacing - tw);
        break;
    case GlyphLayout::Top:
        glyphPos.setY(margin);
        textPos.setY(glyphPos.y() + gh + spacing);
        break;
    case GlyphLayout::Bottom:
        glyphPos.setY(ch - margin - gh);
        textPos.setY(glyphPos.y() - spacing - th);
        break;
    }

    GlyphAndCaption result;
    result.glyphTopLeft = glyphPos + client.topLeft() + pressOffset;
    result.captionRect = textRect.translated(textPos + client.topLeft() + pressOffset);
    return result;
}

void SharedHoverWatch::join()
{
    if (m_live++ == 0) {
        m_timer = new QTimer;
        m_timer->setInterval(kIntervalMs);
        QObject::connect(m_timer, &QTimer::timeout, [this] { tick(); });
    }
}

void SharedHoverWatch::leave(HoverClient *client)
{
    stopWatching(client);
    if (--m_live == 0) {
        delete m_timer;
        m_timer = nullptr;
    }
}

void SharedHoverWatch::pointerMoved(HoverClient *client, const QPoint &globalPos)
{
    if (m_watched == client || QApplication::widgetAt(globalPos) != client->hoverWidget())
        return;
    // Moving straight from one control onto another un-hovers the first at once.
    if (m_watched)
        m_watched->pointerLeft();
    if (!QApplication::activeWindow() || !m_timer)
        return;
    m_timer->stop();
    m_watched = client;
    m_timer->start();
    client->pointerEntered();
}

void SharedHoverWatch::stopWatching(HoverClient *client)
{
    if (m_watched != client)
        return;
    if (m_timer)
        m_timer->stop();
    m_watched = nullptr;
}

void SharedHoverWatch::tick()
{
    if (m_watched && QApplication::widgetAt(QCursor::pos()) != m_watched->hoverWidget())
        m_watched->pointerLeft();
}
