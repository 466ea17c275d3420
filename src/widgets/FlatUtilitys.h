#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

class QFont;
class QPainter;
class QTimer;
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

// A control whose hover look is driven by a SharedHoverWatch.
class HoverClient
{
public:
    virtual QWidget *hoverWidget() = 0;
    virtual void pointerEntered() = 0;   // set the hover look if it is not set
    virtual void pointerLeft() = 0;      // clear it, unless a mouse button is held on the control

protected:
    ~HoverClient() = default;
};

// One 100 ms timer for all controls of a kind. It watches the one control the
// pointer last moved onto and tells it when the pointer is no longer over it.
// The timer exists while at least one control of the kind does.
class SharedHoverWatch final
{
public:
    SharedHoverWatch() = default;
    Q_DISABLE_COPY_MOVE(SharedHoverWatch)

    void join();                      // a control of the kind was made
    void leave(HoverClient *client);  // one is going away

    // Each mouse move over the control, with the pointer's screen position.
    void pointerMoved(HoverClient *client, const QPoint &globalPos);
    void stopWatching(HoverClient *client);
    bool isWatching(const HoverClient *client) const { return m_watched && m_watched == client; }
    bool exists() const { return m_timer != nullptr; }

    static constexpr int kIntervalMs = 100;

private:
    void tick();

    int m_live = 0;
    QTimer *m_timer = nullptr;
    HoverClient *m_watched = nullptr;
};
