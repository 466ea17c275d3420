#include "diskfull.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>

namespace {

// SQLite's result code for a full disk (sqlite3.h), which base does not include.
constexpr int kSqliteFull = 13;

QString existingFolderOf(const QString &file)
{
    QDir folder = QFileInfo(file).absoluteDir();
    while (!folder.exists() && folder.cdUp()) {
    }
    return folder.absolutePath();
}

}   // namespace

namespace DiskFull {

bool explainsSqlite(int sqliteError)
{
    return (sqliteError & 0xff) == kSqliteFull;
}

bool explains(const QString &reason, const QString &path)
{
    if (reason.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))
        || reason.contains(QLatin1String("database or disk is full")))
        return true;
    if (path.isEmpty())
        return false;
    const QStorageInfo disk(existingFolderOf(path));
    return disk.isValid() && disk.bytesAvailable() == 0;
}

QString message(const QString &file)
{
    const QString folder = existingFolderOf(file);
    const QStorageInfo disk(folder);
    const QString mount = disk.isValid() && disk.rootPath() != folder
        ? QStringLiteral("（%1）").arg(QDir::toNativeSeparators(disk.rootPath()))
        : QString();
    return QStringLiteral("磁盘已满：%1 所在的磁盘%2没有空间了，%3 没有写完。请先腾出磁盘空间，再试一次。")
        .arg(QDir::toNativeSeparators(folder), mount, QFileInfo(file).fileName());
}

}   // namespace DiskFull
