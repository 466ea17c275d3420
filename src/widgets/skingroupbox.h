#pragma once

#include <QColor>
#include <QWidget>

// A rounded group frame with a coloured caption set into its top line.
class SkinGroupBox : public QWidget
{
    Q_OBJECT

public:
    explicit SkinGroupBox(QWidget *parent = nullptr);

    void setBorderColor(const QColor &color);
    QColor borderColor() const { return m_borderColor; }
    void setCaptionColor(const QColor &color);
    QColor captionColor() const { return m_captionColor; }
    void setColor(const QColor &color);
    QColor color() const { return m_color; }
    void setCaption(const QString &caption);
    QString caption() const { return m_caption; }

    QSize sizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_borderColor;
    QColor m_captionColor;
    QColor m_color;
    QString m_caption;
    int m_shortcutId = 0;

    Q_DISABLE_COPY_MOVE(SkinGroupBox)
};
