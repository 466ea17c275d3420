#include "sidewindow.h"

#include "widgets/apperrorbox.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

SideWindow::SideWindow(Database &db, const QString &caption, QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_db(db)
{
    setWindowTitle(caption);
    setFixedSize(980, 691);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SideWindow::bringUp()
{
    show();
    raise();
    activateWindow();
}

void SideWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        AppBoxes::guarded([this] { reload(); });
}

void SideWindow::previewKey(const QKeyEvent &event)
{
    if (event.key() == Qt::Key_Escape)
        close();
}
