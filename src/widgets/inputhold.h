#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// While slow work runs inside a handler of a window (a receipt on its way to
// a network printer, the window drawn meanwhile), keeps the keys typed at the
// window and types them again at the control with the focus once the work is
// over and no box is up: a scan typed meanwhile is never lost, not even to
// the box that tells of a failed print. Other keys and clicks would start
// work beside it: they are refused with a beep.
class InputHold final : public QObject
{
    Q_DISABLE_COPY_MOVE(InputHold)

public:
    // notice: shown while the hold lasts (may be null).
    InputHold(QWidget *window, QWidget *notice);
    ~InputHold() override;

    static bool holds(const QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Key
    {
        int key = 0;
        Qt::KeyboardModifiers modifiers;
        QString text;
    };
    static void typeAgain(const QPointer<QWidget> &window, QList<Key> keys);

    QPointer<QWidget> m_window;
    QPointer<QWidget> m_notice;
    QList<Key> m_keys;
};
