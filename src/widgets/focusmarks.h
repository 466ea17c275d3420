#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class FocusMark;
class QWidget;

// Keeps one focus mark per window on whichever control has the keyboard
// focus there. Controls that draw their own mark say so with the
// "marksOwnFocus" property.
class FocusMarks final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FocusMarks)

public:
    explicit FocusMarks(QObject *parent = nullptr);

    static QWidget *markedControl(QWidget *focused);   // nullptr: no mark for it

private:
    void focusChanged(QWidget *old, QWidget *now);

    QHash<QWidget *, QPointer<FocusMark>> m_marks;   // by window
};
