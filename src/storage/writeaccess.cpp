#include "writeaccess.h"

#include "base/apperror.h"
#include "storage/datafilemessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QTemporaryFile>

#include <sqlite3.h>

namespace WriteAccess {

namespace {

// Tried for real: permission bits do not tell what root, a read-only mount or
// an ACL allows.
bool canWrite(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
}

bool canCreateIn(const QString &folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".fenwo-write-test-XXXXXX")));
    return probe.open();
}

} // namespace

bool isRefusal(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    return ok && (code == SQLITE_READONLY || code == SQLITE_CANTOPEN);
}

bool isBusy(const QSqlError &error)
{
    bool ok = false;
    return (error.nativeErrorCode().toInt(&ok) & 0xff) == SQLITE_BUSY && ok;
}

QString unwritablePart(const QString &file)
{
    const QString path = QFileInfo(file).absoluteFilePath();
    if (!canWrite(path))
        return path;
    bool toBeMade = false;
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString companion = path + QLatin1String(suffix);
        if (!QFileInfo::exists(companion))
            toBeMade = true;
        else if (!canWrite(companion))
            return companion;
    }
    // The folder matters only for the -wal and -shm files SQLite must make.
    const QString folder = QFileInfo(path).absolutePath();
    if (toBeMade && !canCreateIn(folder))
        return folder;
    return {};
}

void refuseIfUnwritable(const QSqlError &error, const QString &file)
{
    if (isRefusal(error))
        refuseIfUnwritable(file);
}

void refuseIfUnwritable(const QString &file)
{
    const QString part = unwritablePart(file);
    if (part.isEmpty())
        return;
    if (QFileInfo(part).isDir())
        throw DataFileError(DataFileMessages::unwritableFolder(QDir::toNativeSeparators(part)));
    throw DataFileError(DataFileMessages::unwritableFile(QDir::toNativeSeparators(part)));
}

} // namespace WriteAccess
