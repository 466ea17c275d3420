#include "backup.h"

#include "base/apperror.h"
#include "base/diskfull.h"
#include "base/filemodes.h"
#include "base/partialfile.h"
#include "storage/database.h"
#include "storage/databaseaddress.h"
#include "storage/schema.h"
#include "storage/sqlitestatement.h"
#include "storage/statements.h"
#include "storage/tables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QThread>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace Backup {
bool isDatabaseFile(const QString &path);
}

namespace {

const QString kAsideTag = QStringLiteral("before-restore");

// Copies and restores of this process one after the other: a restore must
// not replace a file a copy is reading.
QMutex &fileWork()
{
    static QMutex mutex;
    return mutex;
}

// One SQLite connection of our own, closed when it goes out of scope.
class Connection final
{
public:
    Connection(const QString &path, int flags)
    {
        const QByteArray name = QFile::encodeName(path);
        m_rc = sqlite3_open_v2(name.constData(), &m_db, flags, nullptr);
        if (m_db)
            sqlite3_busy_timeout(m_db, 5000);
    }
    ~Connection() { sqlite3_close_v2(m_db); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool ok() const { return m_rc == SQLITE_OK; }
    sqlite3 *handle() const { return m_db; }
    QString error() const { return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory"); }

private:
    sqlite3 *m_db = nullptr;
    int m_rc = SQLITE_CANTOPEN;
};

QString firstValue(sqlite3 *db, const Statement &statement)
{
    SqliteStatement query(db, statement);
    return query.step() ? query.value(0).toString() : QString();
}

QString baseName(const QString &databasePath)
{
    return QFileInfo(databasePath).completeBaseName();
}

// data-20261206-143005.db, data-20261206-143005-2.db (a second copy within
// the same second); captures: date, time, number.
QRegularExpression copyName(const QString &databasePath)
{
    return QRegularExpression(QStringLiteral("^%1-(\\d{8})-(\\d{6})(?:-(\\d+))?\\.db$")
                                  .arg(QRegularExpression::escape(baseName(databasePath))));
}

// A name no file in the folder has yet.
QString freshName(const QString &databasePath, const QDir &folder, const QString &tag)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString stem = QStringLiteral("%1-%2").arg(baseName(databasePath), stamp);
    for (int n = 1;; ++n) {
        QString name = stem;
        if (n > 1)
            name += QStringLiteral("-%1").arg(n);
        if (!tag.isEmpty())
            name += QLatin1Char('-') + tag;
        name += QStringLiteral(".db");
        if (!folder.exists(name))
            return folder.filePath(name);
    }
}

// The file itself when the path is a symbolic link: a restore puts the copy
// where the link points, and leaves the link.
QString linkTarget(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

// A full disk where a copy is written, in the shop's words; any other
// failure as it was.
[[noreturn]] void failWriting(const DatabaseError &e, const QString &target)
{
    if (DiskFull::explains(e.message(), target))
        throw FileError(DiskFull::message(target));
    throw e;
}

void makeFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw FileError(QStringLiteral("无法建立备份文件夹 %1").arg(folder));
}

enum class Check { None, Quick, Full };

// Copies a database file page by page through SQLite's online backup: one
// step reads one consistent state of the source. The copy is left without
// a write-ahead log (one file on its own) and checked. Throws DatabaseError
// with SQLite's words when the source cannot be read.
void copyDatabase(const QString &source, const QString &target, Check check)
{
    Connection from(source, SQLITE_OPEN_READONLY);
    if (!from.ok())
        throw DatabaseError(from.error());
    Connection to(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!to.ok())
        throw DatabaseError(to.error());
    sqlite3_backup *backup = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
    if (!backup)
        throw DatabaseError(to.error());
    int rc = SQLITE_OK;
    for (int attempt = 0; attempt < 100; ++attempt) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        QThread::msleep(50);
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        if (DiskFull::explainsSqlite(rc) || DiskFull::explainsSqlite(sqlite3_errcode(to.handle())))
            throw FileError(DiskFull::message(target));
        // The reason is the source's when it has one (not a database, damaged).
        const int sourceError = sqlite3_errcode(from.handle());
        throw DatabaseError(sourceError != SQLITE_OK ? from.error() : QString::fromUtf8(sqlite3_errstr(rc)));
    }
    try {
        firstValue(to.handle(), Statements::singleFileJournal());
    } catch (const DatabaseError &e) {
        failWriting(e, target);
    }
    if (check == Check::None)
        return;
    const QString verdict =
        firstValue(to.handle(), check == Check::Full ? Statements::integrityCheck() : Statements::quickCheck());
    if (verdict != QLatin1String("ok"))
        throw DatabaseError(QStringLiteral("database disk image is malformed: %1").arg(verdict));
}

QString shown(const QString &file)
{
    return QFileInfo(file).fileName();
}

// The shop's tables and columns must all be there. What the program adds
// itself (its own tables and columns, the row keys) comes with the upgrade
// when the restored file is opened, as for any older file.
void checkLayout(sqlite3 *db, const QString &file)
{
    const int version = firstValue(db, Statements::layoutVersion()).toInt();
    if (version > Schema::kVersion)
        throw Refusal(QStringLiteral("“%1”来自更新版本的程序，这个版本不能恢复它。").arg(shown(file)));
    for (const Schema::Table &table : Schema::tables()) {
        if (table.own)
            continue;
        QStringList present;
        SqliteStatement columns(db, Statements::tableColumns(table.name));
        while (columns.step())
            present << columns.value(0).toString().toLower();
        for (const Schema::Column &column : table.columns) {
            if (column.own || column.name == Tables::Common::key || present.contains(column.name.toLower()))
                continue;
            throw Refusal(QStringLiteral("“%1”不是本程序的数据文件（没有 %2 表的 %3 列），不能恢复。")
                              .arg(shown(file), table.name, column.name));
        }
    }
}

// SQLite's failure to read a chosen file, in the shop's words.
[[noreturn]] void refuseUnreadable(const QString &file, const QString &reason)
{
    if (reason.contains(QLatin1String("not a database")))
        throw Refusal(QStringLiteral("“%1”不是本程序的数据文件，不能恢复。").arg(shown(file)));
    throw Refusal(QStringLiteral("“%1”已经损坏，不能恢复（%2）。请换一个备份文件。").arg(shown(file), reason));
}

// A checked copy of the database in the folder, under a fresh name with the
// tag; written under a hidden name no listing takes for a copy until it is complete.
QString copyToFolder(const QString &databasePath, const QString &folder, const QString &tag, Check check)
{
    if (!QFileInfo::exists(databasePath))
        throw FileError(QStringLiteral("找不到数据文件 %1").arg(databasePath));
    makeFolder(folder);
    const QDir dir(folder);
    const QString target = freshName(databasePath, dir, tag);
    PartialFile partial(folder, baseName(databasePath));
    copyDatabase(databasePath, partial.path(), check);
    partial.putInPlace(target);
    return target;
}

// The bytes of a file into a partial file, then under its final name.
void copyBytes(const QString &from, const QString &folder, const QString &stem, const QString &to)
{
    PartialFile partial(folder, stem);
    QFile source(from);
    QFile target(partial.path());
    if (!source.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("无法读取 %1：%2").arg(QDir::toNativeSeparators(from), source.errorString()));
    if (!target.open(QIODevice::WriteOnly))
        throw FileError(
            QStringLiteral("无法在 %1 里写文件：%2").arg(QDir::toNativeSeparators(folder), target.errorString()));
    QByteArray piece(1024 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(piece.data(), piece.size());
        if (got < 0)
            throw FileError(
                QStringLiteral("无法读取 %1：%2").arg(QDir::toNativeSeparators(from), source.errorString()));
        if (got == 0)
            break;
        if (target.write(piece.constData(), got) != got || !target.flush()) {
            if (DiskFull::explains(target.errorString(), partial.path()))
                throw FileError(DiskFull::message(to));
            throw FileError(QStringLiteral("无法写入 %1：%2").arg(QDir::toNativeSeparators(to), target.errorString()));
        }
    }
    target.close();
    partial.putInPlace(to);
}

// The file a restore replaces, kept as it is: a damaged or empty file (the
// usual reason to restore) byte for byte with its log, a sound one through
// SQLite, so that what its log holds is in the copy.
QString keepAside(const QString &databasePath, const QString &folder)
{
    if (Backup::isDatabaseFile(databasePath)) {
        try {
            return copyToFolder(databasePath, folder, kAsideTag, Check::None);
        } catch (const DatabaseError &) {
        }
    }
    makeFolder(folder);
    const QString target = freshName(databasePath, QDir(folder), kAsideTag);
    for (const QString &suffix : {QString(), QStringLiteral("-wal")}) {
        if (QFileInfo::exists(databasePath + suffix))
            copyBytes(databasePath + suffix, folder, baseName(databasePath), target + suffix);
    }
    return target;
}

} // namespace

