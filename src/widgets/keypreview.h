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

// Called by the application object for every event it delivers: a key press
// meant for a control of a previewing window (or of a list that such a
// control has popped up) is shown to that window first.
void dispatchKeyPreview(QObject *receiver, QEvent *event);
