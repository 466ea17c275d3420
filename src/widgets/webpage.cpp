#include "webpage.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

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
    // Beside the program in a build tree or a portable folder; in
    // PREFIX/share/fenwo when the program is installed in PREFIX/bin.
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString beside = programFolder.filePath(QStringLiteral("guide.html"));
    const QString installed = QDir::cleanPath(programFolder.filePath(QStringLiteral("../share/fenwo/guide.html")));
    return QUrl::fromLocalFile(!QFileInfo::exists(beside) && QFileInfo::exists(installed) ? installed : beside);
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