namespace Backup {

bool isDatabaseFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(16) == QByteArray("SQLite format 3", 16);
}

void refuseServer(const QString &databaseAddress)
{
    if (!DatabaseAddress::isServerAddress(databaseAddress))
        return;
    throw Refusal(QStringLiteral("提示：备份和恢复只用于本机的数据文件。这台收银机用的是数据库服务器 %1 上的数据库，"
                                 "请在服务器上用 PostgreSQL 的工具备份和恢复（pg_dump、pg_restore）。")
                      .arg(DatabaseAddress::parse(databaseAddress).serverName()));
}

QString take(const QString &databasePath, const QString &folder)
{
    refuseServer(databasePath);
    QMutexLocker lock(&fileWork());
    if (QDir(folder).exists())
        PartialFile::removeStale(folder, baseName(databasePath));
    return copyToFolder(databasePath, folder, {}, Check::Quick);
}

void removeLeftovers(const QString &databasePath, const QString &folder)
{
    // No wait for a copy under way: it holds the lock of its own file.
    PartialFile::removeStale(folder, baseName(databasePath));
}

QStringList list(const QString &databasePath, const QString &folder)
{
    struct Copy
    {
        QString stamp;
        int number;
        QString path;
    };
    const QRegularExpression pattern = copyName(databasePath);
    const QDir dir(folder);
    QList<Copy> copies;
    for (const QString &name : dir.entryList(QDir::Files)) {
        const QRegularExpressionMatch m = pattern.match(name);
        if (m.hasMatch())
            copies.append({m.captured(1) + m.captured(2), m.captured(3).isEmpty() ? 1 : m.captured(3).toInt(),
                           dir.filePath(name)});
    }
    std::sort(copies.begin(), copies.end(), [](const Copy &a, const Copy &b) {
        return a.stamp != b.stamp ? a.stamp > b.stamp : a.number > b.number;
    });
    QStringList out;
    for (const Copy &c : copies)
        out << c.path;
    return out;
}

