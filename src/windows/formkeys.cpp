#include "formkeys.h"

#include "widgets/apperrorbox.h"
#include "windows/windowparts.h"

#include <QKeyEvent>

void FormKeys::onKey(int key, std::function<void()> action, const QObject *only)
{
    m_bindings << Binding{key, only, std::move(action)};
}

void FormKeys::onEnter(const QObject *box, std::function<void()> action)
{
    m_bindings << Binding{0, box, std::move(action)};
}

bool FormKeys::handle(const QObject *watched, const QEvent *event) const
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int pressed = static_cast<const QKeyEvent *>(event)->key();
    const int key = WindowParts::isEnter(pressed) ? 0 : pressed;
    for (const Binding &binding : m_bindings) {
        if (binding.key == key && (!binding.only || binding.only == watched)) {
            AppBoxes::guarded(binding.action);
            return true;
        }
    }
    return false;
}
