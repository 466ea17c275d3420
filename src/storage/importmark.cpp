#include "importmark.h"

#include "base/filemodes.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <csignal>

ImportMark::ImportMark(const QString &dataFile)
{
    if (dataFile.isEmpty())
        return;
    const QString path = markFile(dataFile);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate, FileModes::ownerOnly()))
        return;
    file.write(QByteArray::number(QCoreApplication::applicationPid()));
    if (file.error() == QFileDevice::NoError)
        m_path = path;
}

ImportMark::~ImportMark()
{
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}

bool ImportMark::isActive(const QString &dataFile)
{
    QFile file(markFile(dataFile));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bool ok = false;
    const qint64 pid = file.read(32).trimmed().toLongLong(&ok);
    if (!ok || pid <= 0)
        return false;
    // Signal 0 only asks whether the process is there; a process of another
    // user answers EPERM, and is there too.
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

QString ImportMark::markFile(const QString &dataFile)
{
    return dataFile + QStringLiteral(".importing");
}
