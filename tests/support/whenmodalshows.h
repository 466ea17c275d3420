#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>

// Runs `script` on the window once it is up: it is modal, so the click that
// opens it returns only when it is closed.
template <typename Dialog>
void whenModalShows(const std::function<void(Dialog *)> &script)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, script] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        script(dialog);
    });
    timer->start(5);
}
