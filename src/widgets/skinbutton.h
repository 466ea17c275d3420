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
    enum TPicPos { pLeft, pTop };

    explicit SkinButton(const QString &caption, QWidget *parent = nullptr);

    // A bitmap picture, drawn at its own size; it takes the place of the
    // icon (setIcon), which is drawn at the icon size, 32 × 32.
    void setPicture(const QPixmap &bitmap);
    QPixmap picture() const { return m_bitmap; }
    void setPicPos(TPicPos pos);
    TPicPos picPos() const { return m_picPos; }
    void setPicTrans(bool on);
    bool picTrans() const { return m_picTrans; }
    void setPicTransColor(const QColor &color);
    QColor picTransColor() const { return m_picTransColor; }
    void setPicOffSet(int gap);
    int picOffSet() const { return m_picOffSet; }

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
    TPicPos m_picPos = pTop;
    bool m_picTrans = false;
    QColor m_picTransColor = Qt::black;
    int m_picOffSet = 2;
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
