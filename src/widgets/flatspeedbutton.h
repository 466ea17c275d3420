#pragma once

#include "widgets/glyphlayout.h"
#include "widgets/hoverwatch.h"
#include "widgets/flatbuttoncolors.h"

#include <QAbstractButton>
#include <QImage>

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
    // Whether the face is filled: never transparent, transparent until the
    // pointer is over it, or always (only the frame shows).
    enum class Transparency { Never, UnlessHovered, Always };

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
    bool followsParentColor() const { return m_colors.followsParentColor; }
    void setFollowsParentColor(bool on);
    QColor colorFocused() const { return m_colors.focused; }
    void setColorFocused(const QColor &color);
    QColor colorDown() const { return m_colors.down; }
    void setColorDown(const QColor &color);
    QColor colorBorder() const { return m_colors.border; }
    void setColorBorder(const QColor &color);
    QColor colorHighlight() const { return m_colorHighlight; }
    void setColorHighlight(const QColor &color);
    QColor colorShadow() const { return m_colorShadow; }
    void setColorShadow(const QColor &color);
    void setFontColor(const QColor &color);

    Transparency transparency() const { return m_transparency; }
    void setTransparency(Transparency transparency);

    // Derive the hover, pressed and frame colours from the face colour.
    bool derivedColors() const { return m_colors.derivedColors; }
    void setDerivedColors(bool use);
    int focusedLightening() const { return m_colors.focusedLightening; }
    void setFocusedLightening(int percent);
    int downDarkening() const { return m_colors.downDarkening; }
    void setDownDarkening(int percent);
    int borderDarkening() const { return m_colors.borderDarkening; }
    void setBorderDarkening(int percent);

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
    int glyphCount() const { return m_glyphCount; }
    void setGlyphCount(int count);
    GlyphLayout glyphLayout() const { return m_layout; }
    void setGlyphLayout(GlyphLayout layout);
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
    QColor m_colorHighlight;
    QColor m_colorShadow;
    Transparency m_transparency = Transparency::Never;
    int m_groupIndex = 0;
    bool m_down = false;
    bool m_allowAllUp = false;
    QImage m_glyph;
    int m_glyphCount = 1;
    GlyphLayout m_layout = GlyphLayout::Top;
    int m_margin = -1;
    int m_spacing = 4;
    int m_modalResult = 0;

    FaceState m_state = FaceState::Up;
    bool m_inside = false;     // the pointer is over the button
    bool m_pressing = false;   // the left button went down here and is still held
    GlyphAndCaption m_placed;
};
