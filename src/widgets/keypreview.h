#pragma once

class QEvent;
class QKeyEvent;
class QObject;

// A window that sees every key before the control that has the focus. The
// key is not consumed: the control gets it afterwards as well.
class KeyPreview
{
public:
    virtual ~KeyPreview() = default;
    virtual void previewKey(const QKeyEvent &event) = 0;
};

// Called by the application object for every event it delivers, before the
// preview: the object the event goes to. A key press meant for the open list
// of a product box either stays with the list, closes the list and goes to
// the box instead, or only closes the list (null: the key goes nowhere).
QObject *keyReceiver(QObject *receiver, QEvent *event);

// Called by the application object for every event it delivers: a key press
// meant for a control of a previewing window (or of a list that such a
// control has popped up) is shown to that window first.
void dispatchKeyPreview(QObject *receiver, QEvent *event);
