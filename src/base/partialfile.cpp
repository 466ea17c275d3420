#include "partialfile.h"

#include "base/apperror.h"
#include "base/diskfull.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

QString hiddenName(const QString &stem, const QString &unique)
{
    return QStringLiteral(".%1-%2.partial").arg(stem, unique);
}

QString reason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

}   // namespace

PartialFile::PartialFile(const QString &folder, const QString &stem)
{
    QByteArray name = QFile::encodeName(QDir(folder).filePath(hiddenName(stem, QStringLiteral("XXXXXX"))));
    // mkostemps makes the file with mode 0600 whatever the umask.
    m_fd = ::mkostemps(name.data(), int(qstrlen(".partial")), O_CLOEXEC);
    if (m_fd < 0) {
        const QString why = reason();
        throw FileError(DiskFull::explains(why, folder)
                            ? DiskFull::message(QDir(folder).filePath(hiddenName(stem, QStringLiteral("…"))))
                            : QStringLiteral("无法在 %1 里写文件：%2").arg(QDir::toNativeSeparators(folder), why));
    }
    m_path = QFile::decodeName(name);
    ::flock(m_fd, LOCK_EX);
}

PartialFile::~PartialFile()
{
    if (!m_placed)
        ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
}

void PartialFile::sync(const QString &path, bool folder)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), folder ? (O_RDONLY | O_DIRECTORY) : O_RDONLY);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    const QString why = reason();
    if (fd >= 0)
        ::close(fd);
    if (!synced) {
        if (DiskFull::explains(why, path))
            throw FileError(DiskFull::message(path));
        throw FileError(QStringLiteral("无法把 %1 写到磁盘上：%2").arg(QDir::toNativeSeparators(path), why));
    }
}

void PartialFile::putInPlace(const QString &finalPath)
{
    if (::fsync(m_fd) != 0) {
        const QString why = reason();
        if (DiskFull::explains(why, m_path))
            throw FileError(DiskFull::message(finalPath));
        throw FileError(QStringLiteral("无法把 %1 写到磁盘上：%2").arg(QDir::toNativeSeparators(finalPath), why));
    }
    if (std::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(finalPath).constData()) != 0)
        throw FileError(QStringLiteral("无法把 %1 改名为 %2：%3")
                            .arg(QDir::toNativeSeparators(m_path), QDir::toNativeSeparators(finalPath), reason()));
    m_placed = true;
    sync(QFileInfo(finalPath).absolutePath(), true);
}

int PartialFile::removeStale(const QString &folder, const QString &stem)
{
    // SQLite writing into a partial file keeps its journal beside it, under
    // the same name with "-journal" (or "-wal", "-shm") after it.
    const QRegularExpression pattern(QStringLiteral("^(\\.%1-[A-Za-z0-9]{6}\\.partial)(-journal|-wal|-shm)?$")
                                         .arg(QRegularExpression::escape(stem)));
    const QDir dir(folder);
    int removed = 0;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch() || match.hasCaptured(2))
            continue;
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        // A copy under way holds its lock; one that was killed holds none.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(path.constData()) == 0)
            ++removed;
        ::close(fd);
    }
    // Journals whose partial file is gone (deleted just now, or before).
    for (const QString &name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (match.hasMatch() && match.hasCaptured(2) && !dir.exists(match.captured(1)))
            QFile::remove(dir.filePath(name));
    }
    return removed;
}
