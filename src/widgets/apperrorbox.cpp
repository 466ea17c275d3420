#include "apperrorbox.h"

#include "base/shopwords.h"

#include <QApplication>
#include <QMessageBox>

namespace AppBoxes {

QString applicationTitle()
{
    return QStringLiteral("Fenwo免费小票机打印软件");
}

QString errorBoxText(const QString &message)
{
    // A full stop ends a message that ends in a letter, a digit or a Chinese
    // character; one that already ends a Chinese sentence gets none.
    static const QString kSentenceEnds = QStringLiteral("。！？…");
    if (!message.isEmpty() && message.back() > QLatin1Char('.') && !kSentenceEnds.contains(message.back()))
        return message + QLatin1Char('.');
    return message;
}

void showError(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle(), ShopWords::inChinese(errorBoxText(message)),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void showNotice(const QString &text)
{
    // Centred on the screen, not on a window.
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), ShopWords::inChinese(text), QMessageBox::Ok);
    box.exec();
}

void showConnectionError(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("错误"), ShopWords::inChinese(text), QMessageBox::Yes);
    box.exec();
}

bool askYesNo(const QString &text, const Question &question)
{
    QMessageBox box(question.icon, question.title.isEmpty() ? applicationTitle() : question.title, text,
                    QMessageBox::Yes | QMessageBox::No,
                    question.parent ? question.parent : QApplication::activeWindow());
    box.setDefaultButton(question.byDefault);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace AppBoxes
