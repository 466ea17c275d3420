#pragma once

#include <QMessageBox>
#include <QString>

#include <utility>

class QWidget;

// The boxes every window shows: the application's error box, the plain
// notice box, and the connection error at start-up.
namespace AppBoxes {

// The application's name: taskbar text and caption of the error and notice boxes.
QString applicationTitle();

// The text the error box shows: a full stop is added when the message ends
// in a letter, digit or other character that sorts after ".".
QString errorBoxText(const QString &message);

void showError(const QString &message);
void showNotice(const QString &text);
// The box at start-up when the data file cannot be used; the plain
// connection message unless a reason is given.
void showConnectionError(const QString &text = QStringLiteral("提示：数据库连接出错！"));
// A question with the buttons Yes and No; true for Yes, Esc answers No. The
// box sits over parent (the active window when none) with the application's
// title unless another is given.
struct Question
{
    QWidget *parent = nullptr;
    QString title;
    QMessageBox::Icon icon = QMessageBox::Question;
    QMessageBox::StandardButton byDefault = QMessageBox::Yes;
};
bool askYesNo(const QString &text, const Question &question = {});

// Runs one event handler; an error it does not catch ends it there and is
// shown in the error box. What the handler did before the error stays done.
template<typename Handler>
void guarded(Handler &&handler);

} // namespace AppBoxes

#include "base/apperror.h"

#include <exception>

template<typename Handler>
void AppBoxes::guarded(Handler &&handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (const AppError &e) {
        showError(e.message());
    } catch (const std::exception &e) {
        showError(QString::fromLocal8Bit(e.what()));
    }
}
