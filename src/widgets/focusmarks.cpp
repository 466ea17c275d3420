#include "focusmarks.h"

#include "widgets/focusmark.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QWidget>

FocusMarks::FocusMarks(QObject *parent)
    : QObject(parent)
{
    connect(qApp, &QApplication::focusChanged, this, &FocusMarks::focusChanged);
}

QWidget *FocusMarks::markedControl(QWidget *focused)
{
    if (!focused || !focused->parentWidget())
        return nullptr;
    // The typing line inside a combo or date box: the mark goes round the whole box.
    QWidget *control = focused;
    QWidget *parent = focused->parentWidget();
    if (qobject_cast<QComboBox *>(parent) || qobject_cast<QAbstractSpinBox *>(parent))
        control = parent;
    if (!control->parentWidget() || control->property("marksOwnFocus").toBool())
        return nullptr;
    // Open lists and menus are transient; the control they belong to keeps its mark.
    if (control->window()->windowType() == Qt::Popup)
        return nullptr;
    if (!(control->focusPolicy() & Qt::TabFocus))
        return nullptr;
    return control;
}

void FocusMarks::focusChanged(QWidget *old, QWidget *now)
{
    // A list or menu opening keeps the mark where it was.
    if (now && (now->window()->windowType() == Qt::Popup))
        return;
    if (old && old->window() != (now ? now->window() : nullptr)) {
        if (const QPointer<FocusMark> mark = m_marks.value(old->window()))
            mark->follow(nullptr);
    }
    if (!now)
        return;
    QWidget *window = now->window();
    QWidget *control = markedControl(now);
    QPointer<FocusMark> &mark = m_marks[window];
    if (!control) {
        if (mark)
            mark->follow(nullptr);
        return;
    }
    if (!mark) {
        mark = new FocusMark(control->parentWidget());
        connect(window, &QObject::destroyed, this, [this, window] { m_marks.remove(window); });
    }
    mark->follow(control);
}
