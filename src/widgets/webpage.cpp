#include "webpage.h"

#include "base/apperror.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace WebPage {

namespace {
void openInBrowser(const QUrl &url)
{
    if (!QDesktopServices::openUrl(url)) {
        throw FileError(QStringLiteral("提示：没有能打开使用说明（这台电脑上没有找到可以打开网页的浏览器）。\n"
                                       "使用说明在：%1")
                            .arg(QDir::toNativeSeparators(url.toLocalFile())));
    }
}

std::function<void(const QUrl &)> &opener()
{
    static std::function<void(const QUrl &)> current = openInBrowser;
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
    return QStringLiteral("使用说明");
}

void open()
{
    opener()(address());
}

void setOpener(std::function<void(const QUrl &)> newOpener)
{
    opener() = newOpener ? std::move(newOpener) : openInBrowser;
}

} // namespace WebPage
