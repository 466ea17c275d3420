#pragma once

#include "widgets/glyphlayout.h"
#include "widgets/hoverwatch.h"
#include "widgets/flatbuttoncolors.h"

#include <QAbstractButton>
#include <QImage>

enum TTransparentMode { tmAlways, tmNotFocused, tmNone };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A flat button that paints its whole face itself: a filled face with a
// one-pixel frame and a caption, or, in transparent mode, only the frame over
// whatever lies beneath it. It never takes the keyboard focus. Buttons of one
// parent with the same non-zero group index latch down like radio buttons.
// The hover look is kept by one timer shared by all speed buttons.
class FlatSpeedButton final : public QAbstractButton, private HoverClient
{
    Q_OBJECT

public:
    enum class FaceState { Up, Disabled, Pressed, Latched };

    explicit FlatSpeedButton(const QString &caption, QWidget *parent = nullptr);
    ~FlatSpeedButton() override;
    Q_DISABLE_COPY_MOVE(FlatSpeedButton)

    // The action buttons' look: own face colour, hover, pressed and frame
    // colours, and the caption colour.
    void setColors(const QColor &face, const QColor &focused, const QColor &down, const QColor &border,
                   const QColor &caption = Qt::white);
    // A hot spot over a window picture: no face, only the frame in the given
    // colour at rest and as the light edge while hovered or pressed.
    void setTransparentFrame(const QColor &frame);

    // Face fill at rest; until set, the parent's background colour.
    QColor color() const;
    void setColor(const QColor &color);
    bool parentColor() const { return m_colors.parentColor; }
    void setParentColor(bool parentColor);
    QColor colorFocused() const { return m_colors.focused; }
    void setColorFocused(const QColor &color);
    QColor colorDown() const { return m_colors.down; }
    void setColorDown(const QColor &color);
    QColor colorBorder() const { return m_colors.border; }
    void setColorBorder(const QColor &color);
    QColor colorHighLight() const { return m_colorHighLight; }
    void setColorHighLight(const QColor &color);
    QColor colorShadow() const { return m_colorShadow; }
    void setColorShadow(const QColor &color);
    void setFontColor(const QColor &color);

    TTransparentMode transparentMode() const { return m_transparentMode; }
    void setTransparentMode(TTransparentMode mode);

    // Derive the hover, pressed and frame colours from the face colour.
    bool useAdvColors() const { return m_colors.useAdvColors; }
    void setUseAdvColors(bool use);
    int advColorFocused() const { return m_colors.advFocused; }
    void setAdvColorFocused(int percent);
    int advColorDown() const { return m_colors.advDown; }
    void setAdvColorDown(int percent);
    int advColorBorder() const { return m_colors.advBorder; }
    void setAdvColorBorder(int percent);

    int groupIndex() const { return m_groupIndex; }
    void setGroupIndex(int index);
    // Latched down; only a button of a group (non-zero group index) latches.
    bool isDown() const { return m_down; }
    void setDown(bool down);
    bool allowAllUp() const { return m_allowAllUp; }
    void setAllowAllUp(bool allow);

    // A strip of one to four equal images: up, disabled, pressed, latched.
    QImage glyph() const { return m_glyph; }
    void setGlyph(const QImage &glyph);
    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int count);
    TButtonLayout glyphLayout() const { return m_layout; }
    void setGlyphLayout(TButtonLayout layout);
    int margin() const { return m_margin; }
    void setMargin(int margin);   // -1 centres
    int spacing() const { return m_spacing; }
    void setSpacing(int spacing);

    // Given to the containing dialog on a click, when not 0.
    int modalResult() const { return m_modalResult; }
    void setModalResult(int result);

    FaceState faceState() const { return m_state; }
    bool isHovered() const { return m_inside; }

signals:
    void doubleClicked();   // only while latched down

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QWidget *hoverWidget() override { return this; }
    void pointerEntered() override;
    void pointerLeft() override;

    bool isInside(const QPoint &pos) const;
    void refreshTracking();
    void runClick();
    void notifyGroup();
    void groupButtonPressed(int groupIndex, FlatSpeedButton *sender);
    QColor faceFill(bool *fill) const;
    void paintGlyph(QPainter &painter, const QPoint &at);

    FlatButtonColors m_colors;
    QColor m_colorHighLight;
    QColor m_colorShadow;
    TTransparentMode m_transparentMode = tmNone;
    int m_groupIndex = 0;
    bool m_down = false;
    bool m_allowAllUp = false;
    QImage m_glyph;
    int m_numGlyphs = 1;
    TButtonLayout m_layout = blGlyphTop;
    int m_margin = -1;
    int m_spacing = 4;
    int m_modalResult = 0;

    FaceState m_state = FaceState::Up;
    bool m_inside = false;     // the pointer is over the button
    bool m_pressing = false;   // the left button went down here and is still held
    GlyphAndCaption m_placed;
};
