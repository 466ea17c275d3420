#pragma once

#include <QColor>
#include <QWidget>

// A framed area that holds other controls: a one-pixel frame (or only its
// top line) whose top line is open behind the caption at the top left.
// It follows its parent's colour until one is set.
class FlatGroupBox : public QWidget
{
    Q_OBJECT

public:
    enum TGroupBoxBorder { brFull, brOnlyTopLine };

    explicit FlatGroupBox(QWidget *parent = nullptr);

    void setColor(const QColor &color);
    QColor color() const;
    void setParentColor(bool on);
    bool parentColor() const { return m_parentColor; }
    void setColorBorder(const QColor &color);
    QColor colorBorder() const { return m_colorBorder; }
    void setBorder(TGroupBoxBorder border);
    TGroupBoxBorder border() const { return m_border; }
    void setUseAdvColors(bool on);
    bool useAdvColors() const { return m_useAdvColors; }
    void setAdvColorBorder(int percent);
    int advColorBorder() const { return m_advColorBorder; }
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
    void recomputeAdvanced();

    bool m_parentColor = true;
    QColor m_colorBorder;
    TGroupBoxBorder m_border = brFull;
    bool m_useAdvColors = false;
    int m_advColorBorder = 50;
    bool m_transparent = false;
    QString m_caption;
    int m_shortcutId = 0;

    Q_DISABLE_COPY_MOVE(FlatGroupBox)
};
