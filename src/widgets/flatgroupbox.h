#pragma once

#include "widgets/panelfill.h"

#include <QColor>
#include <QWidget>

// A framed area that holds other controls: a one-pixel frame (or only its
// top line) whose top line is open behind the caption at the top left.
// It follows its parent's colour until one is set.
class FlatGroupBox : public QWidget
{
    Q_OBJECT

public:
    enum class Border { Full, TopLineOnly };

    explicit FlatGroupBox(QWidget *parent = nullptr);

    void setColor(const QColor &color);
    QColor color() const;
    void setFollowsParentColor(bool on);
    bool followsParentColor() const { return m_fill.followsParent(); }
    void setColorBorder(const QColor &color);
    QColor colorBorder() const { return m_colorBorder; }
    void setBorder(Border border);
    Border border() const { return m_border; }
    void setDerivedColors(bool on);
    bool derivedColors() const { return m_derivedColors; }
    void setBorderDarkening(int percent);
    int borderDarkening() const { return m_borderDarkening; }
    void setTransparent(bool on);
    bool transparent() const { return m_transparent; }
    void setCaption(const QString &caption);
    QString caption() const { return m_caption; }

    QSize sizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void recomputeDerived();

    PanelFill m_fill;
    QColor m_colorBorder;
    Border m_border = Border::Full;
    bool m_derivedColors = false;
    int m_borderDarkening = 50;
    bool m_transparent = false;
    QString m_caption;
    int m_shortcutId = 0;

    Q_DISABLE_COPY_MOVE(FlatGroupBox)
};
