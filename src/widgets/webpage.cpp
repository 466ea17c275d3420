#include "webpage.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>

namespace WebPage {

namespace {
std::function<void(const QUrl &)> &opener()
{
    static std::function<void(const QUrl &)> current = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    return current;
}
} // namespace

QUrl address()
{
    return QUrl::fromLocalFile(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("guide.html")));
}

QString addressText()
{
    return QStringLiteral("使用说明 guide.html");
}

void open()
{
    opener()(address());
}

void setOpener(std::function<void(const QUrl &)> newOpener)
{
    opener() = std::move(newOpener);
}

} // namespace WebPage
