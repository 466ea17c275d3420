#include "modalwatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTest>

ModalWatcher::ModalWatcher(QMessageBox::StandardButton answer, QObject *parent)
    : QObject(parent)
    , m_answer(answer)
{
    connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
    m_timer.start(5);
}

void ModalWatcher::poll()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || box->property("fenwoSeen").toBool())
        return;
    box->setProperty("fenwoSeen", true);
    Seen seen;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    for (QAbstractButton *b : box->buttons())
        seen.buttons << b->text();
    m_seen << seen;

    if (m_escape) {
        QTest::keyClick(box, Qt::Key_Escape);
        return;
    }
    QAbstractButton *target = nullptr;
    if (m_answer != QMessageBox::NoButton)
        target = box->button(m_answer);
    if (!target)
        target = box->defaultButton();
    if (!target && !box->buttons().isEmpty())
        target = box->buttons().first();
    if (target)
        target->click();
    else
        box->reject();
}
