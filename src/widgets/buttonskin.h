#pragma once

#include <QColor>
#include <QCursor>
#include <QImage>
#include <QSize>

// The look shared by the skinned controls: the button skin, the way a skin image
// is stretched over a face, the disabled silhouette of a picture and the
// hand cursor. Only Qt GUI is needed here, so the asset generator draws the
// embedded skin and cursor with these same routines.
namespace ButtonSkin {

// The XPBUTTON strip: five images side by side, numbered from 1.
constexpr int kImageWidth = 18;
constexpr int kImageHeight = 21;
constexpr int kImageCount = 5;

enum Image { Normal = 1, Pressed = 2, Disabled = 3, Hot = 4, Focused = 5 };

// The strip as embedded (":/skins/XPBUTTON.bmp"); drawn here when a program
// was linked without the assets, so a button never lacks a face.
QImage strip();

// Image n (1..5) of a strip.
QImage imageOf(const QImage &strip, int n);

// The program's own drawing of the 90 × 21 strip.
QImage drawStrip();

// Stretches a skin image over a face of the given size keeping its borders:
// the left and right halves of the columns and the top and bottom halves of
// the rows are copied, the middle column and row repeated between them.
QImage stretch(const QImage &image, const QSize &size);

// A disabled picture: every pixel that differs from the bottom-left one
// takes the face colour, the others stay as they are.
QImage silhouette(const QImage &picture, const QColor &face);

} // namespace ButtonSkin

namespace HandCursor {

// Cursor numbers registered by the application.
constexpr int kHandCursorId = 246;

// The pointing hand XPHANDCUR, as a 32 × 32 picture with its hot spot.
QImage drawHand(QPoint *hotSpot);

// The cursor registered under a number; unknown numbers give the arrow.
QCursor cursorById(int id);

} // namespace HandCursor