QStringList rotate(const QString &databasePath, const QString &folder, int keep)
{
    QMutexLocker lock(&fileWork());
    const QStringList copies = list(databasePath, folder);
    QStringList deleted;
    for (qsizetype i = qMax(keep, 1); i < copies.size(); ++i) {
        if (QFile::remove(copies[i]))
            deleted << copies[i];
    }
    return deleted;
}

void verify(const QString &file)
{
    if (!QFileInfo(file).isFile())
        throw Refusal(QStringLiteral("找不到文件 %1。").arg(file));
    Connection db(file, SQLITE_OPEN_READONLY);
    if (!db.ok())
        refuseUnreadable(file, db.error());
    try {
        const QString verdict = firstValue(db.handle(), Statements::integrityCheck());
        if (verdict != QLatin1String("ok"))
            refuseUnreadable(file, verdict);
    } catch (const DatabaseError &e) {
        refuseUnreadable(file, e.message());
    }
    checkLayout(db.handle(), file);
}

QString restore(const QString &databasePath, const QString &file, const QString &asideFolder)
{
    refuseServer(databasePath);
    QMutexLocker lock(&fileWork());
    const QString target = linkTarget(databasePath);
    const QString incoming = target + QStringLiteral(".restoring");
    QFile::remove(incoming);   // left by a restore that was cut short
    const auto dropIncoming = qScopeGuard([&] { QFile::remove(incoming); });

    if (!QFileInfo(file).isFile())
        throw Refusal(QStringLiteral("找不到文件 %1。").arg(file));
    {
        // Made here, owner-only (or as strict as the file it replaces):
        // SQLite would make it readable by everyone.
        QFile made(incoming);
        if (!made.open(QIODevice::WriteOnly | QIODevice::NewOnly, FileModes::ownerOnly(target))
            || !FileModes::restrictToOwner(incoming, target))
            throw FileError(QStringLiteral("无法在 %1 里写文件：%2")
                                .arg(QDir::toNativeSeparators(QFileInfo(incoming).absolutePath()), made.errorString()));
    }
    try {
        copyDatabase(file, incoming, Check::Full);
    } catch (const DatabaseError &e) {
        refuseUnreadable(file, e.message());
    }
    {
        Connection copy(incoming, SQLITE_OPEN_READONLY);
        if (!copy.ok())
            throw DatabaseError(copy.error());
        checkLayout(copy.handle(), file);
    }

    QString aside;
    if (QFileInfo::exists(target)) {
        aside = keepAside(target, asideFolder);
        // The last connection to close empties the write-ahead log into the
        // file and deletes it; a log still there belongs to a program that
        // has the file open, which would go on writing into the old file.
        // A file SQLite cannot read has no such program: its log, kept aside
        // with it, goes with it.
        bool readable = false;
        {
            Connection live(target, SQLITE_OPEN_READWRITE);
            if (live.ok()) {
                try {
                    firstValue(live.handle(), Statements::checkpoint());
                    readable = true;
                } catch (const DatabaseError &) {
                }
            }
        }
        if (QFileInfo::exists(target + QStringLiteral("-wal"))) {
            if (readable)
                throw Refusal(QStringLiteral("数据文件正被另一个程序使用（收银程序还开着？）。请先关闭它，再恢复。"));
            QFile::remove(target + QStringLiteral("-wal"));
        }
        QFile::remove(target + QStringLiteral("-shm"));
    }
    PartialFile::sync(incoming, false);
    if (std::rename(QFile::encodeName(incoming).constData(), QFile::encodeName(target).constData()) != 0)
        throw FileError(QStringLiteral("无法把 %1 改名为 %2").arg(incoming, target));
    PartialFile::sync(QFileInfo(target).absolutePath(), true);
    return aside;
}

QString restore(Database &db, const QString &file, const QString &asideFolder)
{
    if (db.isServer())
        refuseServer(db.address().text());
    // Also when the file could not be opened (it was deleted): the restore brings it back.
    const QString path = db.filePath();
    if (path.isEmpty())
        throw Refusal(QStringLiteral("不知道数据文件在哪里，无法恢复。"));
    db.close();
    QString aside;
    try {
        aside = restore(path, file, asideFolder);
    } catch (...) {
        try {
            db.open(path);
        } catch (const AppError &) {
        }
        throw;
    }
    db.open(path);
    return aside;
}

} // namespace Backup
