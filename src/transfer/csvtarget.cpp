#include "csvtarget.h"

#include "base/apperror.h"
#include "storage/databaseaddress.h"
#include "transfer/csvexport.h"
#include "transfer/importreport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The same file, whatever the path says (a link, a second name).
bool sameFile(const QString &a, const QString &b)
{
    struct stat first
    {};
    struct stat second
    {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0
        && ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
}

bool isCompanionOf(const QString &path, const QString &databasePath)
{
    if (databasePath.isEmpty() || DatabaseAddress::isServerAddress(databasePath))
        return false;
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        const QString companion = databasePath + QLatin1String(suffix);
        if (sameFile(path, companion) || QFileInfo(path).absoluteFilePath() == QFileInfo(companion).absoluteFilePath())
            return true;
    }
    return false;
}

// SQLite's own files by their first bytes: a database, a write-ahead log
// (either byte order), the index of a log (its version number first).
bool looksLikeSqlite(const QByteArray &start)
{
    static const QByteArray database("SQLite format 3", 16);
    static const QByteArray logs[] = {QByteArray("\x37\x7f\x06\x82", 4), QByteArray("\x37\x7f\x06\x83", 4)};
    static const QByteArray walIndex[] = {QByteArray("\x18\xe2\x2d\x00", 4), QByteArray("\x00\x2d\xe2\x18", 4)};
    if (start.startsWith(database))
        return true;
    for (const QByteArray &magic : logs)
        if (start.startsWith(magic))
            return true;
    for (const QByteArray &magic : walIndex)
        if (start.startsWith(magic))
            return true;
    return false;
}

QByteArray startOf(const QString &path, qint64 bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

// The first line of each CSV file this program writes.
QList<QByteArray> programTitleLines()
{
    QList<QByteArray> lines;
    for (const QStringList &titles : {CsvExport::productTitles(), CsvExport::salesTitles(), ImportReport::titles()})
        lines << "\xEF\xBB\xBF" + titles.join(QLatin1Char(',')).toUtf8() + "\r\n";
    return lines;
}

}   // namespace

namespace CsvTarget {

void refuseDatabase(const QString &path, const QString &databasePath)
{
    if (isCompanionOf(path, databasePath))
        throw Refusal(QStringLiteral("不能写到 %1：这是收银程序正在用的数据文件，写进去所有的商品和销售记录都会丢失。"
                                     "请另选一个文件名。")
                          .arg(shown(path)));
    if (QFileInfo(path).isFile() && looksLikeSqlite(startOf(path, 16)))
        throw Refusal(
            QStringLiteral("不能写到 %1：这是一个数据库文件，不是 CSV 文件。请另选一个文件名。").arg(shown(path)));
}

Existing check(const QString &path, const QString &databasePath)
{
    refuseDatabase(path, databasePath);
    const QFileInfo info(path);
    if (!info.exists())
        return Existing::None;
    if (info.isFile()) {
        const QByteArray start = startOf(path, 512);
        for (const QByteArray &line : programTitleLines())
            if (start.startsWith(line))
                return Existing::ProgramCsv;
    }
    return Existing::OtherFile;
}

QString replaceQuestion(const QString &path, bool other)
{
    if (!other)
        return QStringLiteral("提示：%1 已经有了。要用导出的内容替换它吗？").arg(shown(path));
    return QStringLiteral("提示：%1 已经有了，而且不是本程序导出的 CSV 文件。\n确定要用导出的内容替换它吗？")
        .arg(shown(path));
}

QString notReplaced(const QString &path)
{
    return QStringLiteral("%1 已经有了，而且不是本程序写的 CSV 文件，没有替换它。").arg(shown(path));
}

}   // namespace CsvTarget
