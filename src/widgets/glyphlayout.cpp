#include "glyphlayout.h"

#include <QFontMetrics>

#include <algorithm>

GlyphAndCaption layoutGlyphAndCaption(const QFont &font, const QRect &client, const QPoint &pressOffset,
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
