#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

class QFont;

enum class GlyphLayout { Left, Right, Top, Bottom };

struct GlyphAndCaption
{
    QPoint glyphTopLeft;
    QRect captionRect;
};

GlyphAndCaption layoutGlyphAndCaption(const QFont &font, const QRect &client, const QPoint &pressOffset,
                                      const QString &caption, GlyphLayout layout, int margin, int spacing,
                                      const QImage &glyph, int numberOfImages);
