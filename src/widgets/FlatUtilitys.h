#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

class QFont;
class QPainter;
class QWidget;

// Stored colour values: red in the low byte; a high byte of 0x80 names a
// system colour by its index (5 window, 8 window text, 13 highlight,
// 15 button face, 16 button shadow, 20 button highlight), resolved through
// the application palette.
QColor ResolveColorValue(quint32 value);

enum class LightnessDirection { Lighter, Darker };

// The rule behind every "advanced colour": percent 0 gives the fallback.
QColor AdjustLightness(const QColor &base, const QColor &fallback, int percent, LightnessDirection direction);

// width nested one-pixel frames, top-left colour on the top row and left
// column, bottom-right colour on the right column and bottom row.
void DrawBevelFrame(QPainter &painter, const QRect &rect, const QColor &topLeft, const QColor &bottomRight,
                    int width);

// Paints what the parent shows beneath the control (for transparent faces).
void PaintParentBackground(QWidget *control, QPainter &painter);

// An embossed two-tone copy of a glyph on button-face colour.
QImage MakeDisabledGlyph(const QImage &glyph);

enum class GlyphLayout { Left, Right, Top, Bottom };

struct GlyphAndCaption
{
    QPoint glyphTopLeft;
    QRect captionRect;
};

GlyphAndCaption LayoutGlyphAndCaption(const QFont &font, const QRect &client, const QPoint &pressOffset,
                                      const QString &caption, GlyphLayout layout, int margin, int spacing,
                                      const QImage &glyph, int numberOfImages);
