#include "privateserver.h"

#include "storage/database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QUrl>

#include <csignal>
#include <sys/types.h>

namespace {

int script(const QStringList &arguments, QString *output = nullptr)
{
    QProcess process;
    process.start(QStringLiteral("bash"), QStringList{QStringLiteral(FENWO_PG_TEST_ENV)} + arguments);
    process.waitForFinished(120000);
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError()).trimmed();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// The server's processes: the postmaster (first line of postmaster.pid) and
// every process it started, read from /proc.
QList<pid_t> serverProcesses(const QString &folder)
{
    QFile pidFile(QDir(folder).filePath(QStringLiteral("data/postmaster.pid")));
    if (!pidFile.open(QIODevice::ReadOnly))
        return {};
    const pid_t postmaster = pid_t(pidFile.readLine().trimmed().toInt());
    QList<pid_t> processes{postmaster};
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const pid_t pid = pid_t(entry.toInt(&number));
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid …": the name may hold blanks, not ")".
        const QByteArray line = stat.readAll();
        const QList<QByteArray> after = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (after.size() > 1 && pid_t(after[1].toInt()) == postmaster)
            processes << pid;
    }
    return processes;
}

} // namespace

PrivateServer::PrivateServer()
    : m_folder(QDir(m_dir.path()).filePath(QStringLiteral("server")))
{
    // The server runs as a user of its own, who must reach its folder.
    QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeGroup | QFile::ExeOther
                                            | QFile::ReadGroup | QFile::ReadOther);
    QString output;
    const int code = script({QStringLiteral("start"), m_folder}, &output);
    m_running = code == 0;
    if (m_running)
        m_address = output.split(QLatin1Char('\n')).last();
    else
        m_whyNot = code == 3 ? QStringLiteral("PostgreSQL is not installed here") : output;
}

PrivateServer::~PrivateServer()
{
    script({QStringLiteral("stop"), m_folder});
}

QString PrivateServer::makeDatabase()
{
    const QString name = QStringLiteral("shop%1").arg(++m_databases);
    QProcess::execute(QStringLiteral("psql"), {m_address, QStringLiteral("-qc"), QStringLiteral("CREATE DATABASE %1").arg(name)});
    QUrl url(m_address);
    url.setPath(QLatin1Char('/') + name);
    Database::create(url.toString());
    return url.toString();
}

QString PrivateServer::serverName() const
{
    const QUrl url(m_address);
    return QStringLiteral("%1:%2").arg(url.host()).arg(url.port());
}

void PrivateServer::kill()
{
    script({QStringLiteral("kill"), m_folder});
}

void PrivateServer::restart()
{
    script({QStringLiteral("restart"), m_folder});
}

void PrivateServer::pause()
{
    for (const pid_t pid : serverProcesses(m_folder))
        ::kill(pid, SIGSTOP);
}

void PrivateServer::resume()
{
    for (const pid_t pid : serverProcesses(m_folder))
        ::kill(pid, SIGCONT);
}

QByteArray PrivateServer::killCommand() const
{
    return QStringLiteral("bash '%1' kill '%2'").arg(QStringLiteral(FENWO_PG_TEST_ENV), m_folder).toLocal8Bit();
}
