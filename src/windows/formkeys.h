#pragma once

#include <QList>

#include <functional>

class QEvent;
class QObject;

// The keys of a side window's form: a function key runs its action wherever
// the focus is (or only on one control), Enter in a box runs that box's
// action (a scanner ends a code with Enter; a box often hands on to the next).
// Actions run through the error box, so a refusal is shown, never thrown.
class FormKeys final
{
public:
    void onKey(int key, std::function<void()> action, const QObject *only = nullptr);
    void onEnter(const QObject *box, std::function<void()> action);

    // Runs the action of a key press these keys know; false for any other event.
    bool handle(const QObject *watched, const QEvent *event) const;

private:
    struct Binding
    {
        int key;   // 0: Enter or Return
        const QObject *only;
        std::function<void()> action;
    };
    QList<Binding> m_bindings;
};
