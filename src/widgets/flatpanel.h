#pragma once

#include "widgets/panelfill.h"

#include <QColor>
#include <QFrame>

class QPainter;

// A caption drawn embossed, as disabled controls show it: in the button
// highlight colour one pixel right and down, then in the button shadow colour.
void drawEmbossedText(QPainter &painter, const QRect &rect, int flags, const QString &text);

// A coloured band that holds other controls: a filled face (or, when
// transparent, whatever lies beneath), a one-pixel frame in the highlight
// (top, left) and shadow (right, bottom) colours, and an optional caption.
// It follows its parent's colour until one is set.
class FlatPanel : public QFrame
{
    Q_OBJECT

public:
    explicit FlatPanel(QWidget *parent = nullptr);

    void setColor(const QColor &color);
    QColor color() const;
    void setFollowsParentColor(bool on);
    bool followsParentColor() const { return m_fill.followsParent(); }
    void setColorHighlight(const QColor &color);
    QColor colorHighlight() const { return m_colorHighlight; }
    void setColorShadow(const QColor &color);
    QColor colorShadow() const { return m_colorShadow; }
    void setTransparent(bool on);
    bool transparent() const { return m_transparent; }
    void setCaption(const QString &caption);
    QString caption() const { return m_caption; }
    // Horizontal placement of the caption: left, right or centre.
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const { return m_alignment; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    PanelFill m_fill;
    QColor m_colorHighlight;
    QColor m_colorShadow;
    bool m_transparent = false;
    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignHCenter;

    Q_DISABLE_COPY_MOVE(FlatPanel)
};
