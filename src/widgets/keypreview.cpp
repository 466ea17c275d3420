#include "keypreview.h"

#include "apperrorbox.h"

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

} // namespace

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
