#include "inputhold.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

namespace {

QList<const QWidget *> &holdingWindows()
{
    static QList<const QWidget *> windows;
    return windows;
}

// What types into a box comes again afterwards; anything else would act now.
bool isTyping(const QKeyEvent &key)
{
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace: return true;
    default: return !key.text().isEmpty() && key.text().at(0).isPrint();
    }
}

}   // namespace

InputHold::InputHold(QWidget *window, QWidget *notice)
    : m_window(window)
    , m_notice(notice)
{
    holdingWindows() << window;
    qApp->installEventFilter(this);
    if (m_notice) {
        m_notice->show();
        m_notice->raise();
        m_notice->repaint();
    }
}

InputHold::~InputHold()
{
    // Keys the platform kept back while the work waited (it lets no input
    // through then) are taken in now, to come after any box about the work.
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
    holdingWindows().removeOne(m_window.data());
    if (m_notice)
        m_notice->hide();
    if (!m_keys.isEmpty() && m_window) {
        QTimer::singleShot(0, m_window, [window = m_window, keys = m_keys] { typeAgain(window, keys); });
    }
}

bool InputHold::holds(const QWidget *window)
{
    return holdingWindows().contains(window);
}

bool InputHold::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !m_window || widget->window() != m_window)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (isTyping(*key))
            m_keys << Key{key->key(), key->modifiers(), key->text()};
        else
            QApplication::beep();
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: QApplication::beep(); return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel: return true;
    default: return false;
    }
}

void InputHold::typeAgain(const QPointer<QWidget> &window, QList<Key> keys)
{
    while (window && !keys.isEmpty()) {
        // A box that is up (an error about the work) is read first: the keys wait for it.
        if (QApplication::activeModalWidget()) {
            QTimer::singleShot(50, window, [window, keys] { typeAgain(window, keys); });
            return;
        }
        // To the window's control with the focus, as the keys were typed at the window.
        const Key key = keys.takeFirst();
        QKeyEvent press(QEvent::KeyPress, key.key, key.modifiers, key.text);
        QApplication::sendEvent(window->focusWidget() ? window->focusWidget() : window.data(), &press);
        QKeyEvent release(QEvent::KeyRelease, key.key, key.modifiers, key.text);
        if (window)
            QApplication::sendEvent(window->focusWidget() ? window->focusWidget() : window.data(), &release);
    }
}
