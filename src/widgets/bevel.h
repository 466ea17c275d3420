#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;
class QWidget;

// width nested one-pixel frames, top-left colour on the top row and left
// column, bottom-right colour on the right column and bottom row.
void drawBevelFrame(QPainter &painter, const QRect &rect, const QColor &topLeft, const QColor &bottomRight,
                    int width);

// Paints what the parent shows beneath the control (for transparent faces).
void paintParentBackground(QWidget *control, QPainter &painter);

// An embossed two-tone copy of a glyph on button-face colour.
QImage makeDisabledGlyph(const QImage &glyph);
