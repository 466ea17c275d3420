#include "receipt/escposfilelink.h"

#include "receipt/printererror.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

EscPosFileLink::EscPosFileLink(QString path)
    : m_path(std::move(path))
{
}

void EscPosFileLink::open()
{
    m_file.setFileName(m_path);
    // A plain file collects jobs one after another; a printer device cannot
    // be positioned, so it is opened for writing only. The open is our own,
    // not QFile's, which keeps no errno: a refused permission must be told
    // apart from an unplugged printer.
    int flags = O_WRONLY | O_CLOEXEC;
    if (QFileInfo(m_path).isFile())
        flags |= O_APPEND;
    const int fd = ::open(QFile::encodeName(m_path).constData(), flags);
    if (fd < 0)
        throw PrinterError(openFailure(m_path, errno));
    if (!m_file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw PrinterError(QStringLiteral("Printer selected is not valid\n%1: %2")
                               .arg(m_path, m_file.errorString()));
    }
}

QString EscPosFileLink::openFailure(const QString &path, int error)
{
    if (error == EACCES || error == EPERM)
        return QStringLiteral("Printer selected is not valid\n") + noPermission(path);
    return QStringLiteral("Printer selected is not valid\n%1: %2")
        .arg(path, QString::fromLocal8Bit(std::strerror(error)));
}

QString EscPosFileLink::noPermission(const QString &path)
{
    return QStringLiteral("没有权限使用小票打印机 %1：运行收银程序的用户要加入 lp 组"
                          "（sudo usermod -aG lp 用户名，重新登录后生效），"
                          "或者用 udev 规则给这个设备写权限!")
        .arg(path);
}

void EscPosFileLink::send(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = m_file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            throw PrinterError(QStringLiteral("The receipt could not be sent to %1: %2")
                                   .arg(m_path, m_file.errorString()));
        }
        done += written;
    }
}

void EscPosFileLink::close() noexcept
{
    m_file.close();
}
