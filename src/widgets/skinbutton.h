#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>

class QKeyEvent;

// The skinned push button: the XPBUTTON skin stretched over the face, an
// optional picture above or left of a one-line caption. Enter and Space
// click it while it has the focus; Enter clicks the window's Default button
// when the focus is not on another skin button, Esc clicks a Cancel button.
class SkinButton final : public QAbstractButton
{
    Q_OBJECT

public:
    enum class PicturePosition { Left, Top };

    explicit SkinButton(const QString &caption, QWidget *parent = nullptr);

    // A bitmap picture, drawn at its own size; it takes the place of the
    // icon (setIcon), which is drawn at the icon size, 32 × 32.
    void setPicture(const QPixmap &bitmap);
    QPixmap picture() const { return m_bitmap; }
    // Where the picture stands: above the caption or left of it.
    void setPicturePosition(PicturePosition position);
    PicturePosition picturePosition() const { return m_picturePosition; }
    // The bitmap's pixels of one colour left out (the icon is left as it is).
    void setPictureTransparent(bool on);
    bool pictureTransparent() const { return m_pictureTransparent; }
    void setPictureTransparentColor(const QColor &color);
    QColor pictureTransparentColor() const { return m_pictureTransparentColor; }
    // Pixels between the picture and the caption.
    void setPictureGap(int gap);
    int pictureGap() const { return m_pictureGap; }

    void setDefault(bool on);
    bool isDefault() const { return m_default; }
    void setCancel(bool on);
    bool isCancel() const { return m_cancel; }
    // Whether Enter pressed elsewhere in the window clicks this button.
    bool isActive() const { return m_active; }

    // Given to a containing dialog on click (0: none).
    void setModalResult(int result);
    int modalResult() const { return m_modalResult; }

    QSize sizeHint() const override;

    // Enter or Esc offered to the window's buttons before the focused
    // control gets it; true when this button took it.
    bool dialogKey(const QKeyEvent &key);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void focusMovedTo(QWidget *now);
    void announceFocusToWindow();
    QImage pictureImage() const;
    void giveModalResult();

    QPixmap m_bitmap;
    PicturePosition m_picturePosition = PicturePosition::Top;
    bool m_pictureTransparent = false;
    QColor m_pictureTransparentColor = Qt::black;
    int m_pictureGap = 2;
    bool m_default = false;
    bool m_cancel = false;
    int m_modalResult = 0;

    bool m_focused = false;
    bool m_active = false;
    // The hot image is shown by the paint that follows the pointer's
    // entry only; any later repaint shows the normal face again.
    bool m_hotPending = false;

    Q_DISABLE_COPY_MOVE(SkinButton)
};
