#pragma once

#include <QPointer>
#include <QWidget>

// A frame drawn round the control that has the keyboard focus, over it and
// its neighbours, so that the focus shows on every kind of control alike
// (the flat boxes only change their fill by a shade, which the eye misses).
// It lives beside the control, in the control's parent, and follows it.
class FocusMark final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FocusMark)

public:
    explicit FocusMark(QWidget *parent = nullptr);

    void follow(QWidget *control);   // nullptr: hide
    QWidget *control() const { return m_control; }

    static constexpr int kWidth = 2;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void place();

    QPointer<QWidget> m_control;
};
