#include "keypreview.h"

#include "widgets/apperrorbox.h"
#include "widgets/flatcombobox.h"

#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

KeyPreview *previewWindowOf(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (auto *preview = dynamic_cast<KeyPreview *>(w))
            return preview;
        // A popped-up list belongs to the window of the control that owns it.
        if (w->isWindow() && w->windowType() != Qt::Popup)
            return nullptr;
    }
    return nullptr;
}

// The flat combo box whose open list holds the widget, if any.
FlatComboBox *openListOwner(QWidget *widget)
{
    QWidget *popup = widget->window();
    if (popup->windowType() != Qt::Popup)
        return nullptr;
    for (QWidget *w = popup->parentWidget(); w; w = w->parentWidget()) {
        if (auto *box = qobject_cast<FlatComboBox *>(w))
            return box->isListOpen() ? box : nullptr;
    }
    return nullptr;
}

} // namespace

QObject *keyReceiver(QObject *receiver, QEvent *event)
{
    const bool press = event->type() == QEvent::KeyPress;
    if ((!press && event->type() != QEvent::ShortcutOverride) || !receiver->isWidgetType())
        return receiver;
    FlatComboBox *box = openListOwner(static_cast<QWidget *>(receiver));
    if (!box)
        return receiver;
    const FlatComboBox::OpenListKey what = box->keyInOpenList(static_cast<const QKeyEvent &>(*event));
    if (what == FlatComboBox::OpenListKey::Kept)
        return receiver;
    // The list would act on the announcement of the key already (close, or
    // take the highlighted entry); it hears nothing of a key that is not its.
    if (!press)
        return nullptr;
    switch (what) {
    case FlatComboBox::OpenListKey::Kept:
        return receiver;
    case FlatComboBox::OpenListKey::ClosesList:
        box->hidePopup();
        return nullptr;
    case FlatComboBox::OpenListKey::GoesToBox:
        box->hidePopup();   // the box has the focus again
        return box;
    }
    return receiver;
}

void dispatchKeyPreview(QObject *receiver, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !receiver->isWidgetType())
        return;
    KeyPreview *preview = previewWindowOf(static_cast<QWidget *>(receiver));
    if (!preview)
        return;
    const auto &key = static_cast<const QKeyEvent &>(*event);
    AppBoxes::guarded([&] { preview->previewKey(key); });
}
