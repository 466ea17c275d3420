#include "automaticbackup.h"

#include "base/apperror.h"
#include "backup/backup.h"
#include "backup/backupsettings.h"
#include "storage/database.h"

#include <QThread>

namespace {

struct Job
{
    QString databasePath;
    QString folder;
    int keep = 30;
};

// Copies, then deletes the oldest; an empty error means it worked.
QString runJob(const Job &job, QString *path)
{
    try {
        *path = Backup::take(job.databasePath, job.folder);
        Backup::rotate(job.databasePath, job.folder, job.keep);
        return {};
    } catch (const AppError &e) {
        return e.message();
    }
}

QString failureText(const QString &error)
{
    return QStringLiteral("提示：自动备份没有成功，数据还没有备份。\n%1\n请在“店铺设置”里检查备份文件夹。").arg(error);
}

} // namespace

AutomaticBackup::AutomaticBackup(Database &db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
    connect(&m_timer, &QTimer::timeout, this, &AutomaticBackup::copyInBackground);
}

AutomaticBackup::~AutomaticBackup()
{
    waitForCopy();
}

void AutomaticBackup::start()
{
    m_timer.stop();
    // A database on a server is backed up on the server.
    if (!m_db.isOpen() || m_db.isServer())
        return;
    // Settings that cannot be read leave the defaults: copies go on.
    BackupSettings settings;
    try {
        settings = BackupSettings::load(m_db);
    } catch (const AppError &) {
    }
    // Copies a killed run left half written go at the start.
    Backup::removeLeftovers(m_db.filePath(), settings.folderFor(m_db.filePath()));
    if (settings.hours > 0)
        m_timer.start(qMax(1, int(settings.hours * 3600.0 * 1000.0)));
}

void AutomaticBackup::copyInBackground()
{
    if (m_thread || !m_db.isOpen() || m_db.isServer())
        return;
    BackupSettings settings;
    try {
        settings = BackupSettings::load(m_db);
    } catch (const AppError &e) {
        finish({}, e.message(), nullptr);
        return;
    }
    const Job job{m_db.filePath(), settings.folderFor(m_db.filePath()), settings.keep};
    QThread *thread = QThread::create([this, job] {
        QString path;
        const QString error = runJob(job, &path);
        // Back on this object's thread once the copy is done.
        QThread *worker = QThread::currentThread();
        QMetaObject::invokeMethod(this, [this, path, error, worker] { finish(path, error, worker); },
                                  Qt::QueuedConnection);
    });
    m_thread = thread;
    m_thread->start();
}

QString AutomaticBackup::copyNow()
{
    waitForCopy();
    if (!m_db.isOpen() || m_db.isServer())
        return {};
    QString path;
    QString error;
    try {
        const BackupSettings settings = BackupSettings::load(m_db);
        error = runJob({m_db.filePath(), settings.folderFor(m_db.filePath()), settings.keep}, &path);
    } catch (const AppError &e) {
        error = e.message();
    }
    finish(path, error, nullptr);
    return error.isEmpty() ? path : QString();
}

void AutomaticBackup::waitForCopy()
{
    if (!m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

void AutomaticBackup::finish(const QString &path, const QString &error, QThread *thread)
{
    if (thread && thread == m_thread)
        waitForCopy();
    if (error.isEmpty()) {
        m_failureTold = false;
        emit copied(path);
    } else if (!m_failureTold) {
        m_failureTold = true;
        emit failed(failureText(error));
    }
    emit finished();
}
